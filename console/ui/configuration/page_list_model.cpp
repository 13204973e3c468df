#include "page_list_model.h"

namespace console::ui {
namespace {

Qt::Alignment alignmentOf(console::configuration::ColumnAlignment alignment)
{
    switch (alignment) {
    case console::configuration::ColumnAlignment::Centre:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case console::configuration::ColumnAlignment::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case console::configuration::ColumnAlignment::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

PageListModel::PageListModel(const console::configuration::PageList& list,
                             std::span<const console::configuration::ListColumn> columns)
    : list_(&list), columns_(columns)
{
}

void PageListModel::reload()
{
    beginResetModel();
    endResetModel();
}

void PageListModel::detach()
{
    beginResetModel();
    list_ = nullptr;
    endResetModel();
}

int PageListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || list_ == nullptr ? 0 : list_->rowCount();
}

int PageListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant PageListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const auto column = static_cast<std::size_t>(index.column());
    if (role == Qt::DisplayRole)
        return QString::fromStdString(list_->cell(index.row(), column));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignmentOf(columns_[column].alignment));
    return {};
}

QVariant PageListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const auto column = static_cast<std::size_t>(section);
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(columns_[column].caption);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignmentOf(columns_[column].alignment));
    return {};
}

} // namespace console::ui
