#include "client/steady_clock.h"

namespace client {

namespace {

class SystemSteadyClock final : public SteadyClock {
public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
};

} // namespace

const SteadyClock& systemSteadyClock()
{
    static const SystemSteadyClock clock;
    return clock;
}

} // namespace client
