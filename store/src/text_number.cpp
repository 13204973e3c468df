#include "store/text_number.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace store {

namespace {
std::string_view skipBlanksAndPlus(std::string_view text, bool& negative)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return text.substr(i);
}
} // namespace

double parseMoneyText(std::string_view text)
{
    bool negative = false;
    auto rest = skipBlanksAndPlus(text, negative);
    double value = 0.0;
    auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value, std::chars_format::general);
    if (end == rest.data())
        return 0.0;
    if (ec == std::errc::result_out_of_range || !std::isfinite(value))
        return 0.0; // an amount no till holds: count it as nothing
    return negative ? -value : value;
}

std::int32_t parseIntText(std::string_view text)
{
    bool negative = false;
    auto rest = skipBlanksAndPlus(text, negative);
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (end == rest.data() || ec != std::errc())
        return 0;
    if (negative)
        value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return 0;
    return static_cast<std::int32_t>(value);
}

std::string formatMoney(double value)
{
    char buffer[64];
    int n = std::snprintf(buffer, sizeof buffer, "%.2f", value);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof buffer) {
        std::string big(static_cast<std::size_t>(std::max(n, 0)) + 1, '\0');
        std::snprintf(big.data(), big.size(), "%.2f", value);
        big.pop_back();
        return big;
    }
    return std::string(buffer, static_cast<std::size_t>(n));
}

} // namespace store
