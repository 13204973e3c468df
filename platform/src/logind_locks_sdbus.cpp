#include "platform/logind_locks.h"
#include "platform/system_error_log.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr const char* kService = "org.freedesktop.login1";
constexpr const char* kPath = "/org/freedesktop/login1";
constexpr const char* kManager = "org.freedesktop.login1.Manager";

const char* whatOf(LogindLocks::Lock lock)
{
    return lock == LogindLocks::Lock::PowerKeys ? "handle-power-key:handle-suspend-key:handle-hibernate-key"
                                                : "shutdown";
}

const char* modeOf(LogindLocks::Lock lock) { return lock == LogindLocks::Lock::PowerKeys ? "block" : "delay"; }

// Closes a lock's descriptor on release.
class LockHandle {
public:
    LockHandle() = default;
    ~LockHandle() { release(); }
    LockHandle(const LockHandle&) = delete;
    LockHandle& operator=(const LockHandle&) = delete;
    void take(int fd)
    {
        release();
        fd_ = fd;
    }
    void release()
    {
        // Closing the descriptor is what releases the lock.
        if (fd_ >= 0)
            closeDescriptor(fd_, "logind lock");
        fd_ = -1;
    }
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace

struct LogindLocks::Bus {
    sd_bus* bus = nullptr;
    sd_bus_slot* shutdownMatch = nullptr;
    bool shutdownAnnounced = false;
    LockHandle powerKeys;
    LockHandle shutdownDelay;

    ~Bus()
    {
        powerKeys.release();
        shutdownDelay.release();
        sd_bus_slot_unref(shutdownMatch);
        sd_bus_flush_close_unref(bus);
    }
    LockHandle& handle(Lock lock) { return lock == Lock::PowerKeys ? powerKeys : shutdownDelay; }

    static int onPrepareForShutdown(sd_bus_message* message, void* self, sd_bus_error*)
    {
        int starting = 0;
        if (sd_bus_message_read(message, "b", &starting) >= 0 && starting)
            static_cast<Bus*>(self)->shutdownAnnounced = true;
        return 0;
    }
};

LogindLocks::LogindLocks() = default;
LogindLocks::~LogindLocks() = default;

std::optional<std::string> LogindLocks::connect()
{
    if (bus_)
        return std::nullopt;
    // logind keeps this folder while it runs; without it there is nobody to ask.
    if (::access("/run/systemd/seats", F_OK) != 0)
        return std::string("no /run/systemd/seats");
    auto bus = std::make_unique<Bus>();
    int r = sd_bus_open_system(&bus->bus);
    if (r < 0)
        return std::string("no system bus: ") + std::strerror(-r);
    r = sd_bus_match_signal(bus->bus, &bus->shutdownMatch, kService, kPath, kManager, "PrepareForShutdown",
                            &Bus::onPrepareForShutdown, bus.get());
    if (r < 0)
        return std::string("cannot listen on the system bus: ") + std::strerror(-r);
    // Ask logind once, so that a bus without it counts as no logind.
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    r = sd_bus_get_property(bus->bus, kService, kPath, kManager, "InhibitDelayMaxUSec", &error, &reply, "t");
    std::optional<std::string> problem;
    if (r < 0)
        problem = std::string("logind does not answer: ") + (error.message ? error.message : std::strerror(-r));
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    if (problem)
        return problem;
    bus_ = std::move(bus);
    return std::nullopt;
}

bool LogindLocks::connected() const { return bus_ != nullptr; }

std::optional<std::string> LogindLocks::hold(Lock lock, bool held, const std::string& who, const std::string& why)
{
    if (!bus_)
        return std::string("not connected to logind");
    LockHandle& handle = bus_->handle(lock);
    if (!held) {
        handle.release();
        return std::nullopt;
    }
    if (handle.held())
        return std::nullopt;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int r = sd_bus_call_method(bus_->bus, kService, kPath, kManager, "Inhibit", &error, &reply, "ssss", whatOf(lock),
                               who.c_str(), why.c_str(), modeOf(lock));
    std::optional<std::string> problem;
    if (r < 0) {
        problem = error.message ? error.message : std::strerror(-r);
    } else {
        int fd = -1;
        r = sd_bus_message_read(reply, "h", &fd);
        // The message owns its descriptor: keep a copy of our own.
        int own = r >= 0 ? ::fcntl(fd, F_DUPFD_CLOEXEC, 3) : -1;
        if (own < 0)
            problem = std::string("no lock descriptor: ") + std::strerror(r < 0 ? -r : errno);
        else
            handle.take(own);
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return problem;
}

bool LogindLocks::holds(Lock lock) const { return bus_ && bus_->handle(lock).held(); }

bool LogindLocks::takeShutdownAnnouncement()
{
    if (!bus_)
        return false;
    while (sd_bus_process(bus_->bus, nullptr) > 0) {
    }
    bool announced = bus_->shutdownAnnounced;
    bus_->shutdownAnnounced = false;
    return announced;
}

int LogindLocks::descriptor() const { return bus_ ? sd_bus_get_fd(bus_->bus) : -1; }

} // namespace platform
