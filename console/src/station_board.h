#pragma once
// The station table with the console's per-station state and the primitives
// that act on one row and its station: row initialisation, money columns,
// session figures, commands and alarms. Window thread only.

#include "console_link.h"
#include "console/station_state.h"
#include "console/station_table.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace platform {
class Clock;
}
namespace store {
class ActivityLog;
}

namespace console {

// Whole seconds from `from` to `to`, kept within 0 .. the int32 range a bill
// line's time is counted in.
std::int32_t secondsBetween(std::time_t from, std::time_t to);

class StationBoard {
public:
    StationBoard(ConsoleLink& link, store::ActivityLog& log, const platform::Clock& clock);

    StationTable& table() { return table_; }
    const StationTable& table() const { return table_; }
    StationState& station(int i) { return stations_.at(static_cast<std::size_t>(i)); }
    const StationState& station(int i) const { return stations_.at(static_cast<std::size_t>(i)); }
    int stationCount() const { return table_.rowCount(); }
    bool isPhase(int i, Phase phase) const;

    ConsoleLink& link() { return link_; }
    store::ActivityLog& log() { return log_; }
    const platform::Clock& clock() const { return clock_; }
    // Seconds since station i's session started, within the int32 range.
    std::int32_t elapsedSeconds(int i) const;
    // Writes "<event>,<i>" to the activity log.
    void logStation(std::string_view event, int i);
    // Logs each station whose owner opened or left its setup since the last
    // look ("SETUP BEGUN,i", "SETUP ENDED,i") and marks its row meanwhile.
    void followSetups();

    // Inserts row i as "Disconnected" with idle money columns and clears the
    // station's marks, bill owner and alarm, and its MailboxWord.
    void initStationRow(int i);
    // Adds rows with initStationRow or deletes rows from the end until the
    // table has `count` rows.
    void resizeTo(int count);
    // "Stopped" with no start, duration or money; "Disconnected" while the
    // station is away, so a row billed in its absence still shows it.
    void resetToStopped(int i);

    // Extras grows by the amount, kept at the shown rounding (Total follows).
    void addExtras(int i, double amount);
    // Hands the row's figures to the station and posts Command::SessionInfo.
    void sendSessionInfo(int i);
    // Posts commands; a LOCK also notes when it went out (stopTime).
    void sendStationCommand(int i, stationlink::Commands commands);
    // The station's MailboxWord, read under its lock.
    stationlink::MailboxWord mailboxWord(int i);

    // Alarms; the count is the number of stations with an armed alarm.
    int alarmCount() const { return alarmCount_; }
    void armAlarm(int i, int choice);
    void disarmAlarm(int i);
    // An alarm as it was kept before a restart: the choice and its time.
    void restoreAlarm(int i, int choice, std::time_t at);
    // Moves an armed alarm from one station to another (the count is unchanged).
    void moveAlarm(int from, int to);

private:
    ConsoleLink& link_;
    store::ActivityLog& log_;
    const platform::Clock& clock_;
    StationTable table_;
    std::array<StationState, kMaxStations> stations_{};
    int alarmCount_ = 0;
    std::array<bool, kMaxStations> setupSeen_{}; // as last logged
};

} // namespace console
