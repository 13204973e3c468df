#pragma once
// A configuration page's list: a report-style view of the page model's rows
// with the page's columns (their widths and alignment), full-row and multiple
// selection. showList() shows the rows and selection the model holds without
// signalling; the operator's selection is read back row by row.

#include "page_list_model.h"

#include <QTreeView>

namespace console::ui {

class PageListView : public QTreeView {
    Q_OBJECT
public:
    PageListView(const console::configuration::PageList& list,
                 std::span<const console::configuration::ListColumn> columns, QWidget* parent = nullptr);

    void showList();
    // The page model is going: from now on the list is empty and reads nothing.
    void detach() { model_.detach(); }
    bool isRowSelected(int row) const;
    // The text the list shows in a cell.
    QString cellText(int row, int column) const;

    // Wide enough for every column at its width, so no column is hidden at
    // the smallest size either.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The operator changed the selection.
    void selectionEdited();

private:
    int columnsWidth() const;

    PageListModel model_;
    bool showing_ = false;
};

} // namespace console::ui
