#include "platform/supervisor_signals.h"

#include "platform/system_error_log.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <poll.h>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace platform {

const sigset_t& SupervisorSignals::handled()
{
    static const sigset_t set = [] {
        sigset_t s;
        sigemptyset(&s);
        for (int n : {SIGCHLD, SIGTERM, SIGINT, SIGHUP})
            sigaddset(&s, n);
        return s;
    }();
    return set;
}

SupervisorSignals::SupervisorSignals()
{
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    if (::sigaction(SIGCHLD, &dfl, &previousChild_) != 0)
        logSystemError("sigaction(SIGCHLD)", errno);
    if (int failed = ::pthread_sigmask(SIG_BLOCK, &handled(), &previous_); failed != 0)
        logSystemError("pthread_sigmask", failed);
    signalFd_ = ::signalfd(-1, &handled(), SFD_NONBLOCK | SFD_CLOEXEC);
    if (signalFd_ < 0)
        logSystemError("signalfd", errno);
}

SupervisorSignals::~SupervisorSignals()
{
    if (signalFd_ >= 0)
        ::close(signalFd_);
    if (int failed = ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); failed != 0)
        logSystemError("pthread_sigmask", failed);
    if (::sigaction(SIGCHLD, &previousChild_, nullptr) != 0)
        logSystemError("sigaction(SIGCHLD)", errno);
}

SupervisorSignals::Wake SupervisorSignals::wait(std::chrono::milliseconds timeout, int watched)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return Wake::TimedOut;
        pollfd fds[2] = {{signalFd_, POLLIN, 0}, {watched, POLLIN, 0}};
        const int count =
            ::poll(fds, watched >= 0 ? 2 : 1, static_cast<int>(std::min<long long>(left.count(), 1 << 30)));
        if (count < 0 && errno != EINTR) {
            logSystemError("poll", errno);
            return Wake::TimedOut;
        }
        if (count <= 0)
            continue;
        if (fds[0].revents & POLLIN) {
            signalfd_siginfo info{};
            if (::read(signalFd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
                return info.ssi_signo == SIGCHLD ? Wake::ChildEnded : Wake::StopRequested;
        }
        if (watched >= 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)))
            return Wake::Readable;
    }
}

} // namespace platform
