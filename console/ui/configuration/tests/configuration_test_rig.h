#pragma once
// The configuration dialog's test rig: real page models over real data files in
// a temporary folder, operator answers from a script, the station workers'
// calls recorded, and the operator's hands on the widgets.

#include "recording_workers.h"
#include "configuration_dialog.h"

#include "platform/clock.h"
#include "store/bill_journal.h"
#include "store/client_table.h"
#include "store/configuration.h"
#include "store/printer_table.h"
#include "store/rate_table.h"
#include "store/record_file.h"
#include "store/sale_item_table.h"

#include <QTemporaryDir>

#include <deque>
#include <memory>
#include <string>
#include <vector>

class QAbstractItemView;

namespace console::ui::test {

using Strings = std::vector<std::string>;

// Yes/No answers from a script; with none left the answer is No. Every
// question and message is recorded.
class ScriptedPrompts final : public console::configuration::OperatorPrompts, public store::StoreNotifier {
public:
    bool askYesNo(const std::string& question) override;
    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::deque<bool> answers;
    Strings questions, messages;
};

using console::configuration::test::RecordingWorkers;

class ConfigurationRig {
public:
    ConfigurationRig();
    ~ConfigurationRig();

    // A data file as the console finds it at start-up, and as a later start-up reads it.
    template <store::RecordCodec Codec>
    void write(const std::vector<typename Codec::Entry>& entries) const
    {
        writeBytes(Codec::kFileName, store::encodeRecords<Codec>(entries));
    }
    template <store::RecordCodec Codec>
    std::vector<typename Codec::Entry> saved() const
    {
        return store::decodeRecords<Codec>(readBytes(Codec::kFileName));
    }
    void writeStandardRates() const; // 00:30:00 x1 1.50, 00:15:00 x2 0.50, 01:00:00 etc. 2.00
    void writeReceiptLines(const std::string& line1, const std::string& line2);
    void chargeBill(const std::string& priceText); // today, into the journal
    std::vector<std::byte> readBytes(const char* fileName) const;
    bool savedPasswordIs(const std::string& password);

    // Opens the model and shows the dialog on it, active.
    ConfigurationDialog& openDialog();
    console::configuration::ConfigurationDialogModel& model() { return model_; }
    // A control of the open dialog by objectName; null when there is none.
    template <class Widget>
    Widget* find(const QString& name) const
    {
        return dialog_ ? dialog_->findChild<Widget*>(name) : nullptr;
    }

    ScriptedPrompts prompts;
    RecordingWorkers workers;

private:
    void writeBytes(const char* fileName, const std::vector<std::byte>& bytes) const;

    QTemporaryDir temporary_;
    std::filesystem::path folder_;
    platform::ManualClock clock_;
    store::Configuration configuration_;
    store::BillJournal journal_;
    store::ClientTable clients_;
    store::SaleItemTable saleItems_;
    store::PrinterTable printers_;
    store::RateTable rates_;
    console::configuration::ConfigurationDialogModel model_;
    std::unique_ptr<ConfigurationDialog> dialog_;
};

// Clicks a row; `adding` holds Ctrl, so the row joins the selection or leaves it.
void clickRow(QAbstractItemView* list, int row, bool adding = false);
void click(QWidget* button);
void tick(QWidget* checkBox); // on its box: a stretched check box takes clicks on box and caption only
// Selects all the text of an edit and types `text` over it.
void typeOver(QWidget* edit, const QString& text);
// Types into whichever widget has the focus, key by key, as the focus moves.
void typeIntoFocus(const QString& text);

} // namespace console::ui::test
