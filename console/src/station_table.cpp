#include "console/station_table.h"

#include "console/money_text.h"
#include "console/texts.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace console {

std::string_view phaseText(Phase phase)
{
    switch (phase) {
    case Phase::Disconnected:
        return kStatusDisconnected;
    case Phase::Stopped:
        return kStatusStopped;
    case Phase::Starting:
        return kStatusStarting;
    case Phase::Started:
        return kStatusStarted;
    case Phase::Swapping:
        return kStatusSwapping;
    }
    return kStatusDisconnected;
}

// Through the shown text and back: the amount is then exactly what the
// operator reads, and adding or comparing it gives what the texts would.
// An amount that is no number shows as none.
ShownMoney::ShownMoney(double amount) : amount_(std::isfinite(amount) ? amount : 0.0), text_(moneyText(amount_))
{
    // Read back as amountOf() reads: the leading number of at most 64
    // characters. A finite amount always prints as one, so this cannot fail.
    const char* first = text_.data();
    (void)std::from_chars(first, first + std::min<std::size_t>(text_.size(), 64), amount_);
    // Past 15 digits the amount read back may print otherwise: the text is what it prints.
    if (text_.size() > 16)
        text_ = moneyText(amount_);
}

ShownMoney ShownMoney::fromText(std::string_view text) { return ShownMoney(amountOf(text)); }

ShownDuration ShownDuration::unknown()
{
    ShownDuration shown;
    shown.unknown_ = true;
    return shown;
}

ShownDuration ShownDuration::of(std::int64_t seconds)
{
    ShownDuration shown;
    shown.seconds_ = seconds;
    return shown;
}

std::string ShownDuration::minuteText() const { return seconds_ ? spanMinuteText(*seconds_) : std::string(); }

// Within one minute the text cannot change, so the texts are compared only
// when the minute does: the money tick asks this of every running station.
bool ShownDuration::showsMinuteOf(std::int64_t seconds) const
{
    if (!seconds_)
        return false;
    if (*seconds_ >= 0 && seconds >= 0 && *seconds_ / 60 == seconds / 60)
        return true;
    return minuteText() == spanMinuteText(seconds);
}

std::string ShownDuration::text() const
{
    if (seconds_)
        return spanClockText(*seconds_);
    return unknown_ ? std::string(kUnknownDuration) : std::string();
}

void RowState::clearSession()
{
    start.reset();
    duration = ShownDuration::none();
    accessCost = ShownMoney();
    extras = ShownMoney();
}

StationTable::Row StationTable::row(int i) const
{
    Row texts;
    for (int c = 0; c < kColumnCount; ++c)
        texts[static_cast<std::size_t>(c)] = text(i, static_cast<Column>(c));
    return texts;
}

std::string StationTable::text(int i, Column c) const
{
    const RowState& row = state(i);
    switch (c) {
    case Column::No:
        return std::to_string(i + 1);
    case Column::Status:
        return std::string(phaseText(row.phase));
    case Column::Start:
        return row.start ? startClockText(*row.start) : std::string();
    case Column::Duration:
        return row.duration.text();
    case Column::AccessCost:
        return row.accessCost.text();
    case Column::Extras:
        return row.extras.text();
    case Column::Total:
        return row.total().text();
    }
    return {};
}

void StationTable::appendRow()
{
    rows_.emplace_back();
    selected_.push_back(false);
    notes_.emplace_back();
}

void StationTable::deleteLastRow()
{
    if (rows_.empty())
        return;
    rows_.pop_back();
    selected_.pop_back();
    notes_.pop_back();
}

void StationTable::selectOnly(const std::vector<int>& rows)
{
    selected_.assign(selected_.size(), false);
    for (int i : rows)
        if (i >= 0 && i < rowCount())
            selected_[static_cast<std::size_t>(i)] = true;
}

std::vector<int> StationTable::selectedRows() const
{
    std::vector<int> rows;
    for (int i = 0; i < rowCount(); ++i)
        if (selected_[static_cast<std::size_t>(i)])
            rows.push_back(i);
    return rows;
}

} // namespace console
