#include "guarded_services.h"

#include "console/journal_events.h"
#include "platform/system_journal.h"

namespace console {

GuardedServices::GuardedServices(const ConsoleServices& services, ModalGuard& guard)
    : services_(services), guard_(guard)
{
    guard_.setMessageSink([this](const std::string& text) { showMessage(text); });
}

bool GuardedServices::askYesNo(const std::string& question)
{
    ModalGuard::Dialog dialog(guard_);
    return services_.prompts.askYesNo(question);
}

void GuardedServices::showMessage(const std::string& text)
{
    if (guard_.mailboxLocked()) {
        guard_.holdMessage(text);
        return;
    }
    ModalGuard::Dialog dialog(guard_);
    services_.prompts.showMessage(text);
}

void GuardedServices::fileFailed(const std::filesystem::path& file, const std::string& text)
{
    platform::writeSystemJournal("brisko", platform::JournalLevel::Error, fileProblemJournalLine(file, text));
    showMessage(text);
}

std::string GuardedServices::askPassword(const std::string& hint)
{
    ModalGuard::Dialog dialog(guard_);
    return services_.passwordPrompt.askPassword(hint);
}

void GuardedServices::askPrice(const std::string& question, fields::MoneyField& price)
{
    ModalGuard::Dialog dialog(guard_);
    services_.pricePrompt.askPrice(question, price);
}

std::optional<ReceiptPage> GuardedServices::choosePrinter()
{
    ModalGuard::Dialog dialog(guard_);
    return services_.receiptPrinter.choosePrinter();
}

bool GuardedServices::printPage(const ReceiptLayout& layout)
{
    ModalGuard::Dialog dialog(guard_);
    return services_.receiptPrinter.printPage(layout);
}

bool GuardedServices::hasPrinter() const { return services_.receiptPrinter.hasPrinter(); }

void GuardedServices::showConfiguration(configuration::ConfigurationDialogModel& dialog)
{
    ModalGuard::Dialog open(guard_);
    services_.configurationDialog.showConfiguration(dialog);
}

} // namespace console
