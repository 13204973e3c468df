#include "console/journal_events.h"
#include "brisko_version.h"

#include <array>
#include <string_view>
#include <utility>

namespace console {

std::optional<platform::JournalLevel> journalLevelOf(const std::string& logLine)
{
    using Level = platform::JournalLevel;
    static constexpr std::array<std::pair<std::string_view, Level>, 7> kEvents{{
        {"CONSOLE STARTED,", Level::Notice},
        {"CONSOLE ENDED,", Level::Notice},
        {"LINK REFUSED,", Level::Warning},
        {"STAMP REFUSED,", Level::Warning},
        {"PRINT SERVER UNREACHABLE,", Level::Warning},
        {"PRINT SERVER BACK,", Level::Notice},
        {"PASSWORD REFUSED,", Level::Warning},
    }};
    for (const auto& [event, level] : kEvents)
        if (logLine.starts_with(event))
            return level;
    return std::nullopt;
}

std::string consoleStartedEvent() { return std::string("CONSOLE STARTED,") + BRISKO_VERSION; }

std::string fileProblemJournalLine(const std::filesystem::path& file, const std::string& message)
{
    std::string line;
    for (char c : message) {
        if (c == '\r')
            continue;
        line += c == '\n' ? ' ' : c;
    }
    // Paragraph breaks leave runs of spaces; one is enough on a log line.
    std::string squeezed;
    for (char c : line)
        if (c != ' ' || squeezed.empty() || squeezed.back() != ' ')
            squeezed += c;
    return squeezed + " (" + file.string() + ")";
}

} // namespace console
