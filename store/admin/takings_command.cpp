#include "takings_command.h"

#include "csv.h"

#include "platform/clock.h"
#include "platform/local_time.h"
#include "store/local_day.h"
#include "store/text_number.h"

#include <cstdio>
#include <ostream>

namespace store::admin {

namespace fs = std::filesystem;

namespace {

std::string hoursAndMinutes(std::chrono::seconds time)
{
    const auto minutes = time.count() / 60;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(minutes / 60),
                  static_cast<long long>(minutes % 60));
    return text;
}

// How many stations were in use on average in an hour of the report's days.
std::string busyText(const store::ReportRow& row, int days)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f",
                  days > 0 ? static_cast<double>(row.sessionTime.count()) / (days * 3600.0) : 0.0);
    return text;
}

const char* groupHeading(store::ReportGrouping grouping)
{
    switch (grouping) {
    case store::ReportGrouping::Day:
        return "Day";
    case store::ReportGrouping::Week:
        return "Week";
    case store::ReportGrouping::Month:
        return "Month";
    case store::ReportGrouping::Station:
        return "Station";
    case store::ReportGrouping::Item:
        return "Sold";
    case store::ReportGrouping::Hour:
        return "Hour";
    }
    return "";
}

} // namespace

std::optional<ReportRequest> parseReportRequest(const std::vector<std::string>& words)
{
    ReportRequest request;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--csv") {
            request.csv = true;
            continue;
        }
        if (i + 1 >= words.size())
            return std::nullopt;
        const std::string& value = words[++i];
        if (word == "--by") {
            auto grouping = store::parseReportGrouping(value);
            if (!grouping)
                return std::nullopt;
            request.grouping = *grouping;
        } else if ((word == "--from" || word == "--to") && store::LocalDay::parse(value)) {
            (word == "--from" ? request.from : request.to) = value;
        } else {
            return std::nullopt;
        }
    }
    return request;
}

std::string formatReport(const store::TakingsReport& report, const std::string& from, const std::string& to, bool csv)
{
    const bool byHour = report.grouping == store::ReportGrouping::Hour;
    std::string text;
    if (csv) {
        std::vector<std::string> head{groupHeading(report.grouping), "Bills", "Sessions", "Session minutes", "Takings"};
        if (byHour)
            head.push_back("Stations busy");
        text += csvRecord(head);
    } else {
        text += "Takings by " + std::string(groupHeading(report.grouping)) + ", " + from + " to " + to + " (" +
                std::to_string(report.days) + (report.days == 1 ? " day)\n" : " days)\n");
        char line[400];
        std::snprintf(line, sizeof line, "%-24s %7s %9s %13s %12s%s\n", groupHeading(report.grouping), "Bills",
                      "Sessions", "Session time", "Takings", byHour ? "  Stations busy" : "");
        text += line;
    }
    auto rows = report.rows;
    rows.push_back(report.total);
    for (const store::ReportRow& row : rows) {
        const bool total = &row == &rows.back();
        if (csv) {
            std::vector<std::string> fields{row.group, std::to_string(row.bills), std::to_string(row.sessions),
                                            std::to_string(row.sessionTime.count() / 60),
                                            store::formatMoney(row.takings)};
            if (byHour)
                fields.push_back(total ? "" : busyText(row, report.days));
            text += csvRecord(fields);
        } else {
            char line[400];
            std::snprintf(line, sizeof line, "%-24.24s %7d %9d %13s %12s", row.group.c_str(), row.bills, row.sessions,
                          hoursAndMinutes(row.sessionTime).c_str(), store::formatMoney(row.takings).c_str());
            text += line;
            if (byHour && !total) {
                std::snprintf(line, sizeof line, "  %13s", busyText(row, report.days).c_str());
                text += line;
            }
            text += "\n";
        }
    }
    return text;
}

int showReport(const fs::path& dir, const ReportRequest& request, Streams io)
{
    const std::time_t now = platform::SystemClock().now();
    const std::string today = platform::formatLocalTime("%Y-%m-%d", now);
    const std::string from = request.from.value_or(platform::formatLocalTime("%Y-%m-01", now));
    const std::string to = request.to.value_or(today);
    const auto first = store::LocalDay::parse(from);
    const auto last = store::LocalDay::parse(to);
    if (!first || !last || last->start() < first->start()) {
        io.err << "brisko-admin: the report's days run from " << from << " to " << to << ": nothing between\n";
        return 2;
    }
    int days = 0;
    for (auto day = *first; day.start() <= last->start(); day = store::LocalDay::containing(day.end()))
        ++days;

    store::TakingsTally tally(request.grouping, first->start(), last->end(), days);
    // Half a report would be taken for the whole takings: none is printed then.
    if (!forEachJournalLine(
            dir,
            [&tally](int bill, std::time_t chargedAt, const store::BillLine& line) {
                tally.add(bill, chargedAt, line);
            },
            io))
        return 1;
    io.out << formatReport(tally.report(), from, to, request.csv);
    return 0;
}

} // namespace store::admin
