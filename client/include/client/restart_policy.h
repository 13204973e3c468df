#pragma once
// When the station supervisor starts `tamblo` again after it ended. An end
// the console ordered (exit code 0: "QUIT" or "SHUTDOWN", and --help) and a
// refusal of its arguments (exit code 2) are final; anything else, a kill, a
// SIGTERM or SIGHUP that tamblo ended on (exit code 3) or a crash, brings it
// back: at once the first time, then after pauses that
// double while it keeps ending soon after each start, so that a crash loop
// waits instead of spinning. A run that lasted a while forgives the past
// failures. Plain value logic, no system calls; one owner thread.

#include "platform/child_process.h"

#include <chrono>

namespace client {

// The exit code of tamblo when its arguments or folder are refused.
inline constexpr int kExitBadArguments = 2;
// The exit code of tamblo when it ended on a signal: nobody at the counter
// asked for it, so the supervisor starts it again.
inline constexpr int kExitNotOrdered = 3;

// The environment variable naming tamblo's end of the supervisor's notice
// pipe, and the notice it writes there when a customer's session has ended.
inline constexpr const char* kNoticeFdVariable = "TAMBLO_NOTICE_FD";
inline constexpr const char* kSessionEndedNotice = "SESSION ENDED";

class RestartPolicy {
public:
    // A run shorter than this counts as a failure in a row.
    static constexpr std::chrono::milliseconds kSteadyRun{10000};
    static constexpr std::chrono::milliseconds kFirstPause{500};
    static constexpr std::chrono::milliseconds kLongestPause{30000};

    struct Decision {
        bool restart = false;
        std::chrono::milliseconds pause{0}; // before the next start
    };

    // The worker ended with `status` after running for `lifetime`.
    Decision afterEnd(const platform::ExitStatus& status, std::chrono::milliseconds lifetime);
    // Quick failures in a row so far.
    int failuresInARow() const { return failures_; }

private:
    int failures_ = 0;
};

} // namespace client
