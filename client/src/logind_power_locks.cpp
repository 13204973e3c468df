#include "client/logind_power_locks.h"

namespace client {

bool LogindPowerLocks::ready()
{
    if (!tried_) {
        tried_ = true;
        if (auto problem = locks_.connect())
            log_.logLine("systemd-logind is not running (" + *problem + "): the power keys and shutdown are not held.");
    }
    return locks_.connected();
}

void LogindPowerLocks::set(platform::LogindLocks::Lock lock, bool held, const char* why)
{
    if (locks_.holds(lock) == held)
        return;
    auto problem = locks_.hold(lock, held, "Tamblo", why);
    if (problem && !refusalLogged_) {
        refusalLogged_ = true;
        log_.logLine("systemd-logind refused a lock: " + *problem);
    }
}

void LogindPowerLocks::hold(bool powerKeys, bool shutdownDelay)
{
    if (!ready())
        return;
    using Lock = platform::LogindLocks::Lock;
    set(Lock::PowerKeys, powerKeys, "The station is locked");
    set(Lock::ShutdownDelay, shutdownDelay, "The console is told that the session ends");
}

bool LogindPowerLocks::shutdownAnnounced() { return locks_.connected() && locks_.takeShutdownAnnouncement(); }

} // namespace client
