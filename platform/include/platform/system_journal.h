#pragma once
// Lines for the machine's administrator, in the system's own log (the
// journal, through syslog): what a program's own files do not tell someone
// who looks with `journalctl -t brisko`. Safe from any thread.

#include <string_view>

namespace platform {

enum class JournalLevel { Notice, Warning, Error };

// One line tagged with `program` ("brisko").
void writeSystemJournal(std::string_view program, JournalLevel level, std::string_view line);

} // namespace platform
