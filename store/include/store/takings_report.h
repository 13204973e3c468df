#pragma once
// The owner's books over a stretch of days: the takings of the bills journal
// grouped by day, week, month, station, what was sold, or hour of the day,
// with how many bills and how much session time each group holds, so that the
// owner sees what sells and when the cafe is busy. The tally is fed bill lines
// as the journal gives them; it reads no file itself.
//
// Thread contract: no shared state; one tally per thread.

#include "store/journal_format.h"

#include <chrono>
#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace store {

enum class ReportGrouping { Day, Week, Month, Station, Item, Hour };

// "day", "week", "month", "station", "item" or "hour"; nullopt for anything else.
std::optional<ReportGrouping> parseReportGrouping(std::string_view word);

// What a bill line sold: session time (its description is the session's
// length, "01 hrs 02 mins 00 secs"), printed pages ("Pages (3): report.pdf"),
// or a sale item.
struct SoldKind {
    enum class Kind { Session, Printing, Item } kind = Kind::Item;
    std::chrono::seconds sessionTime{0};
};
SoldKind soldKindOf(std::string_view description);

// The Item grouping's names for session time and printing.
inline constexpr const char* kSessionTimeGroup = "Session time";
inline constexpr const char* kPrintingGroup = "Printing";

struct ReportRow {
    std::string group; // "2024-06-14", "2024-W24", "2024-06", "3", "Coffee", "14:00"
    int bills = 0;     // bills with a line in the group
    int sessions = 0;  // session lines
    std::chrono::seconds sessionTime{0};
    double takings = 0.0;
};

struct TakingsReport {
    ReportGrouping grouping = ReportGrouping::Day;
    // Dates, weeks, months, hours and stations ascending; what was sold by
    // takings, the most first.
    std::vector<ReportRow> rows;
    ReportRow total; // group "Total"
    int days = 0;    // the days the report covers
};

class TakingsTally {
public:
    // Bills charged in [from, to) count; `days` is how many days that is.
    TakingsTally(ReportGrouping grouping, std::time_t from, std::time_t to, int days);

    // One line of the bill numbered `bill` (the journal's order), charged at `chargedAt`.
    void add(int bill, std::time_t chargedAt, const BillLine& line);
    TakingsReport report() const;

private:
    struct Group {
        ReportRow row;
        int lastBill = -1;
    };
    void count(Group& group, int bill, const BillLine& line, const SoldKind& sold, bool withTime);
    std::string groupOf(std::time_t chargedAt, const BillLine& line, const SoldKind& sold) const;
    Group& groupNamed(const std::string& name); // made when new

    ReportGrouping grouping_;
    std::time_t from_, to_;
    int days_;
    std::map<std::string, Group> groups_;
    Group total_;
};

} // namespace store
