#pragma once
// DeliveryStatistics: the window thread's event deliveries over one stretch of
// the benchmark, sorted by what they were: the console's event poll and money
// tick (each the engine call and the window's refresh after it), painting,
// layout, the stall probe, and anything else. Keeps count, total and longest
// per kind, and the longest delivery of all with what it was. For the two
// timers the refresh is told apart from the engine call by the moment the
// station table model first reported a changed row inside the delivery.

#include "timed_application.h"

#include <array>
#include <optional>
#include <string>

namespace console::ui::bench {

enum class DeliveryKind { EventPoll, MoneyTick, Painting, Layout, Probe, Other };
inline constexpr int kDeliveryKinds = 6;

class DeliveryStatistics {
public:
    using Duration = SteadyClock::duration;

    struct Longest {
        std::string what;
        Duration length{};
        Duration at{};                  // from the start of the stretch
        std::optional<Duration> engine; // the engine call, when the refresh could be told apart
        std::optional<Duration> refresh;
    };
    struct KindFigures {
        int count = 0;
        Duration total{};
        Longest longest;
    };

    static DeliveryKind kindOf(const Delivery& delivery);
    static std::string describe(const Delivery& delivery);

    void reset(SteadyClock::time_point stretchStart);
    // `refreshFrom`: when the window's refresh began inside the delivery, if known.
    void add(const Delivery& delivery, std::optional<SteadyClock::time_point> refreshFrom);

    const KindFigures& kind(DeliveryKind kind) const { return kinds_[static_cast<std::size_t>(kind)]; }
    const Longest& longest() const { return longest_; }

private:
    Longest describeLongest(const Delivery& delivery, std::optional<SteadyClock::time_point> refreshFrom) const;

    SteadyClock::time_point stretchStart_;
    std::array<KindFigures, kDeliveryKinds> kinds_{};
    Longest longest_;
};

} // namespace console::ui::bench
