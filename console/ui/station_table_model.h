#pragma once
// The station table as a Qt item model. The rows' texts are the console
// engine's session state; this model only reads them. sync() compares them with
// what the view last showed and reports just the rows that changed, so a tick
// over 99 stations repaints only what moved. Window thread only.

#include "console/station_table.h"

#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <vector>

namespace console::ui {

class StationTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // The station's name (from the Clients page) for row i, shown in a last
    // column of its own: the engine's columns and their texts stay as they are.
    using NameOf = std::function<std::string(int row)>;
    static constexpr int kNameColumn = console::kColumnCount;

    StationTableModel(const console::StationTable& table, NameOf nameOf, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Brings the view up to date with the engine's table.
    void sync();

private:
    const console::StationTable& table_;
    std::vector<console::StationTable::Row> shown_;
    std::vector<std::string> notes_; // the table's notes as last shown
    NameOf nameOf_;
    std::vector<std::string> names_; // as last shown
};

} // namespace console::ui
