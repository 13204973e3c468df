#include "station_board.h"

#include "console/money_text.h"
#include "console/texts.h"

#include "link/station_words.h"
#include "platform/clock.h"
#include "store/activity_log.h"

#include <algorithm>
#include <limits>
#include <string>

namespace console {

std::int32_t secondsBetween(std::time_t from, std::time_t to)
{
    const std::int64_t seconds = static_cast<std::int64_t>(to) - from;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(seconds, 0, std::numeric_limits<std::int32_t>::max()));
}

StationBoard::StationBoard(ConsoleLink& link, store::ActivityLog& log, const platform::Clock& clock)
    : link_(link), log_(log), clock_(clock)
{
}

bool StationBoard::isPhase(int i, Phase phase) const
{
    return i >= 0 && i < table_.rowCount() && table_.hasPhase(i, phase);
}

std::int32_t StationBoard::elapsedSeconds(int i) const
{
    std::int64_t elapsed = static_cast<std::int64_t>(clock_.now()) - station(i).startTime;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(elapsed, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

void StationBoard::logStation(std::string_view event, int i)
{
    log_.writeLogLine(std::string(event) + "," + std::to_string(i));
}

void StationBoard::followSetups()
{
    for (int i = 0; i < table_.rowCount() && i < kMaxStations; ++i) {
        bool& seen = setupSeen_[static_cast<std::size_t>(i)];
        const bool now = link_.stationInSetup(i);
        if (now == seen)
            continue;
        seen = now;
        logStation(now ? "SETUP BEGUN" : "SETUP ENDED", i);
        // A late command's note says more; the money tick keeps both in step.
        if (table_.note(i).empty() || table_.note(i) == kSetupOpenNote)
            table_.setNote(i, now ? std::string(kSetupOpenNote) : std::string());
    }
}

void StationBoard::initStationRow(int i)
{
    table_.appendRow();
    StationState& state = station(i);
    if (state.alarmArmed())
        disarmAlarm(i);
    state.holds = {};
    state.connected = false;
    state.sessionBill.owner = -1;
    state.sessionBill.pendingCount = 0;
    state.sessionBill.open = false;
    link_.withMailbox(i, [](stationlink::MailboxWord& word) { word = stationlink::MailboxWord(); });
}

void StationBoard::resizeTo(int count)
{
    if (count < 0)
        count = 0;
    if (count > kMaxStations)
        count = kMaxStations;
    while (table_.rowCount() > count) {
        int last = table_.rowCount() - 1;
        if (station(last).alarmArmed())
            disarmAlarm(last);
        table_.deleteLastRow();
    }
    while (table_.rowCount() < count)
        initStationRow(table_.rowCount());
}

void StationBoard::resetToStopped(int i)
{
    RowState& row = table_.state(i);
    row.phase = station(i).connected ? Phase::Stopped : Phase::Disconnected;
    row.clearSession();
}

void StationBoard::addExtras(int i, double amount)
{
    if (amount != 0.0)
        table_.state(i).extras = ShownMoney(table_.state(i).extras.amount() + amount);
}

void StationBoard::sendSessionInfo(int i)
{
    auto record = stationlink::SessionInfoRecord::fromFigures(
        table_.text(i, Column::Duration), table_.text(i, Column::AccessCost), table_.text(i, Column::Extras),
        table_.text(i, Column::Total), station(i).startTime);
    link_.sendSessionInfo(i, record);
}

void StationBoard::sendStationCommand(int i, stationlink::Commands commands)
{
    if (commands.has(stationlink::Command::Lock))
        station(i).stopTime = clock_.now();
    link_.sendStationCommand(i, commands);
}

stationlink::MailboxWord StationBoard::mailboxWord(int i)
{
    stationlink::MailboxWord copy;
    link_.withMailbox(i, [&](stationlink::MailboxWord& word) { copy = word; });
    return copy;
}

void StationBoard::armAlarm(int i, int choice)
{
    StationState& state = station(i);
    if (!state.alarmArmed())
        ++alarmCount_;
    state.alarmChoice = choice;
    state.alarmTime = state.startTime + alarmChoiceSeconds(choice);
}

void StationBoard::disarmAlarm(int i)
{
    StationState& state = station(i);
    if (!state.alarmArmed())
        return;
    state.alarmChoice = 0;
    if (alarmCount_ > 0)
        --alarmCount_;
}

void StationBoard::restoreAlarm(int i, int choice, std::time_t at)
{
    StationState& state = station(i);
    if (choice <= 0)
        return;
    if (!state.alarmArmed())
        ++alarmCount_;
    state.alarmChoice = choice;
    state.alarmTime = at;
}

void StationBoard::moveAlarm(int from, int to)
{
    StationState& source = station(from);
    StationState& target = station(to);
    if (!source.alarmArmed())
        return;
    if (target.alarmArmed())
        --alarmCount_; // the target's own alarm is replaced, not added
    target.alarmChoice = source.alarmChoice;
    target.alarmTime = source.alarmTime;
    source.alarmChoice = 0;
}

} // namespace console
