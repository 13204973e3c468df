#include "store/rate_table.h"

#include <algorithm>

namespace store {

double ComputeAccessCharge(const std::vector<RateBlock>& rows, std::int32_t seconds)
{
    // Boundaries are crossed a minute late; the first minute still pays the first block.
    std::int64_t remaining = seconds <= 60 ? seconds : std::int64_t{seconds} - 60;
    double total = 0.0;
    for (const auto& row : rows) {
        if (remaining <= 0)
            break;
        const std::int32_t count = row.blockCount;
        if (count != kRepeatBlock && count <= 0)
            continue;
        const std::int64_t duration = durationSeconds(row.blockDuration);
        if (duration == 0) {
            if (count == kRepeatBlock)
                return total + row.price; // it would repeat for ever without using time
            total = addRepeatedly(total, row.price, static_cast<std::uint64_t>(count));
            continue;
        }
        // Each block is paid when it starts, so the row charges until the time is used up.
        const std::int64_t untilUsedUp = (remaining + duration - 1) / duration;
        const std::int64_t blocks = count == kRepeatBlock ? untilUsedUp : std::min<std::int64_t>(count, untilUsedUp);
        total = addRepeatedly(total, row.price, static_cast<std::uint64_t>(blocks));
        remaining -= blocks * duration;
    }
    return total;
}

} // namespace store
