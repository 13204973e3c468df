#pragma once
// poll() that carries on when a signal interrupts it. A negative timeout waits
// without end. Returns the number of ready descriptors, 0 on time-out, or -1
// with errno set.

#include <poll.h>

#include <cerrno>
#include <chrono>
#include <span>

namespace platform {

inline int pollThroughSignals(std::span<pollfd> fds, std::chrono::milliseconds timeout)
{
    const int ms = timeout.count() < 0 ? -1 : static_cast<int>(timeout.count());
    int n;
    do {
        n = ::poll(fds.data(), fds.size(), ms);
    } while (n < 0 && errno == EINTR);
    return n;
}

} // namespace platform
