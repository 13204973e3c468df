#pragma once
// Monotonic time for the station's pauses, read through an interface so that
// tests can move time on without waiting. Wall-clock changes never shorten or
// lengthen a pause.
//
// Thread contract: read on the window thread; systemSteadyClock() from any thread.

#include <chrono>

namespace client {

class SteadyClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~SteadyClock() = default;
    virtual TimePoint now() const = 0;
};

// The machine's steady clock; one instance for the whole program.
const SteadyClock& systemSteadyClock();

} // namespace client
