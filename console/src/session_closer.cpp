#include "session_closer.h"

#include "console/money_text.h"
#include "console/texts.h"
#include "link/station_words.h"
#include "modal_guard.h"
#include "platform/clock.h"
#include "station_board.h"
#include "store/activity_log.h"
#include "store/rate_table.h"

#include <algorithm>

namespace console {

SessionCloser::SessionCloser(StationBoard& board, BillPanel& panel, const store::RateTable& rates, ModalGuard& guard)
    : board_(board), panel_(panel), rates_(rates), guard_(guard)
{
}

void SessionCloser::closeSession(int i) { closeSessionAfter(i, board_.elapsedSeconds(i)); }

// The row is idle at once; the bill line carries the session's time as it is
// now, even when a dialog holds the bill work back until it closes.
void SessionCloser::closeSessionAfter(int i, std::int32_t elapsed)
{
    StationState& state = board_.station(i);
    board_.resetToStopped(i);
    ++state.sessionSerial;
    state.lastSessionEnd = std::max(state.lastSessionEnd, state.startTime + static_cast<std::time_t>(elapsed));
    const std::time_t at = board_.clock().now();
    holdWork(store::KeptClose{i, elapsed, static_cast<std::int64_t>(at)});
}

void SessionCloser::holdWork(HeldWork work)
{
    held_.push_back(std::move(work));
    guard_.billWork([this] { runHeldWork(); });
}

// The guard runs one call per held piece of work, in the order they were held.
void SessionCloser::runHeldWork()
{
    if (held_.empty())
        return;
    const HeldWork work = held_.front();
    held_.pop_front();
    if (const auto* close = std::get_if<store::KeptClose>(&work))
        billSession(close->index, close->elapsed, static_cast<std::time_t>(close->at));
    else
        panel_.addPrintCharge(std::get<PrintCharge>(work));
}

void SessionCloser::billSession(int i, std::int32_t elapsed, std::time_t at)
{
    StationState& state = board_.station(i);
    const int b = state.sessionBill.owner == -1 ? i : state.sessionBill.owner;
    SessionBill& bill = board_.station(b).sessionBill;
    if (!bill.open) {
        bill.open = true;
        bill.openTime = at;
        bill.sessionCount = 0;
        bill.stationsText = std::string(kStationsPrefix);
        bill.lastStationNumber = 0;
        bill.items.clear();
        bill.rowCounter = 0;
    }
    if (++bill.sessionCount > 1)
        bill.stationsText += kStationsSeparator;
    bill.stationsText += std::to_string(i + 1);

    const std::string charge = accessCostText(store::ComputeAccessCharge(rates_.rows(), elapsed));
    const std::string description = spanBillText(elapsed);
    board_.log().writeLogLine("ADD ITEM," + description + "," + charge);
    bill.items.push_back({std::to_string(i + 1), description, charge});
    bill.lastStationNumber = i + 1;

    if (state.holds.has(Hold::OpenBill)) {
        state.holds.clear(Hold::OpenBill);
        if (auto items = panel_.takeStationOpenBill(i + 1))
            bill.items.insert(bill.items.end(), items->begin(), items->end());
    }

    if (bill.owner != -1)
        --bill.pendingCount;
    if (bill.owner != -1 && bill.pendingCount > 0)
        return; // other stations of the group are still running
    completeSessionBill(b, i);
}

// The session bill collected in b's record is complete (station i reported
// last): it joins the open bills.
void SessionCloser::completeSessionBill(int b, int i)
{
    SessionBill& bill = board_.station(b).sessionBill;
    const int shown = panel_.displayedStation();
    const bool show =
        !panel_.storedBillDisplayed() || shown == i + 1 ||
        (shown >= 1 && shown <= board_.stationCount() && board_.station(shown - 1).sessionBill.owner == b);
    panel_.addSessionBill(
        OpenBill{bill.items, false, bill.lastStationNumber, std::nullopt, BillKind::Station, {}, false},
        bill.stationsText, show);

    bill.open = false;
    bill.owner = -1;
    bill.pendingCount = 0;
    bill.items.clear();
    // The group is complete: its members no longer point at this record, so a
    // later session of theirs makes a bill of its own.
    for (int j = 0; j < board_.stationCount(); ++j)
        if (board_.station(j).sessionBill.owner == b)
            board_.station(j).sessionBill.owner = -1;
}

void SessionCloser::leaveStopGroup(int i)
{
    const int b = board_.station(i).sessionBill.owner;
    if (b == -1)
        return;
    SessionBill& bill = board_.station(b).sessionBill;
    if (b != i)
        board_.station(i).sessionBill.owner = -1; // the owner's record goes on collecting the others
    if (--bill.pendingCount > 0)
        return;
    if (bill.open) {
        completeSessionBill(b, i);
        return;
    }
    // Nobody of the group has reported yet and nobody is left to: the group is gone.
    bill.pendingCount = 0;
    for (int j = 0; j < board_.stationCount(); ++j)
        if (board_.station(j).sessionBill.owner == b)
            board_.station(j).sessionBill.owner = -1;
}

void SessionCloser::closeSessionOfRemovedStation(int i)
{
    using namespace stationlink;
    if (i < 0 || i >= board_.stationCount())
        return;
    // A session counts while the console holds LinkState::Session for it, while its row
    // reads "Started", or while it is the target of a swap (which shows the start).
    const bool session = board_.mailboxWord(i).has(LinkState::Session) || board_.isPhase(i, Phase::Started) ||
                         (board_.isPhase(i, Phase::Swapping) && board_.table().state(i).start.has_value());
    if (!session)
        return;
    board_.logStation("STOPPING", i);
    board_.link().withMailbox(
        i, [](MailboxWord& word) { word.clear(LinkState::Session | LinkState::Starting | LinkState::Stopping); });
    board_.disarmAlarm(i);
    board_.station(i).holds.clear(Hold::UnbilledStop);
    closeSession(i);
}

} // namespace console
