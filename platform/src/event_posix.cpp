#include "platform/event.h"
#include "platform/tcp_socket.h"
#include "poll_posix.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace platform {

ManualResetEvent::ManualResetEvent() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

ManualResetEvent::~ManualResetEvent()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void ManualResetEvent::set()
{
    std::uint64_t one = 1;
    // The counter only has to be non-zero; a full counter is still "set".
    [[maybe_unused]] auto n = ::write(fd_, &one, sizeof one);
}

void ManualResetEvent::reset()
{
    std::uint64_t value;
    [[maybe_unused]] auto n = ::read(fd_, &value, sizeof value);
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
