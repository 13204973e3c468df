// The console window over the real engine, link and station engines: the
// session buttons, the alarm selector, Enter and Escape, and the exit.

#include "window_test_support.h"

#include "control_ids.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace console::ui::test {

using console::Column;
using namespace std::chrono_literals;

class ConsoleWindowSessionsTest : public QObject {
    Q_OBJECT
private slots:
    void everyControlCarriesItsIdentifier();
    void startAndAStopFromTheStationMakeABill();
    void stationsStoppedTogetherShareOneBill();
    void swapMovesTheSessionAndItsCharge();
    void alarmChosenForAStationStopsItsSession();
    void refillingTheAlarmSelectorKeepsTheAlarm();
    void buttonsFollowTheSelection();
    void enterPressesStartOnlyWhileItIsEnabled();
    void escapeAsksBeforeExiting();
    void exitStopsTheTimersAndTellsTheStations();
};

void ConsoleWindowSessionsTest::everyControlCarriesItsIdentifier()
{
    WindowCafe cafe({.stations = 1, .withStations = false});
    QVERIFY(cafe.ready());
    for (int controlId : {id::kOk,
                          id::kStationTable,
                          id::kStop,
                          id::kStart,
                          id::kBill,
                          id::kBillTitle,
                          id::kCharge,
                          id::kBillCaption,
                          id::kTotalDisplay,
                          id::kTenderField,
                          id::kDueAmount,
                          id::kTotalLabel,
                          id::kTenderLabel,
                          id::kDueLabel,
                          id::kBillList,
                          id::kBillSelector,
                          id::kConfiguration,
                          id::kSwap,
                          id::kItemPanelButton,
                          id::kPrintReceipt,
                          id::kAlarmSelector,
                          id::kAlarmLabel,
                          id::kNext,
                          id::kPrevious}) {
        QWidget* widget = cafe.control(controlId);
        QVERIFY2(widget != nullptr, qPrintable(QString::number(controlId)));
        QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(QString::number(controlId)));
    }
    for (int k = 0; k < 5; ++k)
        for (int base : {id::kItemButton, id::kItemNarrow, id::kItemQuantity})
            QVERIFY(cafe.control(base + k) != nullptr);
    QCOMPARE(cafe.control<QPushButton>(id::kPrintReceipt)->text(), QStringLiteral("Print Receipt\n&&\nCharge"));
    // The title names the cafe's folder.
    QVERIFY(cafe.window().windowTitle().startsWith(QStringLiteral("Brisko - /")));
    QVERIFY(cafe.window().windowTitle().endsWith(QString::fromStdString(cafe.folder().filename().string())));
    // The bill panel waits hidden until there is a bill.
    QVERIFY(!cafe.control(id::kCharge)->isVisible());
    QVERIFY(!cafe.control(id::kBillList)->isVisible());
    QVERIFY(!cafe.control<QPushButton>(id::kStart)->isEnabled());
    QVERIFY(cafe.control<QPushButton>(id::kBill)->isEnabled());
}

void ConsoleWindowSessionsTest::startAndAStopFromTheStationMakeABill()
{
    WindowCafe cafe;
    QVERIFY(cafe.ready());
    cafe.selectRows({0});
    QVERIFY(cafe.control<QPushButton>(id::kStart)->isEnabled());
    cafe.click(id::kStart);
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(cafe.status(0)), QString("Started"), 8000);
    QTRY_VERIFY_WITH_TIMEOUT(!cafe.station(0).locked(), 8000);
    cafe.tickAfter(61min + 1s);
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(cafe.text(0, Column::AccessCost)), QString("4.50"), 8000);
    QCOMPARE(cafe.table()->model()->index(0, 4).data().toString(), QStringLiteral("4.50"));

    cafe.station(0).endSession();
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(cafe.status(0)), QString("Stopped"), 8000);
    QVERIFY(cafe.control(id::kCharge)->isVisible());
    QCOMPARE(cafe.control<QLabel>(id::kBillCaption)->text(), QStringLiteral("Comp#: 1"));
    QCOMPARE(cafe.control<QLabel>(id::kTotalDisplay)->text(), QStringLiteral("4.50"));
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() == cafe.control(id::kTenderField), 8000);

    // Tender 5.00 the way a till takes it: Enter checks, Enter again charges.
    QWidget* tender = cafe.control(id::kTenderField);
    QTest::keyClicks(tender, "500");
    QTest::keyClick(tender, Qt::Key_Return);
    QCOMPARE(cafe.control<QLabel>(id::kDueLabel)->text(), QStringLiteral("CHANGE:"));
    QCOMPARE(cafe.control<QLabel>(id::kDueAmount)->text(), QStringLiteral("0.50"));
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() == cafe.control(id::kCharge), 8000);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    const auto journal = console::test::readJournal(cafe.folder());
    QCOMPARE(journal.size(), std::size_t{1});
    QCOMPARE(journal[0].lines.at(0).priceText, std::string("4.50"));
    QVERIFY(!cafe.control(id::kCharge)->isVisible());
}

void ConsoleWindowSessionsTest::stationsStoppedTogetherShareOneBill()
{
    WindowCafe cafe;
    QVERIFY(cafe.ready());
    QVERIFY(cafe.startRows({0, 2}));
    cafe.selectRows({0, 2});
    QVERIFY(cafe.control<QPushButton>(id::kStop)->isEnabled());
    cafe.click(id::kStop);
    QTRY_VERIFY_WITH_TIMEOUT(cafe.status(0) == "Stopped" && cafe.status(2) == "Stopped", 8000);
    QTRY_COMPARE_WITH_TIMEOUT(cafe.control<QLabel>(id::kBillCaption)->text(), QString("Comp#: 1, 3"), 8000);
    QCOMPARE(cafe.engine().billPanel().openBills().size(), std::size_t{1});
}

void ConsoleWindowSessionsTest::swapMovesTheSessionAndItsCharge()
{
    WindowCafe cafe;
    QVERIFY(cafe.startRows({0}));
    cafe.tickAfter(40min);
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(cafe.text(0, Column::AccessCost)), QString("2.00"), 8000);
    cafe.selectRows({0, 1});
    QVERIFY(cafe.control<QPushButton>(id::kSwap)->isEnabled());
    QVERIFY(!cafe.control<QPushButton>(id::kStart)->isEnabled());
    QVERIFY(!cafe.control<QPushButton>(id::kStop)->isEnabled());
    cafe.click(id::kSwap);
    QTRY_VERIFY_WITH_TIMEOUT(cafe.status(0) == "Stopped" && cafe.status(1) == "Started", 8000);
    QTRY_VERIFY_WITH_TIMEOUT(cafe.station(0).locked() && !cafe.station(1).locked(), 8000);
    QCOMPARE(cafe.text(1, Column::AccessCost), std::string("2.00"));
    QVERIFY(cafe.engine().billPanel().openBills().empty());
}

void ConsoleWindowSessionsTest::alarmChosenForAStationStopsItsSession()
{
    WindowCafe cafe;
    QVERIFY(cafe.startRows({1}));
    cafe.selectRows({1});
    cafe.click(id::kBill); // the station's open bill shows the alarm selector
    auto* alarm = cafe.control<QComboBox>(id::kAlarmSelector);
    QVERIFY(alarm->isVisible());
    QCOMPARE(alarm->count(), 12);
    QCOMPARE(alarm->currentText(), QStringLiteral("(none)"));
    alarm->setFocus();
    QTest::keyClick(alarm, Qt::Key_Down); // "00:10", as the operator picks it
    QCOMPARE(alarm->currentText(), QStringLiteral("00:10"));
    QCOMPARE(cafe.engine().stationState(1).alarmChoice, 1);
    cafe.tickAfter(9min);
    QCOMPARE(cafe.status(1), std::string("Started"));
    cafe.tickAfter(1min);
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(cafe.status(1)), QString("Stopped"), 8000);
    QVERIFY(cafe.station(1).locked());
}

void ConsoleWindowSessionsTest::refillingTheAlarmSelectorKeepsTheAlarm()
{
    WindowCafe cafe;
    QVERIFY(cafe.startRows({0, 1}));
    cafe.selectRows({0});
    cafe.click(id::kBill);
    auto* alarm = cafe.control<QComboBox>(id::kAlarmSelector);
    alarm->setFocus();
    QTest::keyClick(alarm, Qt::Key_Down);
    QTest::keyClick(alarm, Qt::Key_Down); // "00:20"
    QCOMPARE(cafe.engine().stationState(0).alarmChoice, 2);
    // Another station's bill refills the selector with that station's "(none)";
    // coming back shows "00:20" again. Neither is the operator's choice.
    cafe.selectRows({1});
    cafe.click(id::kBill);
    QCOMPARE(alarm->currentText(), QStringLiteral("(none)"));
    cafe.selectRows({0});
    cafe.click(id::kBill);
    QCOMPARE(alarm->currentText(), QStringLiteral("00:20"));
    QCOMPARE(cafe.engine().stationState(0).alarmChoice, 2);
    QCOMPARE(cafe.engine().stationState(1).alarmChoice, 0);
}

void ConsoleWindowSessionsTest::buttonsFollowTheSelection()
{
    WindowCafe cafe;
    QVERIFY(cafe.startRows({0}));
    auto enabled = [&](int controlId) { return cafe.control<QPushButton>(controlId)->isEnabled(); };
    cafe.selectRows({1, 2});
    QVERIFY(enabled(id::kStart) && !enabled(id::kStop) && !enabled(id::kSwap));
    QVERIFY(cafe.control<QPushButton>(id::kStart)->isDefault());
    cafe.selectRows({0});
    QVERIFY(!enabled(id::kStart) && enabled(id::kStop) && !enabled(id::kSwap));
    QVERIFY(cafe.control<QPushButton>(id::kBill)->isDefault());
    cafe.selectRows({0, 1});
    QVERIFY(!enabled(id::kStart) && !enabled(id::kStop) && enabled(id::kSwap));
    // Leaving the table disables Start and Stop.
    cafe.selectRows({1});
    QVERIFY(enabled(id::kStart));
    cafe.control(id::kConfiguration)->setFocus();
    QVERIFY(!enabled(id::kStart));
}

void ConsoleWindowSessionsTest::enterPressesStartOnlyWhileItIsEnabled()
{
    WindowCafe cafe;
    QVERIFY(cafe.ready());
    cafe.selectRows({2});
    QTest::keyClick(cafe.table(), Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(cafe.status(2)), QString("Started"), 8000);
    // A walk-in bill with a line, then a stopped row: Start is the default
    // button. Once the bill list has the focus, Start is disabled and Enter
    // must not start the row.
    cafe.selectRows({});
    cafe.click(id::kBill);
    cafe.click(id::kItemButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // quantity 1
    cafe.selectRows({1});
    QVERIFY(cafe.control<QPushButton>(id::kStart)->isDefault());
    QWidget* list = cafe.control(id::kBillList);
    list->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() == list, 8000);
    QVERIFY(!cafe.control<QPushButton>(id::kStart)->isEnabled());
    QTest::keyClick(list, Qt::Key_Return);
    QTest::qWait(300);
    QCOMPARE(cafe.status(1), std::string("Stopped"));
}

void ConsoleWindowSessionsTest::escapeAsksBeforeExiting()
{
    WindowCafe cafe({.stations = 1});
    QVERIFY(cafe.ready());
    QString question;
    answerMessageBox(QMessageBox::No, &question);
    QTest::keyClick(cafe.table(), Qt::Key_Escape);
    QCOMPARE(question, QStringLiteral("Exit Brisko?"));
    QVERIFY(!cafe.engine().hasEnded());
    QVERIFY(cafe.window().timersRunning());
    QVERIFY(cafe.window().isVisible());
    // The stations keep their link.
    QTest::qWait(300);
    QCOMPARE(cafe.status(0), std::string("Stopped"));
}

void ConsoleWindowSessionsTest::exitStopsTheTimersAndTellsTheStations()
{
    WindowCafe cafe({.stations = 1});
    QVERIFY(cafe.ready());
    QSignalSpy ended(&cafe.window(), &ConsoleWindow::consoleEnded);
    cafe.stopStations();
    answerMessageBox(QMessageBox::Yes);
    cafe.window().close();
    QVERIFY(cafe.engine().hasEnded());
    QCOMPARE(ended.count(), 1);
    QVERIFY(!cafe.window().timersRunning());
    QVERIFY(!cafe.window().isVisible());
    // A second close request does nothing.
    cafe.window().close();
    QCOMPARE(ended.count(), 1);
}

} // namespace console::ui::test

QTEST_MAIN(console::ui::test::ConsoleWindowSessionsTest)
#include "console_window_sessions_test.moc"
