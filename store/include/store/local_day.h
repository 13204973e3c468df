#pragma once
// A calendar day in local time as the range of instants that fall on it, so that
// many times can be tested against it without formatting each one.
// A plain value type.

#include <ctime>
#include <optional>
#include <string>

namespace store {

class LocalDay {
public:
    static LocalDay containing(std::time_t t);
    // nullopt for a date that does not exist.
    static std::optional<LocalDay> fromDate(int year, int month, int day);
    // "YYYY-MM-DD"; nullopt for anything else.
    static std::optional<LocalDay> parse(const std::string& isoDate);

    bool contains(std::time_t t) const { return t >= start_ && t < end_; }
    std::time_t start() const { return start_; }
    std::time_t end() const { return end_; }
    std::string key() const; // "%Y%m%d"

    friend bool operator==(const LocalDay& a, const LocalDay& b) { return a.start_ == b.start_; }

private:
    LocalDay(int year, int month, int day);
    int year_, month_, day_;
    std::time_t start_, end_;
};

} // namespace store
