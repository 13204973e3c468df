#pragma once
// The configuration dialog's test rig: real page models over real data files in
// a temporary folder, operator answers from a script, the station workers'
// calls recorded, and shortcuts for driving the widgets as the operator does.

#include "configuration_dialog.h"

#include "console/pages/configuration_dialog_model.h"
#include "console/pages/operator_dialogs.h"
#include "console/pages/station_workers.h"

#include "platform/clock.h"
#include "store/bill_journal.h"
#include "store/client_table.h"
#include "store/configuration.h"
#include "store/printer_table.h"
#include "store/rate_table.h"
#include "store/sale_item_table.h"
#include "store/store_notifier.h"

#include <QTemporaryDir>

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QAbstractItemView;
class QWidget;

namespace brisko::test {

using Strings = std::vector<std::string>;

// Yes/No answers from a script; a question with no answer left is answered No
// (and recorded, so the test sees it).
class ScriptedPrompts final : public console::pages::OperatorPrompts {
public:
    bool askYesNo(const std::string& question) override;
    void showMessage(const std::string& text) override { messages.push_back(text); }

    std::deque<bool> answers;
    Strings questions;
    Strings messages;
};

class RecordingWorkers final : public console::pages::StationWorkers {
public:
    void StartStationWorker(int i, bool createEvents) override;
    void StopStationWorker(int i, bool releaseEvents) override;
    Strings calls; // "start 2 create", "stop 1", ...
};

class SilentNotifier final : public store::StoreNotifier {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    Strings messages;
};

class ConfigurationRig {
public:
    ConfigurationRig();
    ~ConfigurationRig();
    ConfigurationRig(const ConfigurationRig&) = delete;
    ConfigurationRig& operator=(const ConfigurationRig&) = delete;

    const std::filesystem::path& folder() const { return folder_; }

    // Data files as the console finds them at start-up (before openDialog()).
    void writeClients(const std::vector<store::ClientEntry>& entries);
    void writeStandardRates(); // 00:30:00 x1 1.50, 00:15:00 x2 0.50, 01:00:00 etc. 2.00
    void writeSaleItems(const std::vector<store::SaleItem>& items);
    void writePrinters(const std::vector<store::PrinterEntry>& printers);
    void writeReceiptLines(const std::string& line1, const std::string& line2);
    // A bill charged into the journal today.
    void chargeBill(const std::string& priceText);

    // Opens the model and shows the dialog on it, active.
    ConfigurationDialog& openDialog();
    ConfigurationDialog& dialog() { return *dialog_; }
    console::pages::ConfigurationDialogModel& model() { return model_; }
    // A control of the dialog by its objectName; null when there is none.
    template <class Widget>
    Widget* find(const QString& name) const
    {
        return dialog_ ? dialog_->findChild<Widget*>(name) : nullptr;
    }

    // What a later start-up reads from the files.
    std::vector<store::ClientEntry> savedClients();
    std::vector<store::SaleItem> savedSaleItems();
    std::vector<store::PrinterEntry> savedPrinters();
    std::vector<store::RateBlock> savedRates();
    bool savedPasswordIs(const std::string& password);
    std::string savedReceiptLine1();
    std::uintmax_t configurationFileSize() const;

    ScriptedPrompts prompts;
    RecordingWorkers workers;

private:
    QTemporaryDir temporary_;
    std::filesystem::path folder_;
    SilentNotifier notifier_;
    platform::ManualClock clock_;
    store::Configuration configuration_;
    store::BillJournal journal_;
    store::ClientTable clients_;
    store::SaleItemTable saleItems_;
    store::PrinterTable printers_;
    store::RateTable rates_;
    console::pages::ConfigurationDialogModel model_;
    std::unique_ptr<ConfigurationDialog> dialog_;
};

// The operator's hands.
// Clicks a row of a list; `adding` holds Ctrl, so the row joins the selection
// (or leaves it when it was selected).
void clickRow(QAbstractItemView* list, int row, bool adding = false);
// Selects all the text of an edit, then types `text` over it.
void typeOver(QWidget* edit, const QString& text);
// Types into whichever widget has the focus, key by key, as focus moves.
void typeIntoFocus(const QString& text);
void pressKey(QWidget* widget, int key);

} // namespace brisko::test
