#pragma once
// Closing sessions and billing them: a finished session becomes a bill line of
// its owner's SessionBill, and the bill joins the open bills once every station
// stopped together has reported. The bill side waits while a dialog is up: it
// is held as data (so that the money it carries is kept on disk meanwhile),
// together with priced print jobs, and the guard runs it in its turn.
// Window thread only.

#include "console/bill_panel.h"
#include "station_board.h"
#include "store/open_state.h"

#include <cstdint>
#include <ctime>
#include <deque>
#include <variant>

namespace store {
class RateTable;
}

namespace console {

class ModalGuard;
class StationBoard;

class SessionCloser {
public:
    SessionCloser(StationBoard& board, BillPanel& panel, const store::RateTable& rates, ModalGuard& guard);

    // Ends station i's session: the row is idle at once, and the session's time
    // up to now becomes a line of its bill (which waits while a dialog is up).
    void closeSession(int i);
    // closeSession with the session's time given.
    void closeSessionAfter(int i, std::int32_t elapsed);
    // closeSession with the session billed up to `end` (a stop sent, a swap made).
    void closeSessionUpTo(int i, std::time_t end)
    {
        closeSessionAfter(i, secondsBetween(board_.station(i).startTime, end));
    }
    // Closes the session of a station that is going away for good (its row is
    // about to be removed), so that its time is billed.
    void closeSessionOfRemovedStation(int i);
    // A swap moves station i's session away while it waits in a group stopped
    // together: the group's bill no longer waits for it.
    void leaveStopGroup(int i);

    // Bill work held back while a dialog is up, oldest first: sessions already
    // closed whose lines wait, and priced print jobs whose lines wait.
    using HeldWork = std::variant<store::KeptClose, PrintCharge>;
    const std::deque<HeldWork>& heldWork() const { return held_; }
    // Holds the work and lets the guard run it in its turn.
    void holdWork(HeldWork work);
    // The bill side of a session closed before a restart.
    void billKeptClose(const store::KeptClose& close) { billSession(close.index, close.elapsed, close.at); }

private:
    void runHeldWork();
    // The bill side of a closed session, `at` the moment it closed.
    void billSession(int i, std::int32_t elapsed, std::time_t at);
    void completeSessionBill(int b, int i);

    StationBoard& board_;
    BillPanel& panel_;
    const store::RateTable& rates_;
    ModalGuard& guard_;
    std::deque<HeldWork> held_;
};

} // namespace console
