#include "console/configuration/configuration_dialog_model.h"

#include "console/texts.h"

#include "store/configuration.h"
#include "store/text_number.h"

namespace console::configuration {

struct ConfigurationDialogModel::Pages {
    Pages(const ConsoleTables& tables, StationWorkers& workers, OperatorPrompts& prompts, StationKeyRegister* keys)
        : clients(tables.clients, workers, prompts, keys),
          posItems(tables.saleItems, prompts),
          printers(tables.printers, prompts),
          rates(tables.rates, prompts)
    {
    }
    ClientsPage clients;
    PosItemsPage posItems;
    PrintersPage printers;
    RatesPage rates;
};

namespace {

std::string formatDayTotal(std::optional<double> total)
{
    return total ? store::formatMoney(*total) : kDayTotalUnavailable;
}

} // namespace

ConfigurationDialogModel::ConfigurationDialogModel(store::Configuration& configuration, DayTakings dayTakings,
                                                   ConsoleTables tables, StationWorkers& workers,
                                                   OperatorPrompts& prompts, StationKeyRegister* keys)
    : configuration_(configuration),
      dayTakings_(std::move(dayTakings)),
      tables_(tables),
      workers_(workers),
      prompts_(prompts),
      keys_(keys)
{
}

ConfigurationDialogModel::~ConfigurationDialogModel() = default;

void ConfigurationDialogModel::open()
{
    terminate_ = false;
    shutdown_ = false;
    result_ = Result::None;
    currentTab_ = ConfigurationTab::Clients;
    pages_ = std::make_unique<Pages>(tables_, workers_, prompts_, keys_);
    if (auditLog_) {
        // The Clients page's "Key" column tells what stations spoke, not what the owner saved.
        pages_->clients.setAuditLog(auditLog_, kConfigurationTabCaptions[0], ClientsPage::kKeyColumn);
        pages_->posItems.setAuditLog(auditLog_, kConfigurationTabCaptions[1], PosItemsPage::kColumns.size());
        pages_->printers.setAuditLog(auditLog_, kConfigurationTabCaptions[2], PrintersPage::kColumns.size());
        pages_->rates.setAuditLog(auditLog_, kConfigurationTabCaptions[3], RatesPage::kColumns.size());
    }
    // Read once at start-up; a file that could not be read then is tried again
    // here, silently, and the dialog shows what the configuration holds.
    (void)configuration_.load();
    password_ = acceptedPassword_;
    confirm_ = acceptedConfirm_;
    line1_ = configuration_.receiptLine1();
    line2_ = configuration_.receiptLine2();
    dayTotal_ = formatDayTotal(dayTakings_());
}

ClientCommand ConfigurationDialogModel::clientCommand() const
{
    if (result_ != Result::Ok)
        return ClientCommand::None;
    if (terminate_)
        return ClientCommand::Quit;
    return shutdown_ ? ClientCommand::Shutdown : ClientCommand::None;
}

bool ConfigurationDialogModel::ok()
{
    if (!isOpen())
        return false;
    if (password_ != confirm_) {
        prompts_.showMessage(kMismatchMessage);
        return false;
    }
    const bool linesChanged = line1_ != configuration_.receiptLine1() || line2_ != configuration_.receiptLine2();
    if (!password_.empty() || linesChanged) {
        if (!password_.empty() && !configuration_.setPassword(password_)) {
            prompts_.showMessage(passwordTooLongMessage(store::Configuration::kMaxPasswordLength));
            return false;
        }
        configuration_.setReceiptLine1(line1_);
        configuration_.setReceiptLine2(line2_);
        if (!configuration_.save()) {
            // Back to what the file still holds, so that memory and file agree.
            configuration_.close();
            (void)configuration_.load(); // the message below tells the operator either way
            prompts_.showMessage(kNotSavedMessage);
            return false;
        }
        if (auditLog_ && !password_.empty() && password_ != acceptedPassword_)
            auditLog_("PASSWORD CHANGED,");
        if (auditLog_ && linesChanged)
            auditLog_("RECEIPT CHANGED," + line1_ + "," + line2_);
    }
    acceptedPassword_ = password_;
    acceptedConfirm_ = confirm_;
    close(Result::Ok);
    return true;
}

void ConfigurationDialogModel::cancel()
{
    if (!isOpen())
        return;
    password_ = acceptedPassword_;
    confirm_ = acceptedConfirm_;
    close(Result::Cancel);
}

void ConfigurationDialogModel::close(Result result)
{
    pages_.reset();
    result_ = result;
}

ClientsPage* ConfigurationDialogModel::clientsPage() { return pages_ ? &pages_->clients : nullptr; }

PosItemsPage* ConfigurationDialogModel::posItemsPage() { return pages_ ? &pages_->posItems : nullptr; }

PrintersPage* ConfigurationDialogModel::printersPage() { return pages_ ? &pages_->printers : nullptr; }

RatesPage* ConfigurationDialogModel::ratesPage() { return pages_ ? &pages_->rates : nullptr; }

} // namespace console::configuration
