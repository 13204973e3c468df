#pragma once
// The engine's way back into the station window: keeping events flowing
// while the link waits, and message boxes over the window.
//
// Thread contract: the GUI thread only.

#include "client/client_host.h"

#include <QWidget>
#include <string>

namespace client::ui {

class WindowHost final : public client::ClientHost {
public:
    explicit WindowHost(QWidget& window) : window_(window) {}
    void showMessage(const std::string& text) override;

private:
    QWidget& window_;
};

} // namespace client::ui
