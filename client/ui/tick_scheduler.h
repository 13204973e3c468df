#pragma once
// Runs the station's tick when the engine next has something to do, instead
// of every 10 ms: when the link's socket becomes ready, at the moment the link
// names, and at least once a second otherwise. A timed tick comes no sooner
// than 10 ms after the previous one, the pace of the link's attempts; a ready
// socket is served at once. The lock state does not
// depend on it: it is applied on its own events (state changes, lost focus).
// Window thread only.

#include "client/client_link.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>

namespace client::ui {

class TickScheduler : public QObject {
    Q_OBJECT
public:
    explicit TickScheduler(QObject* parent = nullptr);

    // Waits for what `wake` names; a tick is due when the first of it comes.
    void arm(const client::LinkWake& wake);
    void stop();

signals:
    void due();

private:
    void fire();

    QTimer timer_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QElapsedTimer lastFire_;
};

} // namespace client::ui
