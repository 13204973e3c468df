#pragma once
// The window's services as the engine uses them: every prompt, question,
// message, print dialog and the configuration dialog counts as an open dialog
// for the ModalGuard while it is up, and a message raised under a mailbox lock
// waits for the lock's release. It also tells the operator about file problems
// of the data layer. Window thread only.

#include "console/console_services.h"
#include "modal_guard.h"

#include "store/store_notifier.h"

namespace console {

class GuardedServices final :
    public configuration::OperatorPrompts,
    public PasswordPrompt,
    public PriceFieldPrompt,
    public ReceiptPrinter,
    public ConfigurationDialogHost,
    public store::StoreNotifier {
public:
    GuardedServices(const ConsoleServices& services, ModalGuard& guard);

    bool askYesNo(const std::string& question) override;
    void showMessage(const std::string& text) override;
    std::string askPassword(const std::string& hint) override;
    void askPrice(const std::string& question, fields::MoneyField& price) override;
    std::optional<ReceiptPage> choosePrinter() override;
    bool printPage(const ReceiptLayout& layout) override;
    bool hasPrinter() const override;
    void showConfiguration(configuration::ConfigurationDialogModel& dialog) override;
    // Shown to the operator and written to the system log with the file.
    void fileFailed(const std::filesystem::path& file, const std::string& text) override;

private:
    ConsoleServices services_;
    ModalGuard& guard_;
};

} // namespace console
