#pragma once
// The rows of a configuration page's list as a Qt item model, read straight
// from the page model's PageList. reload() is called after every page call
// that may have changed the rows; detach() is called when the PageList is
// about to go or has gone, after which the model is empty.

#include "console/configuration/list_column.h"
#include "console/configuration/page_list.h"

#include <QAbstractTableModel>

#include <span>

namespace console::ui {

class PageListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    PageListModel(const console::configuration::PageList& list,
                  std::span<const console::configuration::ListColumn> columns);

    void reload();
    void detach();
    // The rows shown; null once detached.
    const console::configuration::PageList* list() const { return list_; }
    std::span<const console::configuration::ListColumn> columns() const { return columns_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const console::configuration::PageList* list_;
    std::span<const console::configuration::ListColumn> columns_;
};

} // namespace console::ui
