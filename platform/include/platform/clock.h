#pragma once
// The engines read calendar time through a Clock so that tests can move time on
// without waiting.

#include <ctime>
#include <atomic>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::time_t now() const = 0;
};

class SystemClock final : public Clock {
public:
    std::time_t now() const override { return std::time(nullptr); }
};

// A clock that only moves when told to; safe to read from other threads.
class ManualClock final : public Clock {
public:
    explicit ManualClock(std::time_t start) : now_(start) {}
    std::time_t now() const override { return now_.load(); }
    void set(std::time_t t) { now_ = t; }
    void advance(std::time_t seconds) { now_ += seconds; }

private:
    std::atomic<std::time_t> now_;
};

} // namespace platform
