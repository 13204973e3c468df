#include "client/restart_policy.h"

#include <algorithm>

namespace client {

RestartPolicy::Decision RestartPolicy::afterEnd(const platform::ExitStatus& status, std::chrono::milliseconds lifetime)
{
    if (!status.signalled && (status.code == 0 || status.code == kExitBadArguments))
        return {};
    if (lifetime >= kSteadyRun)
        failures_ = 0;
    ++failures_;
    if (failures_ == 1)
        return {true, std::chrono::milliseconds(0)};
    auto pause = kFirstPause;
    for (int i = 2; i < failures_ && pause < kLongestPause; ++i)
        pause *= 2;
    return {true, std::min(pause, kLongestPause)};
}

} // namespace client
