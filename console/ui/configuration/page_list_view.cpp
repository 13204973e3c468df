#include "page_list_view.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace console::ui {

PageListView::PageListView(const console::configuration::PageList& list,
                           std::span<const console::configuration::ListColumn> columns, QWidget* parent)
    : QTreeView(parent), model_(list, columns)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setModel(&model_);

    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    // The column's own width, or more when its caption would not fit.
    const int padding = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin) + fontMetrics().averageCharWidth();
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const int caption = fontMetrics().horizontalAdvance(QString::fromUtf8(columns[c].caption));
        header()->resizeSection(static_cast<int>(c), std::max(columns[c].width, caption + padding));
    }
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!showing_)
            emit selectionEdited();
    });
    showList();
}

void PageListView::showList()
{
    const console::configuration::PageList* list = model_.list();
    if (list == nullptr)
        return;
    showing_ = true;
    model_.reload();
    QItemSelection selection;
    for (int r = 0; r < list->rowCount(); ++r)
        if (list->isSelected(r))
            selection.select(model_.index(r, 0), model_.index(r, model_.columnCount() - 1));
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    showing_ = false;
}

bool PageListView::isRowSelected(int row) const { return selectionModel()->isRowSelected(row, {}); }

QString PageListView::cellText(int row, int column) const
{
    return model_.data(model_.index(row, column), Qt::DisplayRole).toString();
}

int PageListView::columnsWidth() const
{
    return header()->length() + 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
}

QSize PageListView::sizeHint() const
{
    QSize hint = QTreeView::sizeHint();
    hint.setWidth(std::max(hint.width(), columnsWidth()));
    return hint;
}

QSize PageListView::minimumSizeHint() const
{
    // A few rows under the header.
    const int rows = 4 * std::max(sizeHintForRow(0), fontMetrics().height());
    return {columnsWidth(), header()->sizeHint().height() + rows + 2 * frameWidth()};
}

} // namespace console::ui
