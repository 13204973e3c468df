// The till as a hurried operator uses it, with real clicks and keys on the
// real window: Enter and clicks repeated after CHARGE, a short tender, the
// tender field clicked into or selected whole, Enter after an item, the item
// page of a new bill, a receipt without a printer, and bills that come in
// from the stations while the operator is busy.

#include "window_test_support.h"

#include "control_ids.h"
#include "money_field_edit.h"

#include "console/texts.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

namespace console::ui::test {

using namespace std::chrono_literals;

namespace {

// Answers every message box while it lives with one button and keeps what they said.
class MessageBoxes {
public:
    explicit MessageBoxes(QMessageBox::StandardButton answer) : answer_(answer)
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible() || box->button(answer_) == nullptr)
                return;
            shown << box->text();
            box->button(answer_)->click();
        });
        poll_.start(10);
    }
    void answer(QMessageBox::StandardButton answer) { answer_ = answer; }
    QStringList shown;

private:
    QMessageBox::StandardButton answer_;
    QTimer poll_;
};

std::size_t journalled(WindowCafe& cafe) { return console::test::readJournal(cafe.folder()).size(); }

void pressEnter() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }

} // namespace

class ConsoleWindowTillTest : public QObject {
    Q_OBJECT
private slots:
    void repeatedEnterAndClicksAfterChargeChargeNothingMore();
    void tenderFieldTakesDigitsAlikeFromMouseAndKeyboard();
    void enterAfterAnItemAddsNothingAndNewBillsOpenOnTheFirstPage();
    void receiptWithoutAPrinterAsksBeforeCharging();
};

// Three session bills come in while the operator works on the first; each
// charge is one deliberate act, and a short tender is asked about.
void ConsoleWindowTillTest::repeatedEnterAndClicksAfterChargeChargeNothingMore()
{
    WindowCafe cafe({.stations = 3});
    QVERIFY(cafe.ready());
    cafe.window().show();
    const QSize size = cafe.window().size();
    QVERIFY(cafe.startRows({0, 1, 2}));
    cafe.tickAfter(61s);
    for (int i = 0; i < 3; ++i) {
        cafe.station(i).endSession();
        QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(cafe.status(i)), QString("Stopped"), 8000);
    }
    QTRY_VERIFY_WITH_TIMEOUT(cafe.engine().billPanel().openBills().size() == 3, 8000);
    // The first bill is on display; the two others are announced.
    auto* unpaid = cafe.control<QLabel>(id::kUnpaidNotice);
    QCOMPARE(unpaid->text(), QStringLiteral("3 unpaid bills, 2 new"));
    QVERIFY(unpaid->font().bold());
    auto* selector = cafe.control<QComboBox>(id::kBillSelector);
    QVERIFY(selector->isVisible());
    QVERIFY(selector->itemText(0).startsWith(QStringLiteral("Comp#: 1  (")));
    QVERIFY(selector->itemText(1).startsWith(QStringLiteral("\u25CF Comp#: 2  (")));
    QCOMPARE(cafe.window().size(), size); // the selector and the bill came without moving anything

    MessageBoxes boxes(QMessageBox::No);
    QWidget* tender = cafe.control(id::kTenderField);
    auto* charge = cafe.control<QPushButton>(id::kCharge);
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() == tender, 8000);
    QTest::keyClicks(tender, "500");
    pressEnter(); // the check: CHANGE, the focus on CHARGE
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() == charge, 8000);
    pressEnter(); // charges the first bill
    QCOMPARE(journalled(cafe), std::size_t{1});
    QVERIFY(!charge->isEnabled());
    QVERIFY(!charge->isDefault());
    pressEnter();
    pressEnter();
    QCOMPARE(journalled(cafe), std::size_t{1});
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(cafe.control<QLabel>(id::kDueLabel)->text(), QStringLiteral("DUE:"));

    // A double click on CHARGE pays the bill acted on, and not the next one.
    QTest::keyClicks(tender, "500");
    pressEnter();
    QTest::mouseClick(charge, Qt::LeftButton);
    QTest::mouseClick(charge, Qt::LeftButton);
    QCOMPARE(journalled(cafe), std::size_t{2});
    QCOMPARE(unpaid->text(), QStringLiteral("1 unpaid bill"));
    QVERIFY(!unpaid->font().bold());

    // 1.00 tendered on 1.50: No keeps the bill, Yes charges it; the log shows both amounts.
    QTest::keyClicks(tender, "100");
    pressEnter();
    QCOMPARE(cafe.control<QLabel>(id::kDueAmount)->text(), QStringLiteral("0.50"));
    QTest::mouseClick(charge, Qt::LeftButton);
    QCOMPARE(boxes.shown, QStringList{QStringLiteral("Tender is 0.50 short. Charge anyway?")});
    QCOMPARE(journalled(cafe), std::size_t{2});
    boxes.answer(QMessageBox::Yes);
    QTest::mouseClick(charge, Qt::LeftButton);
    QCOMPARE(journalled(cafe), std::size_t{3});
    const auto events = console::test::logEvents(cafe.folder());
    QVERIFY(console::test::hasEvent(events, "TENDER,1.00"));
    QCOMPARE(std::count(events.begin(), events.end(), std::string("CHARGE,1.50")), 3);
}

void ConsoleWindowTillTest::tenderFieldTakesDigitsAlikeFromMouseAndKeyboard()
{
    WindowCafe cafe({.stations = 1, .withStations = false});
    QVERIFY(cafe.ready());
    cafe.selectRows({});
    cafe.click(id::kBill);
    cafe.click(id::kItemButton); // Coffee, 1.50
    pressEnter();
    cafe.click(id::kItemPanelButton);
    auto* tender = cafe.control<MoneyFieldEdit>(id::kTenderField);
    cafe.table()->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() == cafe.table(), 8000);

    // A click at the left edge of the right-aligned amount: "5" is 0.05, not 50.00.
    QTest::mouseClick(tender, Qt::LeftButton, {}, QPoint(4, tender->height() / 2));
    QCOMPARE(QApplication::focusWidget(), tender);
    QTest::keyClicks(tender, "5");
    QCOMPARE(tender->text(), QStringLiteral("0.05"));
    // Select-all and "120" is 1.20, as the digits shift in from the right.
    QTest::keyClick(tender, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(tender, "120");
    QCOMPARE(tender->text(), QStringLiteral("1.20"));
    // A key the field refuses is shown.
    QSignalSpy refused(tender, &ModelLineEdit::refused);
    QTest::keyClicks(tender, "x");
    QCOMPARE(refused.count(), 1);
    QCOMPARE(tender->text(), QStringLiteral("1.20"));
    QVERIFY(tender->palette().color(QPalette::Base) != QApplication::palette(tender).color(QPalette::Base));
    pressEnter();
    QCOMPARE(cafe.control<QLabel>(id::kDueAmount)->text(), QStringLiteral("0.30"));
}

void ConsoleWindowTillTest::enterAfterAnItemAddsNothingAndNewBillsOpenOnTheFirstPage()
{
    WindowCafe cafe({.stations = 1, .withStations = false});
    QVERIFY(cafe.ready());
    cafe.selectRows({});
    cafe.click(id::kBill);
    auto* list = cafe.control<QTableWidget>(id::kBillList);
    cafe.click(id::kItemButton + 3); // Soda
    QCOMPARE(QApplication::focusWidget(), cafe.control(id::kItemQuantity + 3));
    pressEnter(); // confirms the quantity, and only that
    pressEnter();
    pressEnter();
    QCOMPARE(list->rowCount(), 1);
    QCOMPARE(QApplication::focusWidget(), list);

    // The operator pages on, tenders, and opens a new bill: it starts on the first page.
    cafe.click(id::kNext);
    QCOMPARE(cafe.control<QPushButton>(id::kItemButton)->text(), QStringLiteral("USB stick"));
    cafe.click(id::kItemPanelButton);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    cafe.click(id::kBill);
    QCOMPARE(cafe.control<QPushButton>(id::kItemButton)->text(), QStringLiteral("Coffee"));
    QCOMPARE(cafe.engine().billPanel().pageStart(), 0);
}

void ConsoleWindowTillTest::receiptWithoutAPrinterAsksBeforeCharging()
{
    WindowCafe cafe({.stations = 1, .withStations = false});
    QVERIFY(cafe.ready());
    cafe.window().receiptPrinter().setPrinterNames([] { return QStringList{}; });
    cafe.selectRows({});
    cafe.click(id::kBill);
    cafe.click(id::kItemButton);
    pressEnter();
    cafe.click(id::kItemPanelButton);
    auto* print = cafe.control<QPushButton>(id::kPrintReceipt);
    QVERIFY(print->isVisible() && print->isEnabled());

    MessageBoxes boxes(QMessageBox::No);
    QTest::mouseClick(print, Qt::LeftButton);
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(boxes.shown[0].startsWith(QStringLiteral("No printer is available for the receipt.")));
    QCOMPARE(journalled(cafe), std::size_t{0});
    boxes.answer(QMessageBox::Yes);
    QTest::mouseClick(print, Qt::LeftButton);
    QCOMPARE(journalled(cafe), std::size_t{1});
}

} // namespace console::ui::test

QTEST_MAIN(console::ui::test::ConsoleWindowTillTest)
#include "console_window_till_test.moc"
