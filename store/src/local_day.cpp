#include "store/local_day.h"

#include "platform/local_time.h"

#include <chrono>
#include <cstdio>
#include <initializer_list>

namespace store {

namespace {

int dateNumber(const std::tm& tm) { return (tm.tm_year + 1900) * 10000 + (tm.tm_mon + 1) * 100 + tm.tm_mday; }

std::tm noonOf(int year, int month, int day)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day; // may run past the month end: mktime carries it over
    tm.tm_hour = 12;
    return tm;
}

// The first instant whose local date is the given date or later. Found by bisection
// from the date's noon, so days that do not start at 00:00 (clock changes at
// midnight) are handled too.
std::time_t firstInstantOf(int year, int month, int day)
{
    const int target = year * 10000 + month * 100 + day;
    std::time_t noon = platform::fromLocalTime(noonOf(year, month, day)).value_or(0);
    std::time_t before = noon - std::time_t{36} * 3600; // on an earlier date
    std::time_t after = noon;                           // on the date
    while (after - before > 1) {
        std::time_t middle = before + (after - before) / 2;
        if (dateNumber(platform::toLocalTime(middle)) >= target)
            after = middle;
        else
            before = middle;
    }
    return after;
}

} // namespace

LocalDay::LocalDay(int year, int month, int day) : year_(year), month_(month), day_(day)
{
    start_ = firstInstantOf(year, month, day);
    std::tm next = noonOf(year, month, day + 1);
    auto normalised = platform::fromLocalTime(next);
    std::tm nextDay = platform::toLocalTime(normalised.value_or(start_ + std::time_t{36} * 3600));
    end_ = firstInstantOf(nextDay.tm_year + 1900, nextDay.tm_mon + 1, nextDay.tm_mday);
}

LocalDay LocalDay::containing(std::time_t t)
{
    std::tm tm = platform::toLocalTime(t);
    return LocalDay(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

std::optional<LocalDay> LocalDay::fromDate(int year, int month, int day)
{
    using namespace std::chrono;
    if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        !year_month_day(std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                        std::chrono::day(static_cast<unsigned>(day)))
             .ok())
        return std::nullopt;
    return LocalDay(year, month, day);
}

std::optional<LocalDay> LocalDay::parse(const std::string& isoDate)
{
    if (isoDate.size() != 10 || isoDate[4] != '-' || isoDate[7] != '-')
        return std::nullopt;
    for (std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u})
        if (isoDate[i] < '0' || isoDate[i] > '9')
            return std::nullopt;
    auto number = [&](std::size_t from, std::size_t count) { return std::stoi(isoDate.substr(from, count)); };
    return fromDate(number(0, 4), number(5, 2), number(8, 2));
}

std::string LocalDay::key() const
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", year_, month_, day_);
    return buffer;
}

} // namespace store
