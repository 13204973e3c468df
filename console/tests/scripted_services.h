#pragma once
// The services a console engine asks of its window, scripted for the tests:
// answers, typed passwords and prices, beeps, receipts and the configuration
// dialog recorded or played from a script, and print jobs queued by the test.
// Used on the test's thread (the engine's).

#include "console/console_services.h"
#include "console/operator_interfaces.h"
#include "console/configuration/configuration_dialog_model.h"
#include "console/print_job_record.h"
#include "console/print_monitor_control.h"

#include "fields/money_field.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace console::test {

// The dialogs below run their `while...` hook while they are up, as the
// window's timers would go on firing under a real modal dialog.
class ScriptedPrompts final : public configuration::OperatorPrompts {
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
    std::vector<std::string> hints; // what each question showed under the box
    std::string askPassword(const std::string& hint) override
    {
        ++asked;
        hints.push_back(hint);
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
    int billsAnnounced = 0;
    void beep() override { ++beeps; }
    void announceBill() override { ++billsAnnounced; }
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
    std::function<void(configuration::ConfigurationDialogModel&)> script;
    int shown = 0;
    void showConfiguration(configuration::ConfigurationDialogModel& dialog) override;
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

} // namespace console::test
