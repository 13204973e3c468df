#include "platform/system_journal.h"

#include <mutex>
#include <string>
#include <syslog.h>

namespace platform {

void writeSystemJournal(std::string_view program, JournalLevel level, std::string_view line)
{
    // openlog keeps the tag's pointer: it lives as long as the process.
    static std::mutex mutex;
    static std::string tag;
    std::lock_guard lock(mutex);
    if (tag != program) {
        tag = program;
        openlog(tag.c_str(), LOG_PID, LOG_USER);
    }
    const int priority = level == JournalLevel::Error     ? LOG_ERR
                         : level == JournalLevel::Warning ? LOG_WARNING
                                                          : LOG_NOTICE;
    syslog(priority, "%.*s", static_cast<int>(line.size()), line.data());
}

} // namespace platform
