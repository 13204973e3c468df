#pragma once
// Local (wall-clock) time conversions used for everything shown and stored.
// No state: safe from any thread (the conversions are reentrant).

#include <ctime>
#include <optional>
#include <string>

namespace platform {

std::tm toLocalTime(std::time_t t);
// Local broken-down time to calendar time; nullopt when it does not exist.
std::optional<std::time_t> fromLocalTime(std::tm tm);
// A local date (month 1-12) and time of day to calendar time; nullopt when it does not exist.
std::optional<std::time_t> localDateTime(int year, int month, int day, int hour, int minute, int second = 0);
// strftime on local time.
std::string formatLocalTime(const char* format, std::time_t t);
// strftime on a broken-down time.
std::string formatTm(const char* format, const std::tm& tm);

} // namespace platform
