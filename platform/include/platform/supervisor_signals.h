#pragma once
// The signals a supervising parent sleeps on, taken one by one instead of
// running handlers. Single-threaded use: the program's only thread.

#include <chrono>
#include <csignal>

namespace platform {

// Blocks SIGCHLD, SIGTERM, SIGINT and SIGHUP in the calling (only) thread for
// its lifetime, so that they are taken one by one by wait() instead of
// running handlers; the previous mask comes back on destruction. SIGCHLD is
// set to its default disposition, so that ended children are never reaped
// behind the supervisor's back.
class SupervisorSignals {
public:
    enum class Wake { ChildEnded, StopRequested, TimedOut, Readable };

    SupervisorSignals();
    ~SupervisorSignals();
    SupervisorSignals(const SupervisorSignals&) = delete;
    SupervisorSignals& operator=(const SupervisorSignals&) = delete;

    // Sleeps until one of the signals arrives or the time is up, or, when
    // `watched` is a descriptor, until it has something to read.
    Wake wait(std::chrono::milliseconds timeout, int watched = -1);

    // The signals taken by wait(): SIGCHLD, SIGTERM, SIGINT and SIGHUP.
    static const sigset_t& handled();

private:
    sigset_t previous_{};
    int signalFd_ = -1; // the blocked signals, read one by one
    struct sigaction previousChild_ {};
};

} // namespace platform
