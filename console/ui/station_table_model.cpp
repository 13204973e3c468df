#include "station_table_model.h"

#include <QColor>

namespace console::ui {

StationTableModel::StationTableModel(const console::StationTable& table, NameOf nameOf, QObject* parent)
    : QAbstractTableModel(parent), table_(table), nameOf_(std::move(nameOf))
{
}

int StationTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int StationTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : console::kColumnCount + 1;
}

QVariant StationTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(shown_.size()))
        return {};
    const auto column = static_cast<std::size_t>(index.column());
    const auto row = static_cast<std::size_t>(index.row());
    if (index.column() == kNameColumn) {
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
            return QString::fromStdString(names_[row]);
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignVCenter | Qt::AlignLeft);
        return {};
    }
    const bool noted = column == static_cast<std::size_t>(console::Column::Status) && !notes_[row].empty();
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        QString text = QString::fromStdString(shown_[row][column]);
        // A command the station has not answered is still on its way: the row
        // must not look like a plain "Starting" or "Started".
        if (noted)
            text += QStringLiteral(" (") + QString::fromStdString(notes_[row]) + QStringLiteral(")");
        return text;
    }
    if (role == Qt::ToolTipRole && noted)
        return QString::fromStdString(notes_[row]);
    if (role == Qt::ForegroundRole && noted)
        return QColor(Qt::darkRed);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (console::kStationColumns[column].rightAligned ? Qt::AlignRight : Qt::AlignLeft));
    return {};
}

QVariant StationTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section > kNameColumn)
        return {};
    if (section == kNameColumn)
        return role == Qt::DisplayRole ? QVariant(QStringLiteral("Name")) : QVariant();
    const auto& column = console::kStationColumns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(column.header.data(), static_cast<qsizetype>(column.header.size()));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (column.rightAligned ? Qt::AlignRight : Qt::AlignLeft));
    return {};
}

void StationTableModel::sync()
{
    const int wanted = table_.rowCount();
    const int present = static_cast<int>(shown_.size());
    if (wanted < present) {
        beginRemoveRows({}, wanted, present - 1);
        shown_.resize(static_cast<std::size_t>(wanted));
        notes_.resize(static_cast<std::size_t>(wanted));
        names_.resize(static_cast<std::size_t>(wanted));
        endRemoveRows();
    }
    const int common = std::min(wanted, present);
    for (int i = 0; i < common; ++i) {
        auto& row = shown_[static_cast<std::size_t>(i)];
        const auto& now = table_.row(i);
        auto& note = notes_[static_cast<std::size_t>(i)];
        if (std::string name = nameOf_(i); names_[static_cast<std::size_t>(i)] != name) {
            names_[static_cast<std::size_t>(i)] = std::move(name);
            const QModelIndex cell = index(i, kNameColumn);
            emit dataChanged(cell, cell);
        }
        if (note != table_.note(i)) {
            note = table_.note(i);
            const QModelIndex status = index(i, static_cast<int>(console::Column::Status));
            emit dataChanged(status, status);
        }
        if (row == now)
            continue;
        int first = console::kColumnCount, last = -1;
        for (int c = 0; c < console::kColumnCount; ++c)
            if (row[static_cast<std::size_t>(c)] != now[static_cast<std::size_t>(c)]) {
                first = std::min(first, c);
                last = c;
            }
        row = now;
        emit dataChanged(index(i, first), index(i, last), {Qt::DisplayRole});
    }
    if (wanted > present) {
        beginInsertRows({}, present, wanted - 1);
        for (int i = present; i < wanted; ++i) {
            shown_.push_back(table_.row(i));
            notes_.push_back(table_.note(i));
            names_.push_back(nameOf_(i));
        }
        endInsertRows();
    }
}

} // namespace console::ui
