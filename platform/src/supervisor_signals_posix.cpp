#include "platform/supervisor_signals.h"

#include "platform/system_error_log.h"

#include <cerrno>
#include <csignal>
#include <pthread.h>

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
}

SupervisorSignals::~SupervisorSignals()
{
    if (int failed = ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); failed != 0)
        logSystemError("pthread_sigmask", failed);
    if (::sigaction(SIGCHLD, &previousChild_, nullptr) != 0)
        logSystemError("sigaction(SIGCHLD)", errno);
}

SupervisorSignals::Wake SupervisorSignals::wait(std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return Wake::TimedOut;
        timespec ts{};
        ts.tv_sec = static_cast<time_t>(left.count() / 1000000000);
        ts.tv_nsec = static_cast<long>(left.count() % 1000000000);
        int got = ::sigtimedwait(&handled(), nullptr, &ts);
        if (got == SIGCHLD)
            return Wake::ChildEnded;
        if (got > 0)
            return Wake::StopRequested;
        if (errno == EAGAIN)
            return Wake::TimedOut;
        // EINTR: some other signal; keep waiting.
    }
}

} // namespace platform
