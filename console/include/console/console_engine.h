#pragma once
// The console engine: everything behind the console window without a window
// toolkit. It owns the data files, the station link, the station table with its
// sessions and the bill panel. The window calls the start-up steps, forwards
// the operator's actions and its two timers, and shows view() after each call.
//
// Window thread only. The dialogs the engine opens through its services may let
// the window's timers call eventPoll() and moneyTick() again while they are up:
// that is safe, and bills change only once the dialog is closed (ModalGuard).

#include "console/bill_panel.h"
#include "console/console_services.h"
#include "console/console_view.h"
#include "console/guarded_services.h"
#include "console/link_server_console_link.h"
#include "console/modal_guard.h"
#include "console/open_state_keeper.h"
#include "console/session_operations.h"
#include "console/station_board.h"
#include "console/station_buttons.h"
#include "console/window_controls.h"

#include "console/pages/configuration_dialog_model.h"
#include "console/pages/station_workers.h"
#include "link/link_server.h"
#include "store/activity_log.h"
#include "store/bill_journal.h"
#include "store/client_table.h"
#include "store/configuration.h"
#include "store/printer_table.h"
#include "store/rate_table.h"
#include "store/sale_item_table.h"
#include "store/store_notifier.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

namespace platform {
class Clock;
}

namespace console {

struct ConsoleSettings {
    std::filesystem::path folder{"."};
    stationlink::LinkSettings link; // listening address and port (default all addresses, 32000)
};

class ConsoleEngine final : public pages::StationWorkers {
public:
    static constexpr std::chrono::milliseconds kEventPollInterval{100};
    static constexpr std::chrono::milliseconds kMoneyTickInterval{1000};

    ConsoleEngine(ConsoleSettings settings, const platform::Clock& clock, ConsoleServices services);
    ~ConsoleEngine() override;
    ConsoleEngine(const ConsoleEngine&) = delete;
    ConsoleEngine& operator=(const ConsoleEngine&) = delete;

    // --- start-up, in this order (startUp() runs them all) ------------------------
    enum class StartResult { Running, AlreadyRunning, WrongPassword };
    StartResult startUp();
    // Activity log, journal, the open bills file, configuration, stations,
    // printers, sale items, rates. False (after telling the operator) when another console runs in
    // the same folder; nothing is opened then.
    bool openFiles();
    // The password prompt; a wrong password beeps and the console must end.
    bool checkOperatorPassword();
    // The table gets its rows and the kept open bills and sessions; then the print monitor (when printers exist),
    // the listener, and one station thread after the other. False when the
    // main port cannot be opened: the operator is told, and the console runs
    // on without stations.
    bool startStations();

    // --- exit ----------------------------------------------------------------------
    // Escape or the close box: asks "Exit Brisko?"; on Yes stops the link and the
    // print monitor and closes the files. True when the console has ended. Bills
    // made while the question was up are counted in it: it is asked again.
    bool requestExit();
    bool hasEnded() const { return ended_; }

    // --- timers ----------------------------------------------------------------------
    // Each ends with one sync of the activity log.
    void eventPoll();
    void moneyTick();

    // --- station table and its buttons ----------------------------------------------
    const StationTable& stationTable() const { return board_.table(); }
    const StationState& stationState(int i) const { return board_.station(i); }
    void onStationSelectionChanged(const std::vector<int>& rows);
    void onStationTableFocus(bool gained);
    void onStartPressed();
    void onStopPressed();
    void onSwapPressed();
    void onAlarmSelected(int choice)
    {
        sessions_.onAlarmSelected(choice);
        (void)keeper_.keep();
    }
    void onConfigurationPressed();
    void onBillPressed() { panel_.onBillPressed(); }

    // --- keys ----------------------------------------------------------------------
    // Enter: in the tender or a quantity field the OK action; elsewhere presses
    // the default button while it is enabled, else runs the OK action. The
    // window sends Enter only here, never also to the field.
    void onEnter();
    // The "OK" button (and Enter without a default button): the tender check in
    // the tender field, the quantity in a quantity field, else nothing.
    void onOkAction();
    // The window reports where the focus went (view().focus). The tender and
    // quantity fields clear the default button when they get it, as they do
    // when the engine asks for the focus to go there (view().focusRequest).
    void onFocusChanged(FocusTarget focus);

    // --- bill panel ------------------------------------------------------------------
    BillPanel& billPanel() { return panel_; }
    const BillPanel& billPanel() const { return panel_; }

    // --- the whole visible state ----------------------------------------------------------
    ConsoleView view() const;

    // --- what the configuration dialog edits -----------------------------------------
    store::ActivityLog& activityLog() { return log_; }
    store::Configuration& configuration() { return configuration_; }
    store::BillJournal& journal() { return journal_; }
    store::ClientTable& clients() { return clients_; }
    store::SaleItemTable& saleItems() { return saleItems_; }
    store::PrinterTable& printers() { return printers_; }
    store::RateTable& rates() { return rates_; }
    pages::ConfigurationDialogModel& configurationDialog() { return *configurationDialog_; }
    stationlink::LinkServer& link() { return link_; }
    OpenStateKeeper& openState() { return keeper_; }

    // --- station workers (the Clients page adds, removes and re-addresses stations) ---
    void StartStationWorker(int i, bool createEvents) override;
    void StopStationWorker(int i, bool releaseEvents) override;
    void ClientTableChanged() override { syncStationAddresses(); }

private:
    void syncStationAddresses();
    void applyConfigurationEffects(const std::string& printServerBefore, bool printersBefore);
    void followStationCount();
    void closeFiles();

    ConsoleSettings settings_;
    const platform::Clock& clock_;
    ConsoleServices services_;
    ModalGuard guard_;
    GuardedServices guarded_; // every dialog the engine opens goes through it

    store::ActivityLog log_;
    store::BillJournal journal_;
    store::Configuration configuration_;
    store::ClientTable clients_;
    store::PrinterTable printers_;
    store::SaleItemTable saleItems_;
    store::RateTable rates_;

    stationlink::LinkServer link_;
    LinkServerConsoleLink consoleLink_;
    WindowControls window_;
    StationBoard board_;
    BillPanel panel_;
    StationButtons buttons_;
    SessionOperations sessions_;
    OpenStateKeeper keeper_;
    std::unique_ptr<pages::ConfigurationDialogModel> configurationDialog_;

    bool filesOpen_ = false;
    bool printMonitorRunning_ = false;
    bool addressesChanged_ = false;
    bool ended_ = false;
};

} // namespace console
