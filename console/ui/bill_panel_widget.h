#pragma once
// The bill panel on the right of the console window, with the item rows below
// it: the open-bill selector, the alarm selector, the bill list, total, tender
// and due/change, CHARGE, Print Receipt & Charge and the item-panel button.
// It copies the engine's BillPanelView into its widgets and forwards every
// operator action to the engine through the window's `perform`, which
// refreshes the whole window afterwards. Window thread only.

#include "console/bill_panel.h"
#include "console/console_engine.h"
#include "console/station_table.h"

#include <QElapsedTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace console::ui {

class MoneyFieldEdit;

class BillPanelWidget final : public QWidget {
    Q_OBJECT
public:
    using Perform = std::function<void(const std::function<void()>& action)>;

    BillPanelWidget(console::ConsoleEngine& engine, Perform perform, QWidget* parent = nullptr);

    void show(const console::BillPanelView& view);

    // Focus bookkeeping for the window: which engine control a widget is, and back.
    std::optional<console::FocusTarget> focusTargetOf(const QWidget* widget) const;
    QWidget* widgetFor(const console::FocusTarget& target) const;
    // Selects all of a quantity field's text (it opens with "1" selected).
    void selectQuantityText(int row);

    QPushButton* chargeButton() const { return charge_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct ItemRow {
        QPushButton* wide = nullptr;
        QPushButton* narrow = nullptr;
        QLineEdit* quantity = nullptr;
    };

    void buildPanel();
    void buildList();
    void buildItemRows();
    void showNewBills(bool newBills);
    void showList(const console::BillListView& list);
    void forwardListSelection();

    console::ConsoleEngine& engine_;
    Perform perform_;

    QLabel* title_ = nullptr;
    QLabel* unpaid_ = nullptr;
    QComboBox* selector_ = nullptr;
    QLabel* alarmLabel_ = nullptr;
    QComboBox* alarm_ = nullptr;
    QLabel* caption_ = nullptr;
    QTableWidget* list_ = nullptr;
    QLabel* totalLabel_ = nullptr;
    QLabel* totalDisplay_ = nullptr;
    QLabel* tenderLabel_ = nullptr;
    MoneyFieldEdit* tender_ = nullptr;
    QLabel* dueLabel_ = nullptr;
    QLabel* dueAmount_ = nullptr;
    QPushButton* charge_ = nullptr;
    QPushButton* printReceipt_ = nullptr;
    QPushButton* itemPanelButton_ = nullptr;
    QWidget* tenderBox_ = nullptr; // tender, due or change, CHARGE and the receipt
    QWidget* itemBox_ = nullptr;   // the item rows and their pages
    QElapsedTimer itemPanelClick_;
    std::array<ItemRow, console::BillPanel::kItemRows> rows_{};
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;

    std::vector<store::BillItem> shownRows_;
    bool showing_ = false; // set while show() writes into the widgets
};

} // namespace console::ui
