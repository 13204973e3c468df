#include "console/money_text.h"

#include "platform/local_time.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace console {

namespace {

std::string format(const char* pattern, double amount)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, amount);
    return buffer;
}

struct SpanParts {
    long long hours;
    long long minutes;
    long long seconds;
};

SpanParts spanParts(std::int64_t seconds)
{
    if (seconds < 0)
        seconds = 0;
    return {(seconds / 3600) % 24, (seconds / 60) % 60, seconds % 60};
}

} // namespace

std::string accessCostText(double amount) { return format("%#-1.2f", amount); }
std::string moneyText(double amount) { return format("%-1.2f", amount); }
std::string priceText(double amount) { return format("%.2f", amount); }

double amountOf(std::string_view text)
{
    // strtod needs a terminated string, and only the leading number counts.
    std::string copy(text.substr(0, 64));
    char* end = nullptr;
    double value = std::strtod(copy.c_str(), &end);
    if (end == copy.c_str() || !std::isfinite(value))
        return 0.0;
    return value;
}

double billTotal(const std::vector<store::BillItem>& items)
{
    double total = 0.0;
    for (const store::BillItem& item : items)
        total += amountOf(item.priceText);
    return total;
}

std::string spanClockText(std::int64_t seconds)
{
    auto [h, m, s] = spanParts(seconds);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld", h, m, s);
    return buffer;
}

std::string spanMinuteText(std::int64_t seconds) { return spanClockText(seconds).substr(0, 5); }

std::string spanBillText(std::int64_t seconds)
{
    auto [h, m, s] = spanParts(seconds);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%02lld hrs %02lld mins %02lld secs", h, m, s);
    return buffer;
}

std::string startClockText(std::time_t t) { return platform::formatLocalTime("%H:%M:%S", t); }

} // namespace console
