#pragma once
// "END SESSION?" (or "Lock Station" in setup mode). It watches the station on
// its own 10 ms timer and closes itself without effect as soon as the station
// is locked, by the console or otherwise.
//
// Thread contract: the GUI thread only.

#include "client/client_engine.h"

#include <QDialog>
#include <QTimer>

namespace client::ui {

class EndSessionDialog : public QDialog {
    Q_OBJECT
public:
    EndSessionDialog(client::ClientEngine& engine, QWidget* parent = nullptr);

protected:
    void accept() override;

private:
    client::ClientEngine& engine_;
    QTimer watch_;
};

} // namespace client::ui
