#include "session_operations.h"

#include "console/bill_panel.h"
#include "console/money_text.h"
#include "console/texts.h"
#include "link/station_words.h"
#include "platform/clock.h"
#include "station_board.h"
#include "station_buttons.h"
#include "store/activity_log.h"

#include <algorithm>

namespace console {

using namespace stationlink;

SessionOperations::SessionOperations(StationBoard& board, BillPanel& panel, StationButtons& buttons,
                                     WindowControls& window, const store::RateTable& rates, ModalGuard& guard)
    : board_(board),
      panel_(panel),
      buttons_(buttons),
      window_(window),
      closer_(board, panel, rates, guard),
      poll_(board, buttons, closer_),
      tick_(board, panel, rates, closer_)
{
}

void SessionOperations::onStartPressed()
{
    StationTable& table = board_.table();
    const std::time_t now = board_.clock().now();
    for (int i = 0; i < table.rowCount(); ++i) {
        if (!table.isSelected(i) || !table.hasPhase(i, Phase::Stopped))
            continue;
        table.setPhase(i, Phase::Starting);
        board_.station(i).startTime = now;
        board_.station(i).holds.clear(Hold::SessionSettled);
        table.state(i).start = now;
        board_.logStation("STARTING", i);
        // A LOCK not yet answered (the one a station gets as it connects) is
        // taken back: the UNLOCK supersedes it, and nothing waits for its STOPPED.
        board_.link().withMailbox(i, [](MailboxWord& word) {
            word.clear(LinkState::Stopping);
            word.withdraw(Command::Lock);
        });
        board_.sendStationCommand(i, Command::Unlock);
    }
    // The table takes the focus first: its buttons then set Enter's default
    // even when the focus was in the tender field before.
    window_.requestFocus({FocusTarget::Control::StationTable, 0});
    buttons_.refreshStationButtons();
}

void SessionOperations::onStopPressed()
{
    StationTable& table = board_.table();
    int owner = -1;
    int members = 0;
    bool given = false;
    for (int i = 0; i < table.rowCount(); ++i) {
        if (!table.isSelected(i))
            continue;
        // Rows whose station never confirmed: the operator gives up waiting.
        if (table.hasPhase(i, Phase::Starting) || buttons_.waitsToStartWhileAway(i)) {
            abandonStart(i);
            given = true;
            continue;
        }
        if (table.hasPhase(i, Phase::Swapping)) {
            abandonSwap(i);
            given = true;
            continue;
        }
        if (!table.hasPhase(i, Phase::Started))
            continue;
        board_.sendStationCommand(i, Command::Lock);
        board_.logStation("STOPPING", i);
        SessionBill& bill = board_.station(i).sessionBill;
        // A station already waiting in a group from an earlier press stays in it:
        // moving it would leave that group's bill waiting for ever.
        if (bill.owner != -1)
            continue;
        if (owner == -1) {
            owner = i;
            continue;
        }
        SessionBill& ownerBill = board_.station(owner).sessionBill;
        if (++members == 1) {
            ownerBill.owner = owner;
            ++ownerBill.pendingCount;
        }
        bill.owner = owner;
        ++ownerBill.pendingCount;
    }
    for (int i = 0; i < table.rowCount(); ++i)
        if (table.isSelected(i) && buttons_.holdsSessionWhileAway(i))
            stopSessionHeldWhileAway(i);
    if (given)
        buttons_.refreshStationButtons();
}

// The console holds no session for station i any more, while the station may
// still be on its way to one: its UNLOCK is taken back if it has not gone out,
// and it is locked. Should its confirmation come after all, the event poll
// locks it again without a bill (Hold::SessionSettled), and the STOPPED that
// answers the lock makes no bill either.
void SessionOperations::dropUnconfirmedSession(int i)
{
    board_.logStation("STOPPING", i);
    board_.link().withMailbox(i, [](MailboxWord& word) {
        word.clear(LinkState::Session | LinkState::Starting);
        word.withdraw(Command::Unlock);
    });
    board_.sendStationCommand(i, Command::Lock);
    board_.disarmAlarm(i);
    board_.station(i).holds.set(Hold::SessionSettled);
}

// Start pressed, but the station never confirmed: it was never usable as far
// as the console knows, so there is nothing to bill.
void SessionOperations::abandonStart(int i)
{
    dropUnconfirmedSession(i);
    board_.resetToStopped(i);
}

// One side of a swap that never completed.
// - The target (the session was moving there) never reported STARTED: the
//   session is billed from its start to the moment of the swap, the time used
//   on the source, with the open bill that moved along.
// - The source never reported STOPPED: the session already belongs to the
//   target, so the source makes no bill whatever the target does.
// Either way a STOPPED that still comes finds SwapHold set and bills nothing.
void SessionOperations::abandonSwap(int i)
{
    StationState& state = board_.station(i);
    if (!state.holds.has(Hold::SwapArriving)) {
        board_.logStation("STOPPING", i);
        board_.sendStationCommand(i, Command::Lock);
        board_.resetToStopped(i);
        return;
    }
    dropUnconfirmedSession(i);
    state.holds.clear(Hold::SwapArriving);
    closeSessionUpTo(i, state.swapTime);
}

// The station is gone but its session still counts: stopping it bills the time
// up to now at once, since no STOPPED will come. Should the station come back
// still unlocked, the event poll locks it without billing the session again.
void SessionOperations::stopSessionHeldWhileAway(int i)
{
    board_.logStation("STOPPING", i);
    board_.link().withMailbox(i, [](MailboxWord& word) {
        word.clear(LinkState::Session | LinkState::Starting | LinkState::Stopping);
        word.withdraw(Command::Unlock);
    });
    board_.disarmAlarm(i);
    StationState& state = board_.station(i);
    state.holds.set(Hold::SessionSettled);
    if (state.holds.has(Hold::SwapArriving)) {
        // A swap moved the session here and the station never confirmed it: as
        // when the operator gives up on a swap, the time up to the swap is billed.
        state.holds.clear(Hold::SwapArriving);
        closeSessionUpTo(i, state.swapTime);
    } else {
        closeSession(i);
    }
    buttons_.refreshStationButtons();
}

void SessionOperations::onSwapPressed()
{
    if (swapInProgress_)
        return;
    swapInProgress_ = true;
    buttons_.disableSwap();

    StationTable& table = board_.table();
    const int rows = table.rowCount();
    int source = -1;
    int target = -1;
    for (int i = 0; i < rows && (source < 0 || target < 0); ++i) {
        if (!table.isSelected(i))
            continue;
        if (source < 0 && table.hasPhase(i, Phase::Started))
            source = i;
        else if (target < 0 && table.hasPhase(i, Phase::Stopped))
            target = i;
    }
    board_.log().writeLogLine("SWAPPING," + std::to_string(source) + " (stopping)," + std::to_string(target) +
                              " (starting)");
    if (source >= 0 && target >= 0) {
        StationState& from = board_.station(source);
        StationState& to = board_.station(target);
        from.holds.set(Hold::UnbilledStop);
        from.holds.clear(Hold::SwapArriving);
        to.holds.set(Hold::UnbilledStop | Hold::SwapArriving);
        to.holds.clear(Hold::SessionSettled);
        to.swapTime = board_.clock().now();
        table.setPhase(source, Phase::Swapping);
        table.setPhase(target, Phase::Swapping);
        to.startTime = from.startTime;
        if (from.alarmArmed())
            board_.moveAlarm(source, target);
        // The session leaves the source: should the source go away before it
        // locks, it holds nothing to bill or to unlock again when it comes back,
        // and an UNLOCK still waiting for it (it had just come back) stays unsent.
        board_.link().withMailbox(source, [](MailboxWord& word) {
            word.clear(LinkState::Session | LinkState::Starting);
            word.withdraw(Command::Unlock);
        });
        from.holds.set(Hold::SessionSettled);
        from.lastSessionEnd = std::max(from.lastSessionEnd, board_.clock().now());
        closer_.leaveStopGroup(source);
        board_.sendStationCommand(source, Command::Lock);
        board_.sendStationCommand(target, Command::Unlock);
        // The session lives on the target from now on: should the target go away
        // before it confirms, the session is still there to be stopped and billed.
        board_.link().withMailbox(target, [](MailboxWord& word) { word.set(LinkState::Session); });
        RowState& moved = table.state(target);
        moved.start = table.state(source).start;
        moved.accessCost = table.state(source).accessCost;
        moved.extras = table.state(source).extras;
        table.state(source).clearSession();
        if (from.holds.has(Hold::OpenBill)) {
            from.holds.clear(Hold::OpenBill);
            to.holds.set(Hold::OpenBill);
            panel_.moveStationOpenBill(source + 1, target + 1);
        }
    }
    swapInProgress_ = false;
}

// Acts only on a choice that differs from the one the selector shows for the
// displayed station: a selector refilled or shown again changes no alarm.
void SessionOperations::onAlarmSelected(int choice)
{
    const int s = panel_.displayedStation();
    if (!panel_.panelShown() || s < 1 || s > board_.stationCount() || choice < 0 ||
        choice >= static_cast<int>(kAlarmChoices.size()))
        return;
    StationState& state = board_.station(s - 1);
    const std::string station = std::to_string(s - 1);
    if (choice != 0) {
        if (choice == state.alarmChoice)
            return;
        board_.armAlarm(s - 1, choice);
        board_.log().writeLogLine("ALARM SET," + station + "," +
                                  std::string(kAlarmChoices[static_cast<std::size_t>(choice)]));
    } else if (state.alarmArmed()) {
        board_.disarmAlarm(s - 1);
        board_.log().writeLogLine("ALARM CLEARED," + station);
    }
}

} // namespace console
