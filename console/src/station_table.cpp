#include "console/station_table.h"

namespace console {

void StationTable::setText(int i, Column c, std::string text)
{
    rows_.at(static_cast<std::size_t>(i))[static_cast<std::size_t>(c)] = std::move(text);
}

void StationTable::insertRow(int i, Row row)
{
    rows_.insert(rows_.begin() + i, std::move(row));
    selected_.insert(selected_.begin() + i, false);
    notes_.insert(notes_.begin() + i, std::string());
}

void StationTable::deleteRow(int i)
{
    rows_.erase(rows_.begin() + i);
    selected_.erase(selected_.begin() + i);
    notes_.erase(notes_.begin() + i);
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
