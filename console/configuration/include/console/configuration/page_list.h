#pragma once
// The list of a configuration page: rows of texts, as shown, and which rows are
// selected. The row texts are the page's working copy of its table: Save
// rebuilds the table from them.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace console::configuration {

using PageRow = std::vector<std::string>;

class PageList {
public:
    explicit PageList(std::size_t columnCount) : columnCount_(columnCount) {}

    std::size_t columnCount() const { return columnCount_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    const std::vector<PageRow>& rows() const { return rows_; }
    const PageRow& row(int r) const { return rows_.at(static_cast<std::size_t>(r)); }
    const std::string& cell(int r, std::size_t column) const { return row(r).at(column); }
    void setCell(int r, std::size_t column, std::string text);

    // Adds a row; missing columns are empty, extra ones dropped.
    void append(PageRow row);
    // Removes the rows from index `count` on; their selection goes with them.
    void truncate(int count);
    void clear();

    bool isSelected(int r) const;
    // Ascending row indexes.
    std::vector<int> selectedRows() const;
    std::optional<int> firstSelected() const;
    // Out-of-range rows are ignored.
    void setSelected(int r, bool selected);
    void clearSelection();

private:
    std::size_t columnCount_;
    std::vector<PageRow> rows_;
    std::vector<bool> selected_;
};

} // namespace console::configuration
