#pragma once
// Which activity-log events also go to the system's log, for the machine's
// administrator: the console's start and end, stations turned away, the
// print server's trouble and a refused password, and every data file that
// could not be opened, read or written. The activity log's lines are the activity
// log's own, so one search finds them in both places.
//
// Thread contract: no state; any thread.

#include "platform/system_journal.h"

#include <filesystem>
#include <optional>
#include <string>

namespace console {

// The level an activity-log line goes to the system's log with; nullopt for
// the lines that stay in the activity log only (sessions, money, items).
std::optional<platform::JournalLevel> journalLevelOf(const std::string& logLine);

// The console's start and end in the activity log: "CONSOLE STARTED,VERSION"
// and "CONSOLE ENDED,".
std::string consoleStartedEvent();
inline constexpr const char* kConsoleEndedEvent = "CONSOLE ENDED,";

// The system log's line for a data file the console could not use: the
// operator's message on one line, then the file, which the message leaves out.
std::string fileProblemJournalLine(const std::filesystem::path& file, const std::string& message);

} // namespace console
