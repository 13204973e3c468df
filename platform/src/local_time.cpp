#include "platform/local_time.h"

namespace platform {

std::tm toLocalTime(std::time_t t)
{
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return tm;
}

std::optional<std::time_t> fromLocalTime(std::tm tm)
{
    tm.tm_isdst = -1;
    std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1))
        return std::nullopt;
    return t;
}

std::optional<std::time_t> localDateTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    return fromLocalTime(tm);
}

std::string formatTm(const char* format, const std::tm& tm)
{
    char buffer[128];
    std::size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
    return std::string(buffer, n);
}

std::string formatLocalTime(const char* format, std::time_t t) { return formatTm(format, toLocalTime(t)); }

} // namespace platform
