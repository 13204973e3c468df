#pragma once
// Slows down guessing the setup code: the first wrong tries are free, then
// every wrong try starts a pause, twice as long as the one before, during
// which typing is ignored. The right code, typed outside a pause, starts the
// count again. Window thread only.

#include "client/steady_clock.h"

#include <chrono>
#include <optional>

namespace client {

class SetupCodeGuard {
public:
    static constexpr int kFreeTries = 4; // the 5th wrong try starts the first pause
    static constexpr std::chrono::seconds kFirstPause{30};
    static constexpr std::chrono::seconds kLongestPause{3600};

    explicit SetupCodeGuard(const SteadyClock& clock) : clock_(clock) {}

    // Typing is ignored now.
    bool isPaused() const;
    // Returns the pause this wrong try started (zero while tries are free).
    std::chrono::seconds recordWrongTry();
    void recordMatch();
    int wrongTries() const { return wrongTries_; }

private:
    const SteadyClock& clock_;
    int wrongTries_ = 0;
    std::optional<SteadyClock::TimePoint> pausedUntil_;
};

} // namespace client
