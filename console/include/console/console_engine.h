#pragma once
// The console engine: everything behind the console window without a window
// toolkit. It owns the data files, the station link, the station table with its
// sessions and the bill panel. The window calls the start-up steps, forwards
// the operator's actions and its two timers, and shows view() after each call.
//
// Window thread only. The dialogs the engine opens through its services may let
// the window's timers call eventPoll() and moneyTick() again while they are up:
// that is safe, and bills change only once the dialog is closed (ModalGuard).

#include "console/console_services.h"
#include "console/console_view.h"

#include "console/configuration/first_run_setup.h"
#include "console/configuration/station_key_register.h"
#include "console/configuration/station_workers.h"
#include "link/link_settings.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

namespace platform {
class Clock;
}
namespace stationlink {
class LinkServer;
}
namespace store {
class ActivityLog;
class BillJournal;
class ClientTable;
class Configuration;
class PrinterTable;
class RateTable;
class SaleItemTable;
} // namespace store
namespace console::configuration {
class ConfigurationDialogModel;
}

namespace console {

class BillPanel;
class StationTable;
struct StationState;

struct ConsoleSettings {
    std::filesystem::path folder{"."};
    stationlink::LinkSettings link; // listening address and port (default all addresses, 32000)
    // Whether a folder without "BriskoKey" gets a new cafe's key at start-up.
    // Without a key the link speaks the original handshake with every station
    // (the test rigs and the headless console run so).
    bool makeKey = true;
};

class ConsoleEngine final : public configuration::StationWorkers, public configuration::StationKeyRegister {
public:
    static constexpr std::chrono::milliseconds kEventPollInterval{100};
    static constexpr std::chrono::milliseconds kMoneyTickInterval{1000};

    ConsoleEngine(ConsoleSettings settings, const platform::Clock& clock, ConsoleServices services);
    ~ConsoleEngine() override;
    ConsoleEngine(const ConsoleEngine&) = delete;
    ConsoleEngine& operator=(const ConsoleEngine&) = delete;

    // --- start-up, in this order (startUp() runs them all) ------------------------
    enum class StartResult { Running, AlreadyRunning, WrongPassword };
    [[nodiscard]] StartResult startUp();
    // Activity log, journal, the open bills file, configuration, stations,
    // printers, sale items, rates, and the cafe's key. False (after telling the operator) when another console runs in
    // the same folder; nothing is opened then.
    [[nodiscard]] bool openFiles();
    // The password prompt; a wrong password beeps and the console must end.
    bool checkOperatorPassword();
    // The table gets its rows and the kept open bills and sessions; then the print monitor (when printers exist),
    // the listener, and one station thread after the other. False when the
    // main port cannot be opened: the operator is told, and the console runs
    // on without stations.
    bool startStations();

    // --- first run -------------------------------------------------------------------
    // A new cafe (no password, no stations, no rates) is offered the first-run
    // setup once the console runs.
    bool firstRunWanted();
    // Stations turned away that the table lists nowhere, in the order they came.
    std::vector<platform::Ipv4Address> stationsKnocking() const;
    // Writes the owner's choices; false (after telling the operator) when a
    // file could not be written.
    bool applyFirstRun(const configuration::FirstRunSetup& setup);

    // --- exit ----------------------------------------------------------------------
    // Escape or the close box: asks "Exit Brisko?"; on Yes stops the link and the
    // print monitor and closes the files. True when the console has ended. Bills
    // made while the question was up are counted in it: it is asked again.
    bool requestExit();
    bool hasEnded() const;

    // --- timers ----------------------------------------------------------------------
    // Each ends with one sync of the activity log.
    void eventPoll();
    void moneyTick();

    // --- station table and its buttons ----------------------------------------------
    const StationTable& stationTable() const;
    const StationState& stationState(int i) const;
    void onStationSelectionChanged(const std::vector<int>& rows);
    void onStationTableFocus(bool gained);
    void onStartPressed();
    void onStopPressed();
    void onSwapPressed();
    void onAlarmSelected(int choice);
    void onConfigurationPressed();
    void onBillPressed();

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
    BillPanel& billPanel();
    const BillPanel& billPanel() const;

    // --- the whole visible state ----------------------------------------------------------
    ConsoleView view() const;

    // --- what the configuration dialog edits -----------------------------------------
    store::ActivityLog& activityLog();
    store::Configuration& configuration();
    store::BillJournal& journal();
    store::ClientTable& clients();
    store::SaleItemTable& saleItems();
    store::PrinterTable& printers();
    store::RateTable& rates();
    configuration::ConfigurationDialogModel& configurationDialog();
    stationlink::LinkServer& link();

    // --- station workers (the Clients page adds, removes and re-addresses stations) ---
    void startStationWorker(int i) override;
    void stopStationWorker(int i) override;
    void clientTableChanged() override;
    bool stationBusy(int i) const override;

    // --- the cafe's key, for the Clients page ---------------------------------------------
    bool hasKey() const override;
    Keying keying(int index) const override;
    bool keylessAllowed(platform::Ipv4Address address) const override;
    [[nodiscard]] bool allowKeyless(platform::Ipv4Address address, bool allowed) override;

private:
    // The files, the link, the table, the panel and the rules behind them.
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace console
