#pragma once
// The station table: one row per station. Each row holds its state in types
// (the phase of the session, its start, its duration, the money at the rounding
// the operator sees) and the texts of its columns are derived from them, so
// nothing reads its own display back. The window's table view shows the texts
// and reports the operator's selection. Window thread only.

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace console {

// Where a station's session stands; the "Status" column shows its name.
enum class Phase { Disconnected, Stopped, Starting, Started, Swapping };
std::string_view phaseText(Phase phase);

// An amount kept at the two decimals the table shows, so that sums and
// comparisons work on what the operator reads. Its text is made once, when the
// amount is: the money tick makes one for every running station each second.
class ShownMoney {
public:
    ShownMoney() = default;
    explicit ShownMoney(double amount);
    // The amount a money text shows (its leading number; 0 when none).
    static ShownMoney fromText(std::string_view text);

    double amount() const { return amount_; }
    const std::string& text() const { return text_; }
    friend bool operator==(const ShownMoney& a, const ShownMoney& b) { return a.amount_ == b.amount_; }

private:
    double amount_ = 0.0;
    std::string text_ = "0.00";
};

// The "Duration" column: empty with no session, "?" while the station's
// figures are to be sent again, else the time the session has run.
class ShownDuration {
public:
    static ShownDuration none() { return {}; }
    static ShownDuration unknown();
    static ShownDuration of(std::int64_t seconds);

    // "%H:%M" of the span; empty unless it is known.
    std::string minuteText() const;
    // Whether minuteText() is that of a span of `seconds` (never while unknown).
    bool showsMinuteOf(std::int64_t seconds) const;
    std::string text() const;

private:
    bool unknown_ = false;
    std::optional<std::int64_t> seconds_;
};

// What one row of the table holds.
struct RowState {
    Phase phase = Phase::Disconnected;
    std::optional<std::time_t> start; // the "Start" column, local clock time
    ShownDuration duration;
    ShownMoney accessCost;
    ShownMoney extras;

    ShownMoney total() const { return ShownMoney(accessCost.amount() + extras.amount()); }
    // An idle row: no start, no duration, no money.
    void clearSession();
};

enum class Column { No = 0, Status, Start, Duration, AccessCost, Extras, Total };
inline constexpr int kColumnCount = 7;

// A list column as the window lays it out; width 0 means "fits its header".
struct ColumnSpec {
    std::string_view header;
    int width = 0;
    bool rightAligned = false;
};

inline constexpr std::array<ColumnSpec, kColumnCount> kStationColumns = {{
    {"No", 0, false},
    {"Status", 0, false},
    {"Start", 54, false},
    {"Duration", 54, false},
    {"Access Cost", 76, true},
    {"Extras", 76, true},
    {"Total", 78, true},
}};

// The bill list's columns "PC", "Description" and "Price".
inline constexpr std::array<ColumnSpec, 3> kBillListColumns = {{
    {"PC", 0, false},
    {"Description", 156, false},
    {"Price", 50, true},
}};

class StationTable {
public:
    // The texts of a row as the operator sees them.
    using Row = std::array<std::string, kColumnCount>;

    int rowCount() const { return static_cast<int>(rows_.size()); }
    RowState& state(int i) { return rows_.at(static_cast<std::size_t>(i)); }
    const RowState& state(int i) const { return rows_.at(static_cast<std::size_t>(i)); }
    Phase phase(int i) const { return state(i).phase; }
    bool hasPhase(int i, Phase phase) const { return state(i).phase == phase; }
    void setPhase(int i, Phase phase) { state(i).phase = phase; }

    Row row(int i) const;
    std::string text(int i, Column c) const;
    std::string_view status(int i) const { return phaseText(phase(i)); }

    // What the operator is told beside the row's status, such as a command the
    // station has not answered yet; empty for nothing.
    const std::string& note(int i) const { return notes_.at(static_cast<std::size_t>(i)); }
    void setNote(int i, std::string note) { notes_.at(static_cast<std::size_t>(i)) = std::move(note); }

    // Adds an idle, disconnected row at the end; its selection is clear.
    void appendRow();
    void deleteLastRow();

    bool isSelected(int i) const { return selected_.at(static_cast<std::size_t>(i)); }
    void setSelected(int i, bool selected) { selected_.at(static_cast<std::size_t>(i)) = selected; }
    // Selects exactly the given rows (out-of-range numbers are ignored).
    void selectOnly(const std::vector<int>& rows);
    std::vector<int> selectedRows() const;

private:
    std::vector<RowState> rows_;
    std::vector<bool> selected_;
    std::vector<std::string> notes_;
};

} // namespace console
