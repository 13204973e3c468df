// Built without libsystemd: logind is never reached.
#include "platform/logind_locks.h"

namespace platform {

struct LogindLocks::Bus {};

LogindLocks::LogindLocks() = default;
LogindLocks::~LogindLocks() = default;
std::optional<std::string> LogindLocks::connect() { return std::string("built without libsystemd"); }
bool LogindLocks::connected() const { return false; }
std::optional<std::string> LogindLocks::hold(Lock, bool, const std::string&, const std::string&)
{
    return std::string("not connected to logind");
}
bool LogindLocks::holds(Lock) const { return false; }
bool LogindLocks::takeShutdownAnnouncement() { return false; }
int LogindLocks::descriptor() const { return -1; }

} // namespace platform
