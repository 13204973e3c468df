#include "open_state_keeper.h"

#include "console/bill_panel.h"
#include "console/money_text.h"
#include "session_operations.h"
#include "station_board.h"
#include "console/texts.h"

#include "link/station_words.h"
#include "platform/clock.h"
#include "store/activity_log.h"
#include "store/bill_journal.h"

#include <algorithm>

namespace console {

using namespace stationlink;

namespace {

store::KeptPrintCharge keptPrintCharge(const PrintCharge& c)
{
    return {c.station, c.line, c.amount, c.running, c.sessionSerial};
}

} // namespace

OpenStateKeeper::OpenStateKeeper(const std::filesystem::path& folder, store::StoreNotifier& notifier,
                                 StationBoard& board, BillPanel& panel, SessionOperations& sessions,
                                 store::BillJournal& journal)
    : file_(folder, notifier), board_(board), panel_(panel), sessions_(sessions), journal_(journal)
{
}

bool OpenStateKeeper::open() { return file_.open(); }

void OpenStateKeeper::close()
{
    keeping_ = false;
    file_.close();
}

store::OpenState OpenStateKeeper::capture() const
{
    store::OpenState state;
    state.bills = panel_.keptBills();
    if (charging_ && charging_->index >= 0 && charging_->index < static_cast<int>(state.bills.size()))
        state.bills[static_cast<std::size_t>(charging_->index)].chargingAt = charging_->journalOffset;

    for (int i = 0; i < board_.stationCount(); ++i) {
        const StationState& s = board_.station(i);
        const MailboxWord word = board_.mailboxWord(i);
        const bool swapTarget = board_.isPhase(i, Phase::Swapping) && s.holds.has(Hold::SwapArriving);
        const bool running = word.has(LinkState::Session) || board_.isPhase(i, Phase::Started) || swapTarget;
        // A Start the station has not confirmed may already have unlocked it.
        const bool starting = board_.isPhase(i, Phase::Starting);
        const SessionBill& bill = s.sessionBill;
        const bool holdsSomething = running || starting || s.holds.has(Hold::OpenBill) ||
                                    s.holds.has(Hold::SessionSettled) || s.alarmArmed() || bill.owner != -1 ||
                                    bill.open || bill.pendingCount != 0;
        if (!holdsSomething)
            continue;
        store::KeptStation kept;
        kept.index = i;
        kept.running = running;
        kept.starting = starting;
        kept.swapTarget = swapTarget || (running && s.holds.has(Hold::SwapArriving));
        kept.swapTime = s.swapTime;
        kept.stopping = running && word.has(LinkState::Stopping);
        kept.openBillMark = s.holds.has(Hold::OpenBill);
        kept.billedWhileAway = s.holds.has(Hold::SessionSettled);
        kept.startTime = s.startTime;
        kept.stopTime = s.stopTime;
        kept.alarmChoice = s.alarmChoice;
        kept.alarmTime = s.alarmTime;
        kept.sessionSerial = s.sessionSerial;
        if (running) {
            kept.accessCost = board_.table().text(i, Column::AccessCost);
            kept.extras = board_.table().text(i, Column::Extras);
            kept.total = board_.table().text(i, Column::Total);
        }
        kept.sessionBill = {bill.owner,        bill.pendingCount,      bill.open,
                            bill.sessionCount, bill.rowCounter,        bill.stationsText,
                            bill.openTime,     bill.lastStationNumber, bill.items};
        state.stations.push_back(std::move(kept));
    }
    for (const SessionOperations::HeldWork& work : sessions_.heldWork()) {
        if (const auto* close = std::get_if<store::KeptClose>(&work))
            state.held.emplace_back(*close);
        else
            state.held.emplace_back(keptPrintCharge(std::get<PrintCharge>(work)));
    }
    state.takenPrintJobs = sessions_.takenPrintJobs();
    for (int i = 0; i < board_.stationCount(); ++i)
        if (board_.station(i).lastSessionEnd != 0)
            state.sessionEnds.push_back({i, static_cast<std::int64_t>(board_.station(i).lastSessionEnd)});
    return state;
}

bool OpenStateKeeper::keep()
{
    if (!keeping_)
        return false;
    return file_.keep(capture()); // a failure was shown; the next change tries again
}

bool OpenStateKeeper::beforeCharge(int index, std::uint64_t journalOffset)
{
    if (!keeping_)
        return true; // the file could not be opened: the console runs as it did without it
    charging_ = Charging{index, journalOffset};
    if (file_.keep(capture()))
        return true;
    charging_.reset();
    return false;
}

void OpenStateKeeper::restore()
{
    const store::OpenState& kept = file_.loaded();

    // A bill caught in the middle of its charge was paid if its entry reached the
    // journal. A running station's open bill paid that way no longer counts in
    // its Extras.
    std::vector<store::KeptBill> bills;
    paidOpenBills_.clear();
    for (const store::KeptBill& bill : kept.bills) {
        const auto check = bill.chargingAt ? journal_.findEntryAt(*bill.chargingAt, bill.items)
                                           : store::BillJournal::EntryCheck::Absent;
        if (check == store::BillJournal::EntryCheck::Found) {
            if (bill.station >= 1 && bill.caption == stationOpenBillCaption(bill.station))
                paidOpenBills_[bill.station - 1] = billTotal(bill.items);
            continue;
        }
        // Unknown: the bill stays unpaid with its mark, settled when it is charged.
        store::KeptBill unpaid = bill;
        if (check == store::BillJournal::EntryCheck::Absent)
            unpaid.chargingAt.reset();
        bills.push_back(std::move(unpaid));
    }
    panel_.restoreOpenBills(std::move(bills));

    for (const store::KeptSessionEnd& end : kept.sessionEnds)
        if (end.index >= 0 && end.index < kMaxStations)
            board_.station(end.index).lastSessionEnd = static_cast<std::time_t>(end.end);
    for (const store::KeptStation& station : kept.stations)
        restoreStation(station);
    // Work that waited for a dialog came before anything that happens now.
    for (const store::KeptHeldWork& work : kept.held) {
        if (const auto* close = std::get_if<store::KeptClose>(&work)) {
            if (close->index >= 0 && close->index < kMaxStations)
                sessions_.billKeptClose(*close);
        } else {
            const auto& c = std::get<store::KeptPrintCharge>(work);
            panel_.addPrintCharge(PrintCharge{c.station, c.line, c.amount, c.running, c.sessionSerial});
        }
    }
    closeUnconfirmedStops(kept);
    sessions_.restoreTakenPrintJobs(kept.takenPrintJobs);

    keeping_ = file_.isOpen();
    (void)keep();
}

void OpenStateKeeper::restoreStation(const store::KeptStation& kept)
{
    const int i = kept.index;
    if (i < 0 || i >= kMaxStations)
        return;
    StationState& s = board_.station(i);
    const auto paid = paidOpenBills_.find(i);
    s.holds.put(Hold::OpenBill, kept.openBillMark && paid == paidOpenBills_.end());
    s.holds.put(Hold::SwapArriving, kept.swapTarget);
    s.swapTime = static_cast<std::time_t>(kept.swapTime);
    s.holds.put(Hold::SessionSettled, kept.billedWhileAway);
    s.startTime = static_cast<std::time_t>(kept.startTime);
    s.stopTime = static_cast<std::time_t>(kept.stopTime);
    s.sessionSerial = kept.sessionSerial;
    const store::KeptSessionBill& b = kept.sessionBill;
    s.sessionBill.owner = (b.owner >= -1 && b.owner < kMaxStations) ? b.owner : -1;
    s.sessionBill.pendingCount = std::max(0, b.pendingCount);
    s.sessionBill.open = b.open;
    s.sessionBill.sessionCount = b.sessionCount;
    s.sessionBill.rowCounter = b.rowCounter;
    s.sessionBill.stationsText = b.stationsText;
    s.sessionBill.openTime = static_cast<std::time_t>(b.openTime);
    s.sessionBill.lastStationNumber = b.lastStationNumber;
    s.sessionBill.items = b.items;
    // A Start not yet confirmed is taken as given: the station may have
    // unlocked, and if it has not, it is unlocked again when it comes back.
    if (i >= board_.stationCount() || !(kept.running || kept.starting))
        return;
    if (kept.alarmChoice > 0 && kept.alarmChoice < static_cast<int>(kAlarmChoices.size()))
        board_.restoreAlarm(i, kept.alarmChoice, static_cast<std::time_t>(kept.alarmTime));
    // The row stays "Disconnected" until the station reports; the session counts
    // on, and the station coming back with its stamp takes it up again.
    StationTable& table = board_.table();
    table.state(i).start = s.startTime;
    // The total is theirs: it is not kept apart.
    table.state(i).accessCost = ShownMoney::fromText(kept.accessCost);
    table.state(i).extras = ShownMoney::fromText(kept.extras);
    if (paid != paidOpenBills_.end())
        board_.addExtras(i, -paid->second);
    board_.link().withMailbox(i, [](MailboxWord& word) { word.set(LinkState::Session); });
}

// Sessions the console had stopped (LOCK sent) but whose STOPPED it never heard,
// and sessions whose alarm fell due while it was down, end now, billed up to the
// stop or the alarm. Should the station come back unlocked it is locked without
// a second bill.
void OpenStateKeeper::closeUnconfirmedStops(const store::OpenState& kept)
{
    const std::time_t now = board_.clock().now();
    for (const store::KeptStation& station : kept.stations) {
        const int i = station.index;
        if (!station.running || i < 0 || i >= kMaxStations)
            continue;
        const bool alarmDue = station.alarmChoice > 0 && station.alarmTime <= now;
        if (!station.stopping && !alarmDue)
            continue;
        const std::int64_t end = station.stopping ? station.stopTime : station.alarmTime;
        if (i >= board_.stationCount()) {
            // The station's row is gone (the clients file shrank): its time is still billed.
            sessions_.billKeptClose({i, secondsBetween(station.startTime, end), static_cast<std::int64_t>(now)});
            continue;
        }
        if (alarmDue && !station.stopping)
            board_.logStation("ALARM STOPPING", i);
        board_.disarmAlarm(i);
        board_.link().withMailbox(i, [](MailboxWord& word) { word.clear(LinkState::Session | LinkState::Stopping); });
        board_.station(i).holds.set(Hold::SessionSettled);
        // The station is not connected yet: the row stays "Disconnected".
        sessions_.closeSessionUpTo(i, end);
    }
    // Running sessions whose rows are gone are billed up to now.
    for (const store::KeptStation& station : kept.stations) {
        const int i = station.index;
        if (!station.running || station.stopping || i < board_.stationCount() || i >= kMaxStations)
            continue;
        if (station.alarmChoice > 0 && station.alarmTime <= now)
            continue; // billed above
        sessions_.billKeptClose({i, secondsBetween(station.startTime, now), static_cast<std::int64_t>(now)});
    }
}

} // namespace console
