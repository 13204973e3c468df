// Repeated addition of one value in double arithmetic, without doing every step.
//
// Between two powers of two all doubles are multiples of one spacing u, and a sum
// that stays in that range is rounded to a multiple of u. Adding p there always
// moves by the same multiple of u: round(p / u), or on an exact half the multiple
// that makes the result even, which after the first such step is the same every
// time. So the steps inside one range are done at once with integer arithmetic,
// and only the step that leaves the range is done as a real addition.

#include "store/rate_table.h"

#include <algorithm>
#include <cmath>

namespace store {

namespace {

struct Range {
    double lower; // sums at or above it are multiples of ulp (0 where the spacing never changes below)
    double upper; // sums below it are multiples of ulp (inf for the top range)
    double ulp;
    std::uint64_t lowerUlps; // lower / ulp
    std::uint64_t upperUlps; // upper / ulp, also for the top range
};

// The range of doubles around the magnitude m > 0.
Range rangeAround(double magnitude)
{
    int exponent = 0;
    std::frexp(magnitude, &exponent); // magnitude in [2^(exponent-1), 2^exponent)
    int ulpExponent = std::max(exponent - 53, -1074);
    Range range;
    range.ulp = std::ldexp(1.0, ulpExponent);
    range.upper = std::ldexp(1.0, exponent); // inf at the top range: every sum stays below it
    range.lower = ulpExponent > -1074 ? std::ldexp(1.0, exponent - 1) : 0.0;
    range.upperUlps = std::uint64_t{1} << (exponent - ulpExponent);
    range.lowerUlps = ulpExponent > -1074 ? range.upperUlps / 2 : 0;
    return range;
}

// The fixed number of ulps each step moves by, given the first step's outcome.
// `tie` is set when the addend is an odd number of half ulps.
std::uint64_t stepInUlps(double addend, double ulp, bool& tie)
{
    double inUlps = addend / ulp;
    double whole = std::floor(inUlps);
    double fraction = inUlps - whole;
    auto step = static_cast<std::uint64_t>(whole);
    tie = fraction == 0.5;
    if (tie)
        return step % 2 == 0 ? step : step + 1; // keeps an even result even
    return fraction > 0.5 ? step + 1 : step;
}

} // namespace

double addRepeatedly(double total, double addend, std::uint64_t count)
{
    if (count == 0)
        return total;
    if (!std::isfinite(total) || !std::isfinite(addend) || addend == 0.0)
        return total + addend; // one step already gives what every further step keeps
    if (addend < 0.0) {
        // Rounding to nearest is symmetric; an exact zero sum is +0 either way.
        double mirrored = -addRepeatedly(-total, -addend, count);
        return mirrored == 0.0 ? 0.0 : mirrored;
    }

    while (count > 0) {
        if (!std::isfinite(total))
            return total;
        if (total == 0.0) {
            total = addend;
            --count;
            continue;
        }
        const double next = total + addend;
        const Range range = rangeAround(std::fabs(total));
        const bool growing = total > 0.0;
        // Whether a sum is still inside the range of `total` on the side it moves to.
        auto inside = [&](double sum) { return growing ? sum < range.upper : -sum > range.lower; };
        if (!inside(next)) {
            total = next;
            --count;
            continue;
        }
        bool tie = false;
        std::uint64_t step = stepInUlps(addend, range.ulp, tie);
        if (tie) {
            // The first step picks the even neighbour; from there on the step is fixed.
            total = next;
            --count;
            if (count == 0 || !inside(total + addend))
                continue;
        }
        if (step == 0)
            return total; // the addend is lost in rounding: nothing changes any more
        const auto here = static_cast<std::uint64_t>(std::fabs(total) / range.ulp);
        std::uint64_t room = 0; // steps whose results stay strictly inside the range
        if (growing)
            room = (range.upperUlps - 1 - here) / step;
        else
            room = (here - range.lowerUlps - 1) / step;
        const std::uint64_t steps = std::min(count, room);
        const std::uint64_t after = growing ? here + steps * step : here - steps * step;
        total = std::copysign(static_cast<double>(after) * range.ulp, total);
        count -= steps;
    }
    return total;
}

} // namespace store
