#pragma once
// Inhibitor locks of systemd-logind, over the system bus: a block lock on the
// power, suspend and hibernate keys, and a delay lock on shutdown together
// with the announcement that a shutdown begins (PrepareForShutdown), so that
// the holder can finish its work before it lets the shutdown go on. A lock is
// held by a file descriptor that logind hands out; closing it, or the end of
// the process however it comes, releases the lock. Where logind does not run,
// connect() says why and nothing else happens. One owner thread.

#include <memory>
#include <optional>
#include <string>

namespace platform {

class LogindLocks {
public:
    enum class Lock { PowerKeys, ShutdownDelay };

    LogindLocks();
    ~LogindLocks();
    LogindLocks(const LogindLocks&) = delete;
    LogindLocks& operator=(const LogindLocks&) = delete;

    // Opens the system bus and listens for PrepareForShutdown. nullopt when
    // logind runs; otherwise why it cannot be reached.
    [[nodiscard]] std::optional<std::string> connect();
    bool connected() const;

    // Takes or releases one lock; nullopt when done, otherwise logind's refusal.
    [[nodiscard]] std::optional<std::string> hold(Lock lock, bool held, const std::string& who, const std::string& why);
    bool holds(Lock lock) const;

    // Handles what the bus brought, without waiting: true when a shutdown
    // was announced since the last call.
    bool takeShutdownAnnouncement();

    // The descriptor that becomes readable when the bus has something; -1 when not connected.
    int descriptor() const;

private:
    struct Bus;
    std::unique_ptr<Bus> bus_;
};

} // namespace platform
