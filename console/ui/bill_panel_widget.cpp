#include "bill_panel_widget.h"

#include "console_fonts.h"
#include "control_ids.h"
#include "money_field_edit.h"
#include "widget_view.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace console::ui {

namespace {

// Hidden controls keep their place, so the panel does not jump about as the
// operator moves between entering items and tendering.
template <typename W>
W* keepingPlace(W* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    return widget;
}

QLabel* leftLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return keepingPlace(label);
}

// TOTAL:, TENDER: and CHANGE:/DUE: beside the large amounts.
QFont moneyLabelFont()
{
    QFont font = QApplication::font();
    font.setBold(true);
    return font;
}

} // namespace

BillPanelWidget::BillPanelWidget(console::ConsoleEngine& engine, Perform perform, QWidget* parent)
    : QWidget(parent), engine_(engine), perform_(std::move(perform))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    buildPanel();
}

// The panel, top to bottom: the title with the count of unpaid bills, the
// selector, the alarm, the bill's caption and lines, the total; then, in one
// place, either the tender with CHARGE or the item rows; and last the
// item-panel button. Every control keeps its place while hidden, so nothing
// moves under the operator's hand and the window never resizes itself.
void BillPanelWidget::buildPanel()
{
    auto* layout = static_cast<QVBoxLayout*>(this->layout());

    auto* top = new QHBoxLayout;
    title_ = keepingPlace(new QLabel(QStringLiteral("BILL"), this));
    QFont titleFont = title_->font();
    titleFont.setBold(true);
    title_->setFont(titleFont);
    identify(title_, id::kBillTitle, QStringLiteral("Bill"));
    unpaid_ = keepingPlace(new QLabel(this));
    unpaid_->setTextFormat(Qt::PlainText);
    unpaid_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    unpaid_->setContentsMargins(6, 2, 6, 2);
    identify(unpaid_, id::kUnpaidNotice, QStringLiteral("Unpaid bills"));
    top->addWidget(title_);
    top->addStretch(1);
    top->addWidget(unpaid_);
    layout->addLayout(top);

    selector_ = keepingPlace(new QComboBox(this));
    identify(selector_, id::kBillSelector, QStringLiteral("Open bills"));
    connect(selector_, &QComboBox::activated, this,
            [this](int index) { perform_([this, index] { engine_.billPanel().onSelectorChanged(index); }); });
    layout->addWidget(selector_);

    auto* alarmRow = new QHBoxLayout;
    alarmLabel_ = keepingPlace(new QLabel(QStringLiteral("Alarm:"), this));
    identify(alarmLabel_, id::kAlarmLabel, QStringLiteral("Alarm"));
    alarm_ = keepingPlace(new QComboBox(this));
    identify(alarm_, id::kAlarmSelector, QStringLiteral("Alarm"));
    alarmLabel_->setBuddy(alarm_);
    // activated() fires only for the operator's own choice, never when the
    // window refills or re-selects the entries.
    connect(alarm_, &QComboBox::activated, this,
            [this](int choice) { perform_([this, choice] { engine_.onAlarmSelected(choice); }); });
    alarmRow->addWidget(alarmLabel_);
    alarmRow->addWidget(alarm_, 1);
    layout->addLayout(alarmRow);

    caption_ = keepingPlace(new QLabel(this));
    caption_->setTextFormat(Qt::PlainText);
    // A long caption ("Comp#: 1, 2, 3, ...") is cut, not allowed to widen the window.
    QSizePolicy captionPolicy = caption_->sizePolicy();
    captionPolicy.setHorizontalPolicy(QSizePolicy::Ignored);
    caption_->setSizePolicy(captionPolicy);
    identify(caption_, id::kBillCaption, QStringLiteral("Bill caption"));
    layout->addWidget(caption_);

    buildList();
    layout->addWidget(list_, 1);

    // TOTAL, TENDER and CHANGE/DUE share one label width and one amount size.
    const QFont labelFont = moneyLabelFont();
    const int labelWidth = QFontMetrics(labelFont).horizontalAdvance(QStringLiteral("CHANGE:")) +
                           QFontMetrics(labelFont).averageCharWidth();
    const auto moneyLabel = [&](const QString& text, int controlId, const QString& name) {
        QLabel* label = leftLabel(text, this);
        label->setFont(labelFont);
        label->setFixedWidth(labelWidth);
        identify(label, controlId, name);
        return label;
    };
    auto* total = new QHBoxLayout;
    totalLabel_ = moneyLabel(QStringLiteral("TOTAL:"), id::kTotalLabel, QStringLiteral("Total"));
    totalDisplay_ = keepingPlace(new QLabel(this));
    totalDisplay_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    totalDisplay_->setFont(totalFont());
    identify(totalDisplay_, id::kTotalDisplay, QStringLiteral("Total"));
    total->addWidget(totalLabel_);
    total->addWidget(totalDisplay_, 1);
    layout->addLayout(total);

    auto* modeArea = new QGridLayout;
    tenderBox_ = keepingPlace(new QWidget(this));
    auto* tender = new QGridLayout(tenderBox_);
    tender->setContentsMargins(0, 0, 0, 0);
    tenderLabel_ = moneyLabel(QStringLiteral("TENDER:"), id::kTenderLabel, QStringLiteral("Tender"));
    tender_ = keepingPlace(new MoneyFieldEdit(engine_.billPanel().tenderField(), tenderBox_));
    tender_->setAlignment(Qt::AlignRight);
    tender_->setFont(totalFont());
    // Enter in the tender field takes the window's one Enter path: the engine's tender check.
    tender_->setOwnerHandlesEnter(true);
    identify(tender_, id::kTenderField, QStringLiteral("Tendered amount"));
    connect(tender_, &ModelLineEdit::edited, this,
            [this] { perform_([this] { engine_.billPanel().onTenderEdited(); }); });
    tenderLabel_->setBuddy(tender_);
    dueLabel_ = moneyLabel(QStringLiteral("DUE:"), id::kDueLabel, QStringLiteral("Due"));
    dueAmount_ = keepingPlace(new QLabel(tenderBox_));
    dueAmount_->setTextFormat(Qt::PlainText);
    dueAmount_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    dueAmount_->setFont(totalFont());
    identify(dueAmount_, id::kDueAmount, QStringLiteral("Due or change amount"));
    for (QLabel* label : {tenderLabel_, dueLabel_})
        label->setParent(tenderBox_);
    tender->addWidget(tenderLabel_, 0, 0);
    tender->addWidget(tender_, 0, 1);
    tender->addWidget(dueLabel_, 1, 0);
    tender->addWidget(dueAmount_, 1, 1);
    tender->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    charge_ = keepingPlace(new QPushButton(QStringLiteral("CHARGE"), tenderBox_));
    charge_->setFont(totalFont());
    identify(charge_, id::kCharge, QStringLiteral("Charge"));
    connect(charge_, &QPushButton::clicked, this,
            [this] { perform_([this] { engine_.billPanel().onChargePressed(); }); });
    printReceipt_ = keepingPlace(new QPushButton(QStringLiteral("Print Receipt\n&&\nCharge"), tenderBox_));
    identify(printReceipt_, id::kPrintReceipt, QStringLiteral("Print receipt and charge"));
    connect(printReceipt_, &QPushButton::clicked, this,
            [this] { perform_([this] { engine_.billPanel().printReceipt(); }); });
    charge_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    printReceipt_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    buttons->addWidget(charge_, 2);
    buttons->addWidget(printReceipt_, 1);
    tender->addLayout(buttons, 2, 0, 1, 2);
    tender->setRowStretch(2, 1);

    itemBox_ = keepingPlace(new QWidget(this));
    buildItemRows();
    // Both boxes take the same place; only one is shown at a time.
    modeArea->addWidget(tenderBox_, 0, 0);
    modeArea->addWidget(itemBox_, 0, 0);
    layout->addLayout(modeArea);

    itemPanelButton_ = keepingPlace(new QPushButton(QStringLiteral("Add Items"), this));
    identify(itemPanelButton_, id::kItemPanelButton, QStringLiteral("Add items, tender or stop the station"));
    connect(itemPanelButton_, &QPushButton::clicked, this, [this] {
        // The button changes its meaning with each press ("Tender" becomes
        // "Add Items", which may become "Stop PC#n"): the second click of a
        // double click is not a second press.
        if (itemPanelClick_.isValid() && itemPanelClick_.elapsed() < QApplication::doubleClickInterval())
            return;
        itemPanelClick_.start();
        perform_([this] { engine_.billPanel().onItemPanelButton(); });
    });
    layout->addWidget(itemPanelButton_);

    for (QPushButton* button : {charge_, printReceipt_, itemPanelButton_})
        button->setAutoDefault(false);

    // Texts that come and go keep the height of a line of their font (bold
    // where they turn bold), so that nothing grows when they appear.
    for (QLabel* label : {unpaid_, caption_, totalDisplay_, dueAmount_}) {
        QFont bold = label->font();
        bold.setBold(true);
        label->setMinimumHeight(QFontMetrics(bold).height() + label->contentsMargins().top() +
                                label->contentsMargins().bottom());
    }
}

void BillPanelWidget::buildList()
{
    list_ = keepingPlace(new QTableWidget(0, static_cast<int>(console::kBillListColumns.size()), this));
    identify(list_, id::kBillList, QStringLiteral("Bill lines"));
    QStringList headers;
    for (const auto& column : console::kBillListColumns)
        headers << QString::fromUtf8(column.header.data(), static_cast<qsizetype>(column.header.size()));
    list_->setHorizontalHeaderLabels(headers);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setShowGrid(false);
    list_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    list_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    list_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    list_->horizontalHeaderItem(2)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // At least eight lines of a bill in view.
    list_->setMinimumHeight(list_->horizontalHeader()->sizeHint().height() +
                            8 * list_->verticalHeader()->defaultSectionSize() + 2 * list_->frameWidth());
    list_->installEventFilter(this);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!showing_)
            forwardListSelection();
    });
}

void BillPanelWidget::buildItemRows()
{
    auto* box = new QVBoxLayout(itemBox_);
    box->setContentsMargins(0, 0, 0, 0);
    auto* grid = new QGridLayout;
    auto digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), this);
    for (int k = 0; k < console::BillPanel::kItemRows; ++k) {
        ItemRow& row = rows_[static_cast<std::size_t>(k)];
        row.wide = keepingPlace(new QPushButton(itemBox_));
        identify(row.wide, id::kItemButton + k, QStringLiteral("Sale item %1").arg(k + 1));
        row.narrow = new QPushButton(itemBox_);
        identify(row.narrow, id::kItemNarrow + k, QStringLiteral("Sale item %1, again").arg(k + 1));
        row.quantity = new QLineEdit(itemBox_);
        row.quantity->setAlignment(Qt::AlignRight);
        row.quantity->setValidator(digits);
        row.quantity->setMaxLength(4);
        identify(row.quantity, id::kItemQuantity + k, QStringLiteral("Quantity of sale item %1").arg(k + 1));
        for (QPushButton* button : {row.wide, row.narrow}) {
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this,
                    [this, k] { perform_([this, k] { engine_.billPanel().onItemPressed(k); }); });
        }
        connect(row.quantity, &QLineEdit::textEdited, this,
                [this](const QString& text) { engine_.billPanel().setQuantityText(text.toStdString()); });
        // The wide button spans the row; while a quantity is asked the narrow
        // button and the quantity field share it.
        grid->addWidget(row.wide, k, 0, 1, 2);
        grid->addWidget(row.narrow, k, 0);
        grid->addWidget(row.quantity, k, 1);
    }
    grid->setColumnStretch(0, 4);
    grid->setColumnStretch(1, 1);

    previous_ = keepingPlace(new QPushButton(QStringLiteral(" Previous"), itemBox_));
    identify(previous_, id::kPrevious, QStringLiteral("Previous sale items"));
    next_ = keepingPlace(new QPushButton(QStringLiteral("Next "), itemBox_));
    identify(next_, id::kNext, QStringLiteral("Next sale items"));
    connect(previous_, &QPushButton::clicked, this,
            [this] { perform_([this] { engine_.billPanel().onPreviousPage(); }); });
    connect(next_, &QPushButton::clicked, this, [this] { perform_([this] { engine_.billPanel().onNextPage(); }); });
    for (QPushButton* button : {previous_, next_})
        button->setAutoDefault(false);
    auto* paging = new QHBoxLayout;
    paging->addWidget(previous_);
    paging->addStretch(1);
    paging->addWidget(next_);

    box->addLayout(grid);
    box->addLayout(paging);
    box->addStretch(1);
}

void BillPanelWidget::show(const console::BillPanelView& view)
{
    showing_ = true;
    showText(title_, view.title);
    showText(unpaid_, view.unpaid);
    showNewBills(view.newBills);

    showEntries(selector_, view.selector.labels, view.selector.current);
    selector_->setVisible(view.selector.visible);
    showEntries(alarm_, view.alarm.entries, view.alarm.current);
    alarm_->setVisible(view.alarm.visible);
    alarmLabel_->setVisible(view.alarm.visible);

    showText(caption_, view.caption);
    showList(view.list);
    showText(totalLabel_, view.totalLabel);
    showText(totalDisplay_, view.totalDisplay);
    showText(tenderLabel_, view.tenderLabel);
    tender_->setVisible(view.tenderField.visible);
    if (tender_->text().toStdString() != view.tenderField.text)
        tender_->showModel();
    showText(dueLabel_, view.dueLabel);
    showText(dueAmount_, view.dueAmount);
    showButton(charge_, view.charge);
    showButton(printReceipt_, view.printReceipt);
    showButton(itemPanelButton_, view.itemPanelButton);

    for (int k = 0; k < console::BillPanel::kItemRows; ++k) {
        const console::ItemRowView& rowView = view.itemRows[static_cast<std::size_t>(k)];
        ItemRow& row = rows_[static_cast<std::size_t>(k)];
        showButton(row.wide, rowView.wide);
        showButton(row.narrow, rowView.narrow);
        const bool opening = rowView.quantity.visible && !row.quantity->isVisible();
        row.quantity->setVisible(rowView.quantity.visible);
        if (row.quantity->text().toStdString() != rowView.quantity.text)
            row.quantity->setText(QString::fromStdString(rowView.quantity.text));
        if (opening && rowView.quantity.textSelected)
            row.quantity->selectAll();
    }
    showButton(previous_, view.previous);
    showButton(next_, view.next);
    // The tender and the item rows share one place.
    const bool tendering = view.tenderField.visible || view.charge.visible;
    tenderBox_->setVisible(tendering);
    itemBox_->setVisible(!tendering && view.title.visible);
    showing_ = false;
}

void BillPanelWidget::showNewBills(bool newBills)
{
    if (unpaid_->autoFillBackground() == newBills)
        return;
    unpaid_->setAutoFillBackground(newBills);
    QPalette palette = QApplication::palette(unpaid_);
    QFont font = unpaid_->font();
    font.setBold(newBills);
    if (newBills) {
        palette.setColor(QPalette::Window, QColor(0xff, 0xd5, 0x4f));
        palette.setColor(QPalette::WindowText, Qt::black);
    }
    unpaid_->setPalette(palette);
    unpaid_->setFont(font);
}

void BillPanelWidget::showList(const console::BillListView& list)
{
    list_->setVisible(list.visible);
    list_->setEnabled(list.enabled);
    if (list.rows != shownRows_) {
        shownRows_ = list.rows;
        list_->setRowCount(static_cast<int>(list.rows.size()));
        for (int r = 0; r < static_cast<int>(list.rows.size()); ++r) {
            const store::BillItem& item = list.rows[static_cast<std::size_t>(r)];
            const std::array<const std::string*, 3> cells{&item.stationText, &item.description, &item.priceText};
            for (int c = 0; c < 3; ++c) {
                auto* cell = new QTableWidgetItem(QString::fromStdString(*cells[static_cast<std::size_t>(c)]));
                if (console::kBillListColumns[static_cast<std::size_t>(c)].rightAligned)
                    cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                list_->setItem(r, c, cell);
            }
        }
    }
    const QSignalBlocker blocker(list_->selectionModel());
    for (int r = 0; r < list_->rowCount(); ++r) {
        const bool selected = r < static_cast<int>(list.selected.size()) && list.selected[static_cast<std::size_t>(r)];
        const QModelIndex index = list_->model()->index(r, 0);
        if (list_->selectionModel()->isRowSelected(r, {}) != selected)
            list_->selectionModel()->select(index,
                                            (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                                QItemSelectionModel::Rows);
    }
    list_->viewport()->update();
}

void BillPanelWidget::forwardListSelection()
{
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    engine_.billPanel().setBillListSelection(rows);
}

bool BillPanelWidget::eventFilter(QObject* watched, QEvent* event)
{
    // The Delete key acts when it is released, like the list's own key handling.
    if (watched == list_ && event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && !key->isAutoRepeat()) {
            perform_([this] {
                forwardListSelection();
                engine_.billPanel().onDeleteKey();
            });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

std::optional<console::FocusTarget> BillPanelWidget::focusTargetOf(const QWidget* widget) const
{
    using Control = console::FocusTarget::Control;
    if (widget == tender_)
        return console::FocusTarget{Control::TenderField, 0};
    if (widget == charge_)
        return console::FocusTarget{Control::ChargeButton, 0};
    if (widget == list_)
        return console::FocusTarget{Control::BillList, 0};
    for (int k = 0; k < console::BillPanel::kItemRows; ++k) {
        const ItemRow& row = rows_[static_cast<std::size_t>(k)];
        if (widget == row.wide)
            return console::FocusTarget{Control::ItemButton, k};
        if (widget == row.quantity)
            return console::FocusTarget{Control::QuantityField, k};
    }
    return std::nullopt;
}

QWidget* BillPanelWidget::widgetFor(const console::FocusTarget& target) const
{
    using Control = console::FocusTarget::Control;
    const auto row = static_cast<std::size_t>(std::clamp(target.row, 0, console::BillPanel::kItemRows - 1));
    switch (target.control) {
    case Control::TenderField:
        return tender_;
    case Control::ChargeButton:
        return charge_;
    case Control::BillList:
        return list_;
    case Control::ItemButton:
        return rows_[row].wide;
    case Control::QuantityField:
        return rows_[row].quantity;
    case Control::StationTable:
    case Control::None:
        break;
    }
    return nullptr;
}

void BillPanelWidget::selectQuantityText(int row)
{
    rows_[static_cast<std::size_t>(std::clamp(row, 0, console::BillPanel::kItemRows - 1))].quantity->selectAll();
}

} // namespace console::ui
