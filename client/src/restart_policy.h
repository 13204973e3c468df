#pragma once
// When the station supervisor starts `tamblo` again after it ended. A clean
// end (exit code 0: "QUIT" or "SHUTDOWN" from the console, --help) and a
// refusal of its arguments (exit code 2) are final; anything else, a kill or
// a crash, brings it back: at once the first time, then after pauses that
// double while it keeps ending soon after each start, so that a crash loop
// waits instead of spinning. A run that lasted a while forgives the past
// failures. Plain value logic, no system calls; one owner thread.

#include "platform/child_process.h"

#include <chrono>

namespace client {

// The exit code of tamblo when its arguments or folder are refused.
inline constexpr int kExitBadArguments = 2;

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
