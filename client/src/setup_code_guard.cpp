#include "client/setup_code_guard.h"

#include <algorithm>

namespace client {

bool SetupCodeGuard::isPaused() const { return pausedUntil_ && clock_.now() < *pausedUntil_; }

std::chrono::seconds SetupCodeGuard::recordWrongTry()
{
    ++wrongTries_;
    if (wrongTries_ <= kFreeTries)
        return std::chrono::seconds{0};
    auto pause = kFirstPause;
    for (int i = kFreeTries + 1; i < wrongTries_ && pause < kLongestPause; ++i)
        pause *= 2;
    pause = std::min(pause, kLongestPause);
    pausedUntil_ = clock_.now() + pause;
    return pause;
}

void SetupCodeGuard::recordMatch()
{
    wrongTries_ = 0;
    pausedUntil_.reset();
}

} // namespace client
