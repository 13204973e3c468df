#include "console/configuration/page_list.h"

namespace console::configuration {

void PageList::setCell(int r, std::size_t column, std::string text)
{
    rows_.at(static_cast<std::size_t>(r)).at(column) = std::move(text);
}

void PageList::append(PageRow row)
{
    row.resize(columnCount_);
    rows_.push_back(std::move(row));
    selected_.push_back(false);
}

void PageList::truncate(int count)
{
    if (count < 0)
        count = 0;
    if (count >= rowCount())
        return;
    rows_.resize(static_cast<std::size_t>(count));
    selected_.resize(static_cast<std::size_t>(count));
}

void PageList::clear()
{
    rows_.clear();
    selected_.clear();
}

bool PageList::isSelected(int r) const { return r >= 0 && r < rowCount() && selected_[static_cast<std::size_t>(r)]; }

std::vector<int> PageList::selectedRows() const
{
    std::vector<int> result;
    for (int r = 0; r < rowCount(); ++r)
        if (selected_[static_cast<std::size_t>(r)])
            result.push_back(r);
    return result;
}

std::optional<int> PageList::firstSelected() const
{
    for (int r = 0; r < rowCount(); ++r)
        if (selected_[static_cast<std::size_t>(r)])
            return r;
    return std::nullopt;
}

void PageList::setSelected(int r, bool selected)
{
    if (r >= 0 && r < rowCount())
        selected_[static_cast<std::size_t>(r)] = selected;
}

void PageList::clearSelection() { selected_.assign(selected_.size(), false); }

} // namespace console::configuration
