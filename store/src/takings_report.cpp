#include "store/takings_report.h"

#include "platform/local_time.h"
#include "store/text_number.h"

#include <algorithm>
#include <cstdio>

namespace store {

std::optional<ReportGrouping> parseReportGrouping(std::string_view word)
{
    static constexpr std::pair<std::string_view, ReportGrouping> kWords[] = {
        {"day", ReportGrouping::Day},         {"week", ReportGrouping::Week}, {"month", ReportGrouping::Month},
        {"station", ReportGrouping::Station}, {"item", ReportGrouping::Item}, {"hour", ReportGrouping::Hour},
    };
    for (const auto& [text, grouping] : kWords)
        if (word == text)
            return grouping;
    return std::nullopt;
}

SoldKind soldKindOf(std::string_view description)
{
    if (description.starts_with("Pages ("))
        return {SoldKind::Kind::Printing, {}};
    // The console writes a session's line as "%02lld hrs %02lld mins %02lld secs".
    long long h = 0, m = 0, s = 0;
    int used = 0;
    const std::string text(description);
    if (std::sscanf(text.c_str(), "%lld hrs %lld mins %lld secs%n", &h, &m, &s, &used) == 3 &&
        used == static_cast<int>(text.size()) && h >= 0 && m >= 0 && m < 60 && s >= 0 && s < 60)
        return {SoldKind::Kind::Session, std::chrono::seconds(h * 3600 + m * 60 + s)};
    return {SoldKind::Kind::Item, {}};
}

TakingsTally::TakingsTally(ReportGrouping grouping, std::time_t from, std::time_t to, int days)
    : grouping_(grouping), from_(from), to_(to), days_(days)
{
    total_.row.group = "Total";
}

std::string TakingsTally::groupOf(std::time_t chargedAt, const BillLine& line, const SoldKind& sold) const
{
    switch (grouping_) {
    case ReportGrouping::Day:
        return platform::formatLocalTime("%Y-%m-%d", chargedAt);
    case ReportGrouping::Week:
        return platform::formatLocalTime("%G-W%V", chargedAt); // ISO weeks, Monday first
    case ReportGrouping::Month:
        return platform::formatLocalTime("%Y-%m", chargedAt);
    case ReportGrouping::Station:
        return std::to_string(line.station);
    case ReportGrouping::Item:
        if (sold.kind == SoldKind::Kind::Session)
            return kSessionTimeGroup;
        return sold.kind == SoldKind::Kind::Printing ? kPrintingGroup : line.description;
    case ReportGrouping::Hour:
        return platform::formatLocalTime("%H:00", chargedAt);
    }
    return {};
}

void TakingsTally::count(Group& group, int bill, const BillLine& line, const SoldKind& sold, bool withTime)
{
    if (group.lastBill != bill) {
        ++group.row.bills;
        group.lastBill = bill;
    }
    group.row.takings += parseMoneyText(line.priceText);
    if (sold.kind == SoldKind::Kind::Session) {
        ++group.row.sessions;
        if (withTime)
            group.row.sessionTime += sold.sessionTime;
    }
}

TakingsTally::Group& TakingsTally::groupNamed(const std::string& name)
{
    Group& group = groups_[name];
    group.row.group = name;
    return group;
}

void TakingsTally::add(int bill, std::time_t chargedAt, const BillLine& line)
{
    if (chargedAt < from_ || chargedAt >= to_)
        return;
    const SoldKind sold = soldKindOf(line.description);
    Group& group = groupNamed(groupOf(chargedAt, line, sold));
    // By the hour, a session's time goes to the hours it was used in (it ended
    // when it was charged), so that the hours show how busy the cafe was.
    const bool spread = grouping_ == ReportGrouping::Hour && sold.kind == SoldKind::Kind::Session;
    count(group, bill, line, sold, !spread);
    count(total_, bill, line, sold, true);
    if (spread) {
        std::time_t end = chargedAt;
        std::time_t start = chargedAt - static_cast<std::time_t>(sold.sessionTime.count());
        while (end > start) {
            // The start of the local hour that `end - 1` lies in.
            const std::tm tm = platform::toLocalTime(end - 1);
            const std::time_t hourStart = (end - 1) - static_cast<std::time_t>(tm.tm_min) * 60 - tm.tm_sec;
            const std::time_t pieceStart = std::max(start, hourStart);
            groupNamed(platform::formatTm("%H:00", tm)).row.sessionTime += std::chrono::seconds(end - pieceStart);
            end = pieceStart;
        }
    }
}

TakingsReport TakingsTally::report() const
{
    TakingsReport report;
    report.grouping = grouping_;
    report.days = days_;
    report.total = total_.row;
    for (const auto& [key, group] : groups_)
        report.rows.push_back(group.row);
    if (grouping_ == ReportGrouping::Station)
        std::stable_sort(report.rows.begin(), report.rows.end(), [](const ReportRow& a, const ReportRow& b) {
            return parseIntText(a.group) < parseIntText(b.group);
        });
    if (grouping_ == ReportGrouping::Item)
        std::stable_sort(report.rows.begin(), report.rows.end(),
                         [](const ReportRow& a, const ReportRow& b) { return a.takings > b.takings; });
    return report;
}

} // namespace store
