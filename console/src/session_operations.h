#pragma once
// Sessions on the stations: Start, Stop (stations stopped together share one
// bill), Swap, alarms, the event poll that completes them when the stations
// report, the money tick that keeps the running charges, and closeSession,
// which turns a finished session into a bill. Window thread only.

#include "console/bill_panel.h"
#include "store/open_state.h"

#include <cstdint>
#include <ctime>
#include <deque>
#include <set>
#include <string>
#include <vector>
#include <variant>

namespace store {
class RateTable;
}

namespace console {

class ModalGuard;
class PrintJobSource;
class StationBoard;
class StationButtons;
struct WindowControls;

class SessionOperations {
public:
    SessionOperations(StationBoard& board, BillPanel& panel, StationButtons& buttons, WindowControls& window,
                      const store::RateTable& rates, ModalGuard& guard);

    // The print monitor's hand-over, taken by the money tick (none by default).
    void setPrintJobSource(PrintJobSource* source) { printJobs_ = source; }

    void onStartPressed();
    // Started rows are locked (several together share one bill); rows still
    // waiting for their station to confirm a Start or a Swap are given up
    // (abandonStart, abandonSwap); sessions held for a station that went away
    // are billed at once.
    void onStopPressed();
    void onSwapPressed();
    // Alarm selector changed for the station whose open bill is displayed.
    void onAlarmSelected(int choice);

    // Every 100 ms: the events the stations raised.
    void eventPoll();
    // Every second: durations, charges, session figures, alarms, print jobs.
    void moneyTick();

    // Ends station i's session: the row is idle at once, and the session's time
    // up to now becomes a line of its bill (which waits while a dialog is up).
    void closeSession(int i);
    // Closes the session of a station that is going away for good (its row is
    // about to be removed), so that its time is billed.
    void closeSessionOfRemovedStation(int i);
    // closeSession with the session's time given.
    void closeSessionAfter(int i, std::int32_t elapsed);

    // Bill work held back while a dialog is up, oldest first: sessions already
    // closed whose lines wait, and priced print jobs whose lines wait.
    using HeldWork = std::variant<store::KeptClose, PrintCharge>;
    const std::deque<HeldWork>& heldWork() const { return held_; }
    // Keys of print jobs taken and charged but not yet confirmed to the print
    // monitor; confirmed once they are on disk.
    const std::vector<std::string>& takenPrintJobs() const { return takenPrintJobs_; }
    void confirmTakenPrintJobs();
    // Jobs charged before a restart: handed over again, they are not charged again.
    void restoreTakenPrintJobs(const std::vector<std::string>& keys);
    // The bill side of a session closed before a restart.
    void billKeptClose(const store::KeptClose& close) { billSession(close.index, close.elapsed, close.at); }

private:
    void pollStation(int i);
    // Holds the work as data (so that the money it carries is kept on disk
    // while it waits) and lets the guard run it in its turn.
    void holdWork(HeldWork work);
    void runHeldWork();
    // The bill side of a closed session, `at` the moment it closed.
    void billSession(int i, std::int32_t elapsed, std::time_t at);
    void completeSessionBill(int b, int i);
    // A swap moves station i's session away while it waits in a group stopped
    // together: the group's bill no longer waits for it.
    void leaveStopGroup(int i);
    void stopSessionHeldWhileAway(int i);
    // Stop on rows whose station never confirmed a Start or a Swap.
    void dropUnconfirmedSession(int i);
    void abandonStart(int i);
    void abandonSwap(int i);
    std::int32_t elapsedSeconds(int i) const;

    StationBoard& board_;
    BillPanel& panel_;
    StationButtons& buttons_;
    WindowControls& window_;
    const store::RateTable& rates_;
    ModalGuard& guard_;
    PrintJobSource* printJobs_ = nullptr;
    std::deque<HeldWork> held_;
    std::vector<std::string> takenPrintJobs_;
    std::set<std::string> chargedBeforeRestart_;
    bool swapInProgress_ = false;
};

} // namespace console
