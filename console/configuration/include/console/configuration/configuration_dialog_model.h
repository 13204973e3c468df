#pragma once
// The configuration dialog: operator password and its confirmation, the two
// receipt lines, the day's takings, the Terminate/Shutdown one-shot commands,
// and the four table pages on tabs. The dialog object lives as long as the
// console window and is opened (shown) and closed again and again; its pages
// exist only while it is open.

#include "console/configuration/audit_log.h"
#include "console/configuration/clients_page.h"
#include "console/configuration/operator_dialogs.h"
#include "console/configuration/pos_items_page.h"
#include "console/configuration/printers_page.h"
#include "console/configuration/rates_page.h"
#include "console/configuration/station_workers.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace store {
class Configuration;
} // namespace store

namespace console::configuration {

// The console's tables the pages edit.
struct ConsoleTables {
    store::ClientTable& clients;
    store::SaleItemTable& saleItems;
    store::PrinterTable& printers;
    store::RateTable& rates;
};

enum class ConfigurationTab { Clients, PosItems, Printers, Rates };

// What the console sends the selected, connected stations after OK.
enum class ClientCommand { None, Quit, Shutdown };

class ConfigurationDialogModel {
public:
    // The day's takings so far, or nullopt when the journal cannot be read.
    using DayTakings = std::function<std::optional<double>()>;

    ConfigurationDialogModel(store::Configuration& configuration, DayTakings dayTakings, ConsoleTables tables,
                             StationWorkers& workers, OperatorPrompts& prompts, StationKeyRegister* keys = nullptr);
    ~ConfigurationDialogModel();
    ConfigurationDialogModel(const ConfigurationDialogModel&) = delete;
    ConfigurationDialogModel& operator=(const ConfigurationDialogModel&) = delete;

    // Where Saves and OK log what they changed (the activity log); none logs nothing.
    void setAuditLog(AuditLog log) { auditLog_ = std::move(log); }

    // Showing the dialog: clears Terminate and Shutdown, creates the pages with
    // the Clients page shown, fills the edit boxes and computes the day total.
    void open();
    bool isOpen() const { return pages_ != nullptr; }

    // The edit boxes. Password and Confirm show what was last accepted with OK.
    const std::string& passwordText() const { return password_; }
    void setPasswordText(std::string text) { password_ = std::move(text); }
    const std::string& confirmText() const { return confirm_; }
    void setConfirmText(std::string text) { confirm_ = std::move(text); }
    const std::string& receiptLine1Text() const { return line1_; }
    void setReceiptLine1Text(std::string text) { line1_ = std::move(text); }
    const std::string& receiptLine2Text() const { return line2_; }
    void setReceiptLine2Text(std::string text) { line2_ = std::move(text); }

    // "Report Unavailable" or the day's takings "%0.2f", set when the dialog opens.
    const std::string& dayTotalText() const { return dayTotal_; }

    // The cafe's key as the owner types it at each station ("XXXXX-XXXXX-..."),
    // or a sentence saying there is none; set by the console before open().
    const std::string& cafeKeyText() const { return cafeKey_; }
    void setCafeKeyText(std::string text) { cafeKey_ = std::move(text); }

    bool terminateClients() const { return terminate_; }
    void setTerminateClients(bool on) { terminate_ = on; }
    bool shutdownClients() const { return shutdown_; }
    void setShutdownClients(bool on) { shutdown_ = on; }
    // After OK: Quit when "Terminate Clients" is ticked (it wins), else Shutdown
    // when "Shutdown Clients" is, else None. None after Cancel.
    ClientCommand clientCommand() const;

    // Tabs: only the page of the current tab is shown.
    ConfigurationTab currentTab() const { return currentTab_; }
    void selectTab(ConfigurationTab tab) { currentTab_ = tab; }
    bool isPageShown(ConfigurationTab tab) const { return isOpen() && tab == currentTab_; }

    // The pages while the dialog is open; null while it is closed.
    ClientsPage* clientsPage();
    PosItemsPage* posItemsPage();
    PrintersPage* printersPage();
    RatesPage* ratesPage();

    // OK: false while the dialog stays open (the operator has been told why);
    // true when it closed with OK.
    [[nodiscard]] bool ok();
    // Cancel or the close box: nothing is saved; Password and Confirm return to
    // what was last accepted.
    void cancel();

    enum class Result { None, Ok, Cancel };
    Result result() const { return result_; }

private:
    struct Pages;
    void close(Result result);

    store::Configuration& configuration_;
    DayTakings dayTakings_;
    ConsoleTables tables_;
    StationWorkers& workers_;
    OperatorPrompts& prompts_;
    StationKeyRegister* keys_;

    std::string password_, confirm_;
    std::string acceptedPassword_, acceptedConfirm_;
    std::string line1_, line2_;
    std::string dayTotal_;
    std::string cafeKey_;
    bool terminate_ = false;
    bool shutdown_ = false;
    ConfigurationTab currentTab_ = ConfigurationTab::Clients;
    std::unique_ptr<Pages> pages_;
    Result result_ = Result::None;
    AuditLog auditLog_;
};

} // namespace console::configuration
