#pragma once
// Test pieces for the console engine: a temporary working folder with the
// console's data files, scripted operator services, and a console engine on a
// loopback link with a clock the test moves.

#include "console/bill_panel.h"
#include "console/console_engine.h"
#include "console/pages/configuration_dialog_model.h"
#include "console/print_monitor_control.h"
#include "console/station_state.h"
#include "console/station_table.h"

#include "fields/money_field.h"
#include "link/link_server.h"
#include "platform/clock.h"
#include "store/activity_log.h"
#include "store/bill_item.h"
#include "store/bill_journal.h"
#include "store/client_table.h"
#include "store/configuration.h"
#include "store/printer_table.h"
#include "store/rate_table.h"
#include "store/sale_item_table.h"
#include "testsupport/temp_folder.h"
#include "testsupport/whole_file.h"

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace console::test {

using namespace std::chrono_literals;

using testsupport::TempFolder;

// The console's address in the tests; the stations connect to it from their
// own 127.0.0.x addresses.
inline const platform::Ipv4Address kConsoleAddress{{127, 0, 0, 1}};

// A port on the console's address that was free a moment ago, for a console
// that must listen on the same port again after a restart.
std::uint16_t freePort();

// 127.0.0.(i + 2) for station index i.
platform::Ipv4Address stationAddress(int i);

// The console's data files, written before the console opens them.
void writeClients(const std::filesystem::path& folder, int count);
void writeClients(const std::filesystem::path& folder, const std::vector<store::ClientEntry>& entries);
// Rate blocks 00:30:00 x1 at 1.50, 00:15:00 x2 at 0.50, 01:00:00 "etc." at 2.00.
void writeStandardRates(const std::filesystem::path& folder);
void writeSaleItems(const std::filesystem::path& folder, const std::vector<store::SaleItem>& items);
void writePrinters(const std::filesystem::path& folder, const std::vector<store::PrinterEntry>& printers);

// The activity log's event texts (stamps cut off) and the raw journal.
std::vector<std::string> logEvents(const std::filesystem::path& folder);
bool hasEvent(const std::vector<std::string>& events, const std::string& event);
using testsupport::readFile;

// One journal entry read back.
struct JournalEntry {
    std::int32_t stamp = 0;
    std::vector<store::BillItem> lines; // station text is the number written
};
std::vector<JournalEntry> readJournal(const std::filesystem::path& folder);

// The dialogs below run their `while...` hook while they are up, as the
// window's timers would go on firing under a real modal dialog.
class ScriptedPrompts final : public pages::OperatorPrompts {
public:
    std::deque<bool> answers; // Yes when empty
    std::vector<std::string> questions;
    std::vector<std::string> messages;
    std::function<void(const std::string&)> whileAsking;
    std::function<void(const std::string&)> whileShowing;
    bool askYesNo(const std::string& question) override;
    void showMessage(const std::string& text) override
    {
        messages.push_back(text);
        if (whileShowing)
            whileShowing(text);
    }
};

class ScriptedPassword final : public PasswordPrompt {
public:
    std::string typed;
    int asked = 0;
    std::string askPassword() override
    {
        ++asked;
        return typed;
    }
};

// Types its keys into the price field, or nothing.
class ScriptedPrice final : public PriceFieldPrompt {
public:
    std::string keys;
    std::vector<std::string> questions;
    std::function<void()> whileAsking;
    void askPrice(const std::string& question, fields::MoneyField& price) override;
};

class CountingBeeper final : public Beeper {
public:
    int beeps = 0;
    void beep() override { ++beeps; }
};

class RecordingPrinter final : public ReceiptPrinter {
public:
    std::optional<ReceiptPage> page = ReceiptPage{4720, 6776}; // nullopt: the dialog is cancelled
    std::vector<ReceiptLayout> printed;
    std::function<void()> whileChoosing;
    std::optional<ReceiptPage> choosePrinter() override
    {
        if (whileChoosing)
            whileChoosing();
        return page;
    }
    bool printPage(const ReceiptLayout& layout) override
    {
        printed.push_back(layout);
        return true;
    }
};

// Runs the test's script on the open dialog, then OK (unless the script closed it).
class ScriptedConfigurationHost final : public ConfigurationDialogHost {
public:
    std::function<void(pages::ConfigurationDialogModel&)> script;
    int shown = 0;
    void showConfiguration(pages::ConfigurationDialogModel& dialog) override;
};

class QueuedPrintMonitor final : public PrintMonitorControl {
public:
    std::vector<PrintJobRecord> queued;
    std::vector<std::string> starts;
    int stops = 0;
    void start(const std::string& printServer) override { starts.push_back(printServer); }
    void stop() override { ++stops; }
    std::vector<PrintJobRecord> takeFinishedJobs() override { return std::exchange(queued, {}); }
    std::vector<std::string> confirmed;
    void confirmTaken(const std::vector<std::string>& keys) override
    {
        confirmed.insert(confirmed.end(), keys.begin(), keys.end());
    }
};

// Everything a console engine needs around it.
struct ConsoleRig {
    std::filesystem::path folder;
    platform::ManualClock clock;
    std::uint16_t port = 0; // 0: the system chooses
    ScriptedPrompts prompts;
    ScriptedPassword password;
    ScriptedPrice price;
    CountingBeeper beeper;
    RecordingPrinter printer;
    ScriptedConfigurationHost configurationHost;
    QueuedPrintMonitor printMonitor;
    std::unique_ptr<ConsoleEngine> engine;

    ConsoleRig(std::filesystem::path folder, std::time_t start);
    // A new engine on the folder (files not opened yet).
    ConsoleEngine& create();
    // create() and startUp(); fails the test unless it runs.
    ConsoleEngine& startConsole();
    ConsoleEngine& console() { return *engine; }
    // The port the stations connect to.
    std::uint16_t mainPort() const;

    // Operator shortcuts.
    void select(std::vector<int> rows);
    const std::string& status(int i) const { return engine->stationTable().status(i); }
    const std::string& text(int i, Column c) const { return engine->stationTable().text(i, c); }
    // Advances the clock and runs one money tick.
    void tickAfter(std::chrono::seconds elapsed);
};

// 12:00:00 local time on 1 March 2024.
std::time_t noonOfTestDay();

} // namespace console::test
