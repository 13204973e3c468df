#pragma once
// SIGTERM, SIGINT and SIGHUP as a Qt signal, so that the station ends
// through its own close path (the X server's keys and the desktop's panels
// given back) instead of dying in the middle of a lock.
//
// Thread contract: made on the GUI thread; the signal handler only writes
// one byte to a pipe, which the GUI thread reads.

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace client::ui {

class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    TerminationSignals();
    ~TerminationSignals() override;

signals:
    void received();

private:
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace client::ui
