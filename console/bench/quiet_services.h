#pragma once
// QuietServices: every service the console engine and the station client
// engine ask of their window, for the benchmarks, which have none. Questions are
// answered Yes, prompts are left empty, printing succeeds without paper and the
// configuration dialog is cancelled; desktop calls do nothing. Messages are
// counted and printed to standard error as "<label>: <text>". Used on the thread
// of the engine it serves.

#include "console/console_services.h"
#include "console/operator_interfaces.h"
#include "console/configuration/configuration_dialog_model.h"

#include "client/client_host.h"
#include "client/workstation.h"
#include "store/store_notifier.h"

#include <optional>
#include <string>

namespace console::bench {

class QuietServices final :
    public console::configuration::OperatorPrompts,
    public console::PasswordPrompt,
    public console::PriceFieldPrompt,
    public console::Beeper,
    public console::ReceiptPrinter,
    public console::ConfigurationDialogHost,
    public store::StoreNotifier,
    public client::Workstation,
    public client::ClientHost {
public:
    explicit QuietServices(std::string label = "message") : label_(std::move(label)) {}

    bool askYesNo(const std::string&) override { return true; }
    void showMessage(const std::string& text) override;
    std::string askPassword(const std::string& /*hint*/) override { return {}; }
    void askPrice(const std::string&, fields::MoneyField&) override {}
    void beep() override {}
    std::optional<console::ReceiptPage> choosePrinter() override { return std::nullopt; }
    bool printPage(const console::ReceiptLayout&) override { return true; }
    void showConfiguration(console::configuration::ConfigurationDialogModel& dialog) override { dialog.cancel(); }
    bool showTaskbar() override { return true; }
    bool hideTaskbar() override { return true; }
    void setCursorVisible(bool) override {}
    void placeWindow(const client::ScreenRect&, client::WindowOrder) override {}
    void disableTaskKeys(bool) override {}
    std::optional<std::string> shutdown() override { return std::nullopt; }

    // How many messages were shown.
    int messages() const { return messages_; }

private:
    std::string label_;
    int messages_ = 0;
};

} // namespace console::bench
