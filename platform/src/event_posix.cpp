#include "platform/event.h"
#include "platform/tcp_socket.h"
#include "poll_posix.h"
#include "platform/system_error_log.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace platform {

ManualResetEvent::ManualResetEvent() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    // Without a descriptor the event is never set and every wait runs to its
    // time-out: slow, but nothing crashes. Said once, here.
    if (fd_ < 0)
        logSystemError("eventfd", errno);
}

ManualResetEvent::~ManualResetEvent()
{
    if (fd_ >= 0)
        closeDescriptor(fd_, "eventfd");
}

void ManualResetEvent::set()
{
    if (fd_ < 0)
        return;
    std::uint64_t one = 1;
    // The counter only has to be non-zero; a full counter (EAGAIN) is still "set".
    if (::write(fd_, &one, sizeof one) < 0 && errno != EAGAIN)
        logSystemError("write(eventfd)", errno);
}

void ManualResetEvent::reset()
{
    if (fd_ < 0)
        return;
    std::uint64_t value;
    // EAGAIN: the counter was zero, the event already reset.
    if (::read(fd_, &value, sizeof value) < 0 && errno != EAGAIN)
        logSystemError("read(eventfd)", errno);
}

bool ManualResetEvent::isSet() const { return wait(std::chrono::milliseconds(0)); }

bool ManualResetEvent::wait(std::chrono::milliseconds timeout) const
{
    pollfd p{fd_, POLLIN, 0};
    return pollThroughSignals({&p, 1}, timeout) > 0;
}

bool waitAny(std::span<const ManualResetEvent* const> events, std::span<const TcpSocket* const> sockets,
             std::chrono::milliseconds timeout)
{
    std::vector<pollfd> fds;
    fds.reserve(events.size() + sockets.size());
    for (const auto* e : events)
        if (e)
            fds.push_back({e->nativeHandle(), POLLIN, 0});
    for (const auto* s : sockets)
        if (s && s->isValid())
            fds.push_back({s->nativeHandle(), POLLIN, 0});
    return pollThroughSignals(fds, timeout) > 0;
}

} // namespace platform
