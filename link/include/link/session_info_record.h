#pragma once
// The figures the console hands to a station thread before it posts
// CMD_SESSION_INFO. Each field keeps at most the length of its fixed record
// slot minus the terminator: duration 5, amounts 9, session stamp 14.

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

namespace stationlink {

struct SessionInfoRecord {
    static constexpr std::size_t kDurationSize = 6;
    static constexpr std::size_t kAmountSize = 10;
    static constexpr std::size_t kStampSize = 15;

    std::string duration;   // first five characters of the Duration text ("01:05")
    std::string accessCost; // as the console shows it ("2.50")
    std::string extras;
    std::string total;
    std::string stamp; // session start, "%Y%m%d%H%M%S" local time

    // Builds the record from the row's texts and the session start, cutting
    // every text to its slot.
    static SessionInfoRecord fromFigures(std::string_view durationText, std::string_view accessCost,
                                         std::string_view extras, std::string_view total, std::time_t start);

    friend bool operator==(const SessionInfoRecord&, const SessionInfoRecord&) = default;
};

} // namespace stationlink
