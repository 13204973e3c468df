#pragma once
// brisko-admin report: the takings of a stretch of days, grouped as the owner
// asks (by day, week, month, station, what was sold, or hour of the day), as a
// table or CSV. Reads the bills journal without locking it.

#include "admin_commands.h"

#include "store/takings_report.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace store::admin {

struct ReportRequest {
    store::ReportGrouping grouping = store::ReportGrouping::Day;
    std::optional<std::string> from, to; // "YYYY-MM-DD"; the first of this month and today when absent
    bool csv = false;
};

// The words after "report"; nullopt when they are not a report's options.
std::optional<ReportRequest> parseReportRequest(const std::vector<std::string>& words);

int showReport(const std::filesystem::path& dir, const ReportRequest& request, Streams io);

// The report as brisko-admin prints it.
std::string formatReport(const store::TakingsReport& report, const std::string& from, const std::string& to, bool csv);

} // namespace store::admin
