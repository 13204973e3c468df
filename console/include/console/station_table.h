#pragma once
// The station table: one row of texts per station. The texts are the session
// state: operations test a row's "Status" and read money back from its columns,
// so there is no parallel structure that could drift from what the operator sees.
// The window's table view shows these rows and reports the operator's selection.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace console {

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
    using Row = std::array<std::string, kColumnCount>;

    int rowCount() const { return static_cast<int>(rows_.size()); }
    const Row& row(int i) const { return rows_.at(static_cast<std::size_t>(i)); }
    const std::string& text(int i, Column c) const { return row(i)[static_cast<std::size_t>(c)]; }
    void setText(int i, Column c, std::string text);
    const std::string& status(int i) const { return text(i, Column::Status); }
    bool hasStatus(int i, std::string_view status) const { return this->status(i) == status; }

    // What the operator is told beside the row's status, such as a command the
    // station has not answered yet; empty for nothing.
    const std::string& note(int i) const { return notes_.at(static_cast<std::size_t>(i)); }
    void setNote(int i, std::string note) { notes_.at(static_cast<std::size_t>(i)) = std::move(note); }

    // Inserts a row at i (rows after it move down); its selection is clear.
    void insertRow(int i, Row row);
    void deleteRow(int i);

    bool isSelected(int i) const { return selected_.at(static_cast<std::size_t>(i)); }
    void setSelected(int i, bool selected) { selected_.at(static_cast<std::size_t>(i)) = selected; }
    // Selects exactly the given rows (out-of-range numbers are ignored).
    void selectOnly(const std::vector<int>& rows);
    std::vector<int> selectedRows() const;

private:
    std::vector<Row> rows_;
    std::vector<bool> selected_;
    std::vector<std::string> notes_;
};

} // namespace console
