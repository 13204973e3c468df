// The console window's bill panel over the real engine: sale items and their
// quantities, a price that varies, tender, CHARGE, a receipt printed to PDF,
// the Delete key in the bill list, and the configuration dialog's commands.

#include "window_test_support.h"

#include "control_ids.h"
#include "money_field_edit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace console::ui::test {

using console::Column;
using namespace std::chrono_literals;

namespace {

// The walk-in bill with its item panel open.
void openWalkInBill(WindowCafe& cafe)
{
    cafe.selectRows({});
    cafe.click(id::kBill);
}

QString cellText(WindowCafe& cafe, int row, int column)
{
    return cafe.control<QTableWidget>(id::kBillList)->item(row, column)->text();
}

QString pdfText(const QString& file)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    pdftotext.waitForFinished(10000);
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

} // namespace

class ConsoleWindowBillsTest : public QObject {
    Q_OBJECT
private slots:
    void itemsAndAQuantityMakeAWalkInBill();
    void aPriceThatVariesIsAsked();
    void tenderBelowTheAmountDueShowsWhatIsDue();
    void itemsOnARunningStationRaiseItsExtras();
    void deleteKeyRemovesLinesAndThenTheBill();
    void receiptIsPrintedAndTheBillCharged();
    void configurationTerminatesTheSelectedStations();
};

void ConsoleWindowBillsTest::itemsAndAQuantityMakeAWalkInBill()
{
    WindowCafe cafe({.stations = 1, .withStations = false});
    QVERIFY(cafe.ready());
    openWalkInBill(cafe);
    QCOMPARE(cafe.control<QLabel>(id::kBillCaption)->text(), QStringLiteral("Open Bill"));
    auto* coffee = cafe.control<QPushButton>(id::kItemButton);
    QVERIFY(coffee->isVisible());
    QCOMPARE(coffee->text(), QStringLiteral("Coffee"));
    QCOMPARE(cafe.control<QPushButton>(id::kItemButton + 1)->text(), QStringLiteral("Tea && Cake"));
    QVERIFY(cafe.control(id::kNext)->isVisible());
    QVERIFY(!cafe.control(id::kPrevious)->isVisible());

    cafe.click(id::kItemButton);
    auto* quantity = cafe.control<QLineEdit>(id::kItemQuantity);
    QVERIFY(quantity->isVisible());
    QCOMPARE(quantity->text(), QStringLiteral("1"));
    QCOMPARE(quantity->selectedText(), QStringLiteral("1"));
    QCOMPARE(QApplication::focusWidget(), quantity);
    QTest::keyClicks(quantity, "3");
    QTest::keyClick(quantity, Qt::Key_Return);
    QCOMPARE(cellText(cafe, 0, 1), QStringLiteral("Coffee x 3"));
    QCOMPARE(cellText(cafe, 0, 2), QStringLiteral("4.50"));
    QVERIFY(!quantity->isVisible());
    QVERIFY(cafe.control(id::kItemButton)->isVisible());

    // The second page holds the sixth item.
    cafe.click(id::kNext);
    QCOMPARE(cafe.control<QPushButton>(id::kItemButton)->text(), QStringLiteral("USB stick"));
    QVERIFY(!cafe.control(id::kItemButton + 1)->isVisible());
    QVERIFY(cafe.control(id::kPrevious)->isVisible());
    cafe.click(id::kPrevious);

    // Tender: the item-panel button turns to tendering.
    QCOMPARE(cafe.control<QPushButton>(id::kItemPanelButton)->text(), QStringLiteral("Tender"));
    cafe.click(id::kItemPanelButton);
    QVERIFY(cafe.control(id::kCharge)->isVisible());
    QCOMPARE(cafe.control<QLabel>(id::kTotalDisplay)->text(), QStringLiteral("4.50"));
    // Nothing tendered: CHARGE asks first, and No keeps the bill open.
    QString asked;
    answerMessageBox(QMessageBox::No, &asked);
    cafe.click(id::kCharge);
    QCOMPARE(asked, QStringLiteral("Tender is 4.50 short. Charge anyway?"));
    QVERIFY(console::test::readJournal(cafe.folder()).empty());
    answerMessageBox(QMessageBox::Yes);
    cafe.click(id::kCharge);
    const auto journal = console::test::readJournal(cafe.folder());
    QCOMPARE(journal.size(), std::size_t{1});
    QCOMPARE(journal[0].lines.at(0).description, std::string("Coffee x 3"));
}

void ConsoleWindowBillsTest::aPriceThatVariesIsAsked()
{
    WindowCafe cafe({.stations = 1, .withStations = false});
    QVERIFY(cafe.ready());
    openWalkInBill(cafe);
    QString question;
    whenModal([&question](QWidget* modal) {
        auto* price = modal->findChild<MoneyFieldEdit*>();
        if (price == nullptr)
            return false;
        for (auto* label : modal->findChildren<QLabel*>())
            if (label->text().startsWith(QStringLiteral("Enter price")))
                question = label->text();
        QTest::keyClicks(price, "1250");
        for (auto* button : modal->findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("OK"))
                button->click();
        return true;
    });
    cafe.click(id::kItemButton + 2);
    QCOMPARE(question, QStringLiteral("Enter price for item:\"Repairs\""));
    QCOMPARE(cellText(cafe, 0, 1), QStringLiteral("Repairs"));
    QCOMPARE(cellText(cafe, 0, 2), QStringLiteral("12.50"));
}

void ConsoleWindowBillsTest::tenderBelowTheAmountDueShowsWhatIsDue()
{
    WindowCafe cafe({.stations = 1, .withStations = false});
    QVERIFY(cafe.ready());
    openWalkInBill(cafe);
    cafe.click(id::kItemButton + 1); // Tea & Cake, 3.20
    cafe.click(id::kItemPanelButton);
    QWidget* tender = cafe.control(id::kTenderField);
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() == tender, 8000);
    QTest::keyClicks(tender, "300");
    QTest::keyClick(tender, Qt::Key_Return);
    QCOMPARE(cafe.control<QLabel>(id::kDueLabel)->text(), QStringLiteral("DUE:"));
    QCOMPARE(cafe.control<QLabel>(id::kDueAmount)->text(), QStringLiteral("0.20"));
    QCOMPARE(QApplication::focusWidget(), tender);
    QVERIFY(console::test::readJournal(cafe.folder()).empty());
}

void ConsoleWindowBillsTest::itemsOnARunningStationRaiseItsExtras()
{
    WindowCafe cafe({.stations = 2});
    QVERIFY(cafe.startRows({1}));
    cafe.selectRows({1});
    cafe.click(id::kBill);
    QCOMPARE(cafe.control<QLabel>(id::kBillCaption)->text(), QStringLiteral("Open Bill: Comp#: 2"));
    cafe.click(id::kItemButton); // Coffee 1.50
    QCOMPARE(cafe.text(1, Column::Extras), std::string("1.50"));
    QCOMPARE(cafe.control<QPushButton>(id::kItemPanelButton)->text(), QStringLiteral("Stop PC#2"));
    cafe.click(id::kItemPanelButton); // Stop PC#2
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(cafe.status(1)), QString("Stopped"), 8000);
    QTRY_COMPARE_WITH_TIMEOUT(cafe.control<QLabel>(id::kBillCaption)->text(), QString("Comp#: 2"), 8000);
    auto* list = cafe.control<QTableWidget>(id::kBillList);
    QCOMPARE(list->rowCount(), 2);
    QCOMPARE(list->item(1, 1)->text(), QStringLiteral("Coffee"));
}

void ConsoleWindowBillsTest::deleteKeyRemovesLinesAndThenTheBill()
{
    WindowCafe cafe({.stations = 1, .withStations = false});
    QVERIFY(cafe.ready());
    openWalkInBill(cafe);
    cafe.click(id::kItemButton);
    cafe.click(id::kItemButton + 3);
    auto* list = cafe.control<QTableWidget>(id::kBillList);
    QCOMPARE(list->rowCount(), 2);
    list->setFocus();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0, 1)).center());
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(list->rowCount(), 1);
    QCOMPARE(list->item(0, 1)->text(), QStringLiteral("Soda"));
    QCOMPARE(cafe.control<QLabel>(id::kTotalDisplay)->text(), QStringLiteral("1.00"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0, 1)).center());
    QTest::keyClick(list, Qt::Key_Delete);
    QVERIFY(cafe.engine().billPanel().openBills().empty());
    QVERIFY(!list->isVisible());
    const auto events = console::test::logEvents(cafe.folder());
    QVERIFY(console::test::hasEvent(events, "DELETE,Coffee,1.50"));
    QVERIFY(console::test::hasEvent(events, "DELETED BILL,Open Bill"));
}

void ConsoleWindowBillsTest::receiptIsPrintedAndTheBillCharged()
{
    WindowCafe cafe({.stations = 1, .withStations = false});
    QVERIFY(cafe.ready());
    QTemporaryDir output;
    const QString pdf = output.filePath(QStringLiteral("receipt.pdf"));
    cafe.window().receiptPrinter().setChooser([pdf](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    openWalkInBill(cafe);
    cafe.click(id::kItemButton + 1);
    cafe.click(id::kItemButton + 4);
    cafe.click(id::kItemPanelButton);
    cafe.click(id::kPrintReceipt); // nothing tendered: the total counts as tendered
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("Tea & Cake")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Sandwich")));
    QVERIFY(text.contains(QStringLiteral("6.00")));
    QVERIFY(text.contains(QStringLiteral("Tendered:")));
    QVERIFY(text.contains(QStringLiteral("Change:")));
    QVERIFY(text.contains(QStringLiteral("0.00")));
    QCOMPARE(console::test::readJournal(cafe.folder()).size(), std::size_t{1});
}

void ConsoleWindowBillsTest::configurationTerminatesTheSelectedStations()
{
    WindowCafe cafe({.stations = 2});
    QVERIFY(cafe.ready());
    cafe.selectRows({1});
    acceptPasswordPrompt();
    bool shown = false;
    whenModal([&shown](QWidget* modal) {
        auto* terminate = modal->findChild<QCheckBox*>(QStringLiteral("terminateClientsCheck"));
        auto* ok = modal->findChild<QPushButton*>(QStringLiteral("okButton"));
        if (terminate == nullptr || ok == nullptr)
            return false;
        shown = modal->windowTitle() == QStringLiteral("Configuration");
        terminate->setChecked(true);
        ok->click();
        return true;
    });
    cafe.click(id::kConfiguration);
    QVERIFY(shown);
    QTRY_VERIFY_WITH_TIMEOUT(cafe.station(1).quitRequested(), 8000);
    QVERIFY(!cafe.station(0).quitRequested());
}

} // namespace console::ui::test

QTEST_MAIN(console::ui::test::ConsoleWindowBillsTest)
#include "console_window_bills_test.moc"
