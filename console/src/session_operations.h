#pragma once
// Sessions on the stations: Start, Stop (stations stopped together share one
// bill), Swap and alarms here; the event poll that completes them when the
// stations report (EventPoll), the money tick that keeps the running charges
// (MoneyTick), and the closing that turns a finished session into a bill
// (SessionCloser), behind one face for the engine. Window thread only.

#include "event_poll.h"
#include "money_tick.h"
#include "session_closer.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace store {
class RateTable;
}

namespace console {

class BillPanel;
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
    void setPrintJobSource(PrintJobSource* source) { tick_.setPrintJobSource(source); }

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
    void eventPoll() { poll_.run(); }
    // Every second: durations, charges, session figures, alarms, print jobs.
    void moneyTick() { tick_.run(); }

    // Ends station i's session: the row is idle at once, and the session's time
    // up to now becomes a line of its bill (which waits while a dialog is up).
    void closeSession(int i) { closer_.closeSession(i); }
    // Closes the session of a station that is going away for good (its row is
    // about to be removed), so that its time is billed.
    void closeSessionOfRemovedStation(int i) { closer_.closeSessionOfRemovedStation(i); }
    // closeSession with the session billed up to `end`.
    void closeSessionUpTo(int i, std::time_t end) { closer_.closeSessionUpTo(i, end); }

    // Bill work held back while a dialog is up, oldest first: sessions already
    // closed whose lines wait, and priced print jobs whose lines wait.
    using HeldWork = SessionCloser::HeldWork;
    const std::deque<HeldWork>& heldWork() const { return closer_.heldWork(); }
    // Keys of print jobs taken and charged but not yet confirmed to the print
    // monitor; confirmed once they are on disk.
    const std::vector<std::string>& takenPrintJobs() const { return tick_.takenPrintJobs(); }
    void confirmTakenPrintJobs() { tick_.confirmTakenPrintJobs(); }
    // Jobs charged before a restart: handed over again, they are not charged again.
    void restoreTakenPrintJobs(const std::vector<std::string>& keys) { tick_.restoreTakenPrintJobs(keys); }
    // The bill side of a session closed before a restart.
    void billKeptClose(const store::KeptClose& close) { closer_.billKeptClose(close); }

private:
    void stopSessionHeldWhileAway(int i);
    // Stop on rows whose station never confirmed a Start or a Swap.
    void dropUnconfirmedSession(int i);
    void abandonStart(int i);
    void abandonSwap(int i);

    StationBoard& board_;
    BillPanel& panel_;
    StationButtons& buttons_;
    WindowControls& window_;
    SessionCloser closer_;
    EventPoll poll_;
    MoneyTick tick_;
    bool swapInProgress_ = false;
};

} // namespace console
