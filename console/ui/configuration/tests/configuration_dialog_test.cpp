// The configuration dialog's widgets over real page models and real files:
// what the widgets show, what they forward, and what they keep from happening.

#include "configuration_test_rig.h"
#include "ipv4_address_edit.h"
#include "page_list_view.h"
#include "qt_configuration_host.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace console::ui::test {
namespace {

using console::configuration::ConfigurationDialogModel;
using console::configuration::ConfigurationTab;
using Result = ConfigurationDialogModel::Result;

const std::vector<store::ClientEntry> kThreeStations{
    {"PC1", {{10, 0, 0, 1}}}, {"PC2", {{10, 0, 0, 2}}}, {"PC3", {{10, 0, 0, 3}}}};

QStringList rowTexts(const PageListView* list, int row)
{
    QStringList texts;
    for (int c = 0; c < list->model()->columnCount(); ++c)
        texts << list->cellText(row, c);
    return texts;
}

QStringList octets(const Ipv4AddressEdit* edit)
{
    QStringList texts;
    for (int i = 0; i < 4; ++i)
        texts << edit->octetEdit(i)->text();
    return texts;
}

Qt::Alignment columnAlignment(const PageListView* list, int column)
{
    return list->model()->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() &
           Qt::AlignHorizontal_Mask;
}

// The tab's page, shown by clicking its tab.
QWidget* showTab(ConfigurationRig& rig, ConfigurationTab tab)
{
    auto* tabs = rig.find<QTabWidget>("tabs");
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(static_cast<int>(tab)).center());
    return tabs->currentWidget();
}

// Opens the dialog, shows the tab's page by its tab and gives the page's list.
PageListView* openOnTab(ConfigurationRig& rig, ConfigurationTab tab)
{
    rig.openDialog();
    return showTab(rig, tab)->findChild<PageListView*>();
}

} // namespace

class ConfigurationDialogTest : public QObject {
    Q_OBJECT
private slots:
    void dialogShowsTheModelAndNamesEveryControl();
    void listsShowTheColumnsAndFitAtTheDefaultSize();
    void tabsTicksAndTabOrder();
    void okSavesOnlyWhenThePasswordsMatch();
    void okWhileAPageFieldHasTheFocus();
    void cancelEscapeAndTheCloseBoxSaveNothing();
    void enterAndEscapeInsideThePagesDoNothing();
    void addressEditMovesAlongTheOctets();
    void clientsPageEditsTheSelectedStations();
    void clientsPageCountAsksBeforeDeleting();
    void posItemsPageEditsNamePriceAndFixedPrice();
    void printersPageGivesEveryPrinterTheServerName();
    void ratesPageEditorFollowsTheRowAndTestCharges();
    void hostRunsTheDialogModallyOnItsParent();
};

void ConfigurationDialogTest::dialogShowsTheModelAndNamesEveryControl()
{
    ConfigurationRig rig;
    rig.writeReceiptLines("Corner Cafe", "Open late");
    rig.chargeBill("2.50");
    ConfigurationDialog& dialog = rig.openDialog();

    QCOMPARE(dialog.windowTitle(), QString("Configuration"));
    for (const char* name : {"passwordEdit",
                             "confirmEdit",
                             "receiptLine1Edit",
                             "receiptLine2Edit",
                             "dayTotalLabel",
                             "tabs",
                             "terminateClientsCheck",
                             "shutdownClientsCheck",
                             "okButton",
                             "cancelButton",
                             "clients.list",
                             "clients.count",
                             "clients.computer",
                             "clients.name",
                             "clients.address",
                             "clients.save",
                             "posItems.list",
                             "posItems.count",
                             "posItems.item",
                             "posItems.name",
                             "posItems.price",
                             "posItems.fixedPrice",
                             "posItems.save",
                             "printers.list",
                             "printers.count",
                             "printers.printer",
                             "printers.serverName",
                             "printers.printerName",
                             "printers.pageCost",
                             "printers.save",
                             "rates.list",
                             "rates.count",
                             "rates.rate",
                             "rates.duration",
                             "rates.blockCount",
                             "rates.charge",
                             "rates.save",
                             "rates.testDuration",
                             "rates.test",
                             "rates.testResult"}) {
        const auto found = dialog.findChildren<QWidget*>(name);
        QVERIFY2(found.size() == 1 && !found.front()->accessibleName().isEmpty(), name);
    }
    QCOMPARE(rig.find<QLineEdit>("passwordEdit")->echoMode(), QLineEdit::Password);
    QCOMPARE(rig.find<QLineEdit>("confirmEdit")->echoMode(), QLineEdit::Password);
    QCOMPARE(rig.find<QLineEdit>("receiptLine1Edit")->text(), QString("Corner Cafe"));
    QCOMPARE(rig.find<QLineEdit>("receiptLine2Edit")->text(), QString("Open late"));
    auto* total = rig.find<QLabel>("dayTotalLabel");
    QCOMPARE(total->text(), QString("2.50"));
    QVERIFY(total->alignment() & Qt::AlignRight);
    QVERIFY(total->font().bold() && total->font().pointSizeF() > dialog.font().pointSizeF());

    auto* tabs = rig.find<QTabWidget>("tabs");
    const QStringList captions{"Clients", "POS Items", "Printers", "Rates"};
    QCOMPARE(tabs->count(), 4);
    for (int i = 0; i < tabs->count(); ++i)
        QCOMPARE(tabs->tabText(i), captions[i]);
    QCOMPARE(tabs->currentWidget()->objectName(), QString("clientsPage"));
    QVERIFY(rig.find<QPushButton>("okButton")->isDefault());
}

void ConfigurationDialogTest::listsShowTheColumnsAndFitAtTheDefaultSize()
{
    ConfigurationRig rig;
    ConfigurationDialog& dialog = rig.openDialog();
    auto* rates = rig.find<PageListView>("rates.list");
    QCOMPARE(rates->model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Block duration"));
    QCOMPARE(rates->header()->sectionSize(3), 60);  // its own width: the caption fits
    QVERIFY(rates->header()->sectionSize(1) >= 95); // widened where the caption needs it
    QCOMPARE(columnAlignment(rates, 1), Qt::AlignLeft);
    QCOMPARE(columnAlignment(rates, 2), Qt::AlignHCenter);
    QCOMPARE(columnAlignment(rates, 3), Qt::AlignRight);
    QCOMPARE(rates->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(rates->selectionBehavior(), QAbstractItemView::SelectRows);

    // Every page's columns are in view as the dialog opens; the lists take what
    // a larger dialog gives.
    for (const auto tab :
         {ConfigurationTab::Clients, ConfigurationTab::PosItems, ConfigurationTab::Printers, ConfigurationTab::Rates}) {
        auto* list = showTab(rig, tab)->findChild<PageListView*>();
        QVERIFY2(list->header()->length() <= list->viewport()->width(), qPrintable(list->objectName()));
    }
    const int listWidth = rates->width();
    dialog.resize(dialog.width() + 200, dialog.height() + 100);
    QTRY_VERIFY(rates->width() > listWidth);
}

void ConfigurationDialogTest::tabsTicksAndTabOrder()
{
    ConfigurationRig rig;
    rig.write<store::ClientCodec>(kThreeStations);
    rig.openDialog();
    QCOMPARE(showTab(rig, ConfigurationTab::Rates)->objectName(), QString("ratesPage"));
    QCOMPARE(rig.model().currentTab(), ConfigurationTab::Rates);
    QVERIFY(!rig.find<QWidget>("clientsPage")->isVisible());
    showTab(rig, ConfigurationTab::Clients);
    QCOMPARE(rig.model().currentTab(), ConfigurationTab::Clients);

    // Tab goes through the page between the tab headers and the bottom row;
    // "Computer:" is disabled, so Tab passes it by.
    clickRow(rig.find<PageListView>("clients.list"), 0);
    rig.find<QLineEdit>("passwordEdit")->setFocus();
    QStringList visited;
    while (visited.size() < 20 && QApplication::focusWidget() != rig.find<QWidget>("cancelButton")) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, (QStringList{"confirmEdit", "receiptLine1Edit", "receiptLine2Edit", "cafeKeyField",
                                   "qt_tabwidget_tabbar", "clients.list", "clients.count", "clients.name", "octet0",
                                   "octet1", "octet2", "octet3", "clients.save", "terminateClientsCheck",
                                   "shutdownClientsCheck", "okButton", "cancelButton"}));

    tick(rig.find<QCheckBox>("terminateClientsCheck"));
    tick(rig.find<QCheckBox>("shutdownClientsCheck"));
    click(rig.find<QPushButton>("okButton"));
    QCOMPARE(rig.model().clientCommand(), console::configuration::ClientCommand::Quit);
    // The next showing starts unticked, on the Clients page.
    rig.openDialog();
    QVERIFY(!rig.find<QCheckBox>("terminateClientsCheck")->isChecked());
    QCOMPARE(rig.find<QTabWidget>("tabs")->currentWidget()->objectName(), QString("clientsPage"));
    tick(rig.find<QCheckBox>("shutdownClientsCheck"));
    click(rig.find<QPushButton>("okButton"));
    QCOMPARE(rig.model().clientCommand(), console::configuration::ClientCommand::Shutdown);
}

void ConfigurationDialogTest::okSavesOnlyWhenThePasswordsMatch()
{
    ConfigurationRig rig;
    ConfigurationDialog& dialog = rig.openDialog();
    typeOver(rig.find<QLineEdit>("passwordEdit"), "secret");
    typeOver(rig.find<QLineEdit>("confirmEdit"), "Secret");
    typeOver(rig.find<QLineEdit>("receiptLine1Edit"), "Corner Cafe");
    click(rig.find<QPushButton>("okButton"));
    QCOMPARE(rig.prompts.messages, Strings{"Passwords do not match"});
    QVERIFY(dialog.isVisible() && rig.model().isOpen());
    QVERIFY(rig.readBytes("BriskoConfig").empty());

    // Enter outside the pages presses OK.
    typeOver(rig.find<QLineEdit>("confirmEdit"), "secret");
    QTest::keyClick(rig.find<QLineEdit>("confirmEdit"), Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(rig.model().result(), Result::Ok);
    QCOMPARE(rig.find<QWidget>("clientsPage"), nullptr); // the pages went with the model's
    QVERIFY(rig.savedPasswordIs("secret"));
    QCOMPARE(store::Configuration::decode(rig.readBytes("BriskoConfig")).line1, std::string("Corner Cafe"));
    rig.openDialog();
    QCOMPARE(rig.find<QLineEdit>("passwordEdit")->text(), QString("secret"));
}

// The money field tells its model when it loses the focus; that must happen
// before OK closes the pages, not while the dialog hides.
void ConfigurationDialogTest::okWhileAPageFieldHasTheFocus()
{
    ConfigurationRig rig;
    rig.write<store::SaleItemCodec>({{"Tea", 1.50, true}});
    ConfigurationDialog& dialog = rig.openDialog();
    showTab(rig, ConfigurationTab::PosItems);
    clickRow(rig.find<PageListView>("posItems.list"), 0);
    auto* price = rig.find<QLineEdit>("posItems.price");
    price->setFocus();
    QCOMPARE(QApplication::focusWidget(), price);
    rig.find<QPushButton>("okButton")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(rig.model().result(), Result::Ok);
}

void ConfigurationDialogTest::cancelEscapeAndTheCloseBoxSaveNothing()
{
    ConfigurationRig rig;
    const std::function<void(ConfigurationDialog&)> ways[]{
        [&rig](ConfigurationDialog&) { click(rig.find<QPushButton>("cancelButton")); },
        [&rig](ConfigurationDialog&) { QTest::keyClick(rig.find<QLineEdit>("passwordEdit"), Qt::Key_Escape); },
        [](ConfigurationDialog& dialog) { dialog.close(); },
    };
    for (const auto& closeIt : ways) {
        ConfigurationDialog& dialog = rig.openDialog();
        typeOver(rig.find<QLineEdit>("passwordEdit"), "secret");
        typeOver(rig.find<QLineEdit>("confirmEdit"), "secret");
        typeOver(rig.find<QLineEdit>("receiptLine1Edit"), "Corner Cafe");
        closeIt(dialog);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(rig.model().result(), Result::Cancel);
        QCOMPARE(rig.find<QWidget>("ratesPage"), nullptr);
        QVERIFY(rig.readBytes("BriskoConfig").empty());
    }
    rig.openDialog();
    QCOMPARE(rig.find<QLineEdit>("passwordEdit")->text(), QString());
}

void ConfigurationDialogTest::enterAndEscapeInsideThePagesDoNothing()
{
    ConfigurationRig rig;
    rig.write<store::ClientCodec>(kThreeStations);
    rig.writeStandardRates();
    rig.write<store::SaleItemCodec>({{"Tea", 1.50, true}, {"Cake", 2.00, true}});
    rig.write<store::PrinterCodec>({{"SRV", "Laser", 0.10}, {"SRV", "Colour", 0.50}});
    ConfigurationDialog& dialog = rig.openDialog();

    const std::pair<ConfigurationTab, QStringList> pages[]{
        {ConfigurationTab::Clients, {"clients.count", "clients.name", "octet2", "clients.list", "clients.save"}},
        {ConfigurationTab::PosItems, {"posItems.count", "posItems.name", "posItems.price", "posItems.fixedPrice"}},
        {ConfigurationTab::Printers, {"printers.count", "printers.serverName", "printers.pageCost", "printers.save"}},
        {ConfigurationTab::Rates,
         {"rates.count", "rates.duration", "rates.blockCount", "rates.charge", "rates.testDuration", "rates.test"}},
    };
    for (const auto& [tab, controls] : pages) {
        QWidget* page = showTab(rig, tab);
        auto* list = page->findChild<PageListView*>();
        const int rows = list->model()->rowCount();
        clickRow(list, 0);
        // A smaller count, which Save would ask about were it pressed.
        typeOver(page->findChild<QLineEdit*>(page->objectName().chopped(4) + ".count"), "1");
        for (const QString& name : controls) {
            auto* control = page->findChild<QWidget*>(name);
            control->setFocus();
            for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
                QTest::keyClick(control, key);
                QVERIFY2(dialog.isVisible(), qPrintable(name));
            }
        }
        QCOMPARE(rig.prompts.questions, Strings{});
        QCOMPARE(list->model()->rowCount(), rows);
    }
    QCOMPARE(rig.workers.calls, Strings{});
}

void ConfigurationDialogTest::addressEditMovesAlongTheOctets()
{
    Ipv4AddressEdit edit;
    edit.show();
    edit.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&edit));
    edit.setFocus();
    // "." ends an octet, a third digit moves on by itself.
    typeIntoFocus("10.1.2557");
    QCOMPARE(octets(&edit), (QStringList{"10", "1", "255", "7"}));
    QCOMPARE(QApplication::focusWidget(), edit.octetEdit(3));
    // Backspace past the start of a box goes on in the box before it.
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QCOMPARE(QApplication::focusWidget(), edit.octetEdit(2));
    // No octet above 255; an empty box is 0.
    typeIntoFocus("9");
    QCOMPARE(octets(&edit), (QStringList{"10", "1", "25", ""}));
    QCOMPARE(edit.address(), (platform::Ipv4Address{{10, 1, 25, 0}}));

    // As operators type an address anywhere else: a click takes the whole
    // octet, and the "." after three digits that moved on by themselves is
    // not a second move.
    edit.setAddress({{0, 0, 0, 0}});
    QTest::mouseClick(edit.octetEdit(0), Qt::LeftButton, {}, QPoint(2, edit.octetEdit(0)->height() / 2));
    typeIntoFocus("127.0.0.5");
    QCOMPARE(edit.address(), (platform::Ipv4Address{{127, 0, 0, 5}}));
    QTest::mouseClick(edit.octetEdit(1), Qt::LeftButton);
    typeIntoFocus("1");
    QCOMPARE(edit.address(), (platform::Ipv4Address{{127, 1, 0, 5}}));

    // A dotted address pasted into any box fills all four; anything else is refused.
    QGuiApplication::clipboard()->setText(QStringLiteral(" 192.168.1.20 "));
    QTest::keyClick(edit.octetEdit(2), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.address(), (platform::Ipv4Address{{192, 168, 1, 20}}));
    QGuiApplication::clipboard()->setText(QStringLiteral("300.1.1.1"));
    QTest::keyClick(edit.octetEdit(2), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.address(), (platform::Ipv4Address{{192, 168, 1, 20}}));
}

void ConfigurationDialogTest::clientsPageEditsTheSelectedStations()
{
    ConfigurationRig rig;
    rig.write<store::ClientCodec>(kThreeStations);
    auto* list = openOnTab(rig, ConfigurationTab::Clients);
    auto* computer = rig.find<QLineEdit>("clients.computer");
    auto* name = rig.find<QLineEdit>("clients.name");
    auto* address = rig.find<Ipv4AddressEdit>("clients.address");
    QCOMPARE(rowTexts(list, 1), (QStringList{"2", "PC2", "10.0.0.2", ""}));
    QCOMPARE(rig.find<QLineEdit>("clients.count")->text(), QString("3"));
    QVERIFY(!name->isEnabled() && !address->isEnabled());
    QCOMPARE(octets(address), (QStringList{"", "", "", ""}));

    clickRow(list, 1);
    QCOMPARE(computer->text(), QString("2"));
    QVERIFY(!computer->isEnabled());
    QCOMPARE(name->text(), QString("PC2"));
    QVERIFY(name->isEnabled() && address->isEnabled());
    QCOMPARE(octets(address), (QStringList{"10", "0", "0", "2"}));

    // A new name and address: saved, and the station's worker restarted.
    typeOver(name, "Bar");
    typeOver(address->octetEdit(3), "9");
    click(rig.find<QPushButton>("clients.save"));
    QCOMPARE(rowTexts(list, 1), (QStringList{"2", "Bar", "10.0.0.9", ""}));
    QCOMPARE(rig.workers.calls, (Strings{"table", "stop 1", "start 1", "table"}));
    QCOMPARE(rig.saved<store::ClientCodec>().at(1), (store::ClientEntry{"Bar", {{10, 0, 0, 9}}}));

    // Rows picked with Ctrl all take the editor's name; the selection stays.
    clickRow(list, 0);
    clickRow(list, 2, true);
    QCOMPARE(name->text(), QString("PC1"));
    typeOver(name, "Twin");
    click(rig.find<QPushButton>("clients.save"));
    const auto saved = rig.saved<store::ClientCodec>();
    QCOMPARE(saved.at(0).computerName + saved.at(1).computerName + saved.at(2).computerName,
             std::string("TwinBarTwin"));
    QVERIFY(list->isRowSelected(0) && list->isRowSelected(2));

    // Nothing selected: the editor is empty and disabled again.
    clickRow(list, 0, true);
    clickRow(list, 2, true);
    QCOMPARE(computer->text() + name->text(), QString());
    QVERIFY(!name->isEnabled());
    QCOMPARE(octets(address), (QStringList{"", "", "", ""}));
}

void ConfigurationDialogTest::clientsPageCountAsksBeforeDeleting()
{
    ConfigurationRig rig;
    rig.write<store::ClientCodec>(kThreeStations);
    auto* list = openOnTab(rig, ConfigurationTab::Clients);
    auto* count = rig.find<QLineEdit>("clients.count");
    typeOver(count, "2x"); // digits only
    QCOMPARE(count->text(), QString("2"));

    rig.prompts.answers = {false};
    click(rig.find<QPushButton>("clients.save"));
    QCOMPARE(rig.prompts.questions, Strings{"Delete last 1 clients?"});
    QCOMPARE(count->text(), QString("3"));
    QCOMPARE(list->model()->rowCount(), 3);
    QCOMPARE(rig.saved<store::ClientCodec>().size(), std::size_t{3});

    rig.prompts.answers = {true};
    typeOver(count, "2");
    click(rig.find<QPushButton>("clients.save"));
    QCOMPARE(list->model()->rowCount(), 2);
    QCOMPARE(rig.workers.calls, (Strings{"table", "stop 2", "table"})); // the refused Save wrote the table too
    QCOMPARE(rig.saved<store::ClientCodec>().size(), std::size_t{2});

    typeOver(count, "3");
    click(rig.find<QPushButton>("clients.save"));
    QCOMPARE(rowTexts(list, 2), (QStringList{"3", "<Name>", "<IP Address>", ""}));
    QCOMPARE(rig.workers.calls, (Strings{"table", "stop 2", "table", "start 2", "table"}));
}

void ConfigurationDialogTest::posItemsPageEditsNamePriceAndFixedPrice()
{
    ConfigurationRig rig;
    rig.write<store::SaleItemCodec>({{"Tea", 1.50, true}, {"Copy & print", 0.0, false}});
    auto* list = openOnTab(rig, ConfigurationTab::PosItems);
    auto* item = rig.find<QLineEdit>("posItems.item");
    auto* name = rig.find<QLineEdit>("posItems.name");
    auto* price = rig.find<QLineEdit>("posItems.price");
    auto* fixed = rig.find<QCheckBox>("posItems.fixedPrice");
    QCOMPARE(rowTexts(list, 1), (QStringList{"2", "Copy & print", "Varies"}));
    QCOMPARE(columnAlignment(list, 2), Qt::AlignRight);
    QVERIFY(!name->isEnabled() && !price->isEnabled() && !fixed->isEnabled());

    clickRow(list, 1);
    QCOMPARE(item->text(), QString("2"));
    QVERIFY(item->isReadOnly());
    QCOMPARE(name->text(), QString("Copy & print"));
    QVERIFY(!fixed->isChecked() && fixed->isEnabled() && price->isEnabled());
    QCOMPARE(price->text(), QString("0.00"));

    // What the money field shows after typing is what the list and the file get.
    tick(fixed);
    typeOver(name, "Print");
    price->setFocus();
    QTest::keyClicks(price, "3");
    const QString typed = price->text();
    QVERIFY(typed != "0.00");
    click(rig.find<QPushButton>("posItems.save"));
    QCOMPARE(rowTexts(list, 1), (QStringList{"2", "Print", typed}));

    clickRow(list, 0);
    QVERIFY(fixed->isChecked());
    tick(fixed);
    click(rig.find<QPushButton>("posItems.save"));
    QCOMPARE(list->cellText(0, 2), QString("Varies"));
    const auto saved = rig.saved<store::SaleItemCodec>();
    QCOMPARE(saved.at(0), (store::SaleItem{"Tea", 0.0, false}));
    QCOMPARE(saved.at(1), (store::SaleItem{"Print", typed.toDouble(), true}));
}

void ConfigurationDialogTest::printersPageGivesEveryPrinterTheServerName()
{
    ConfigurationRig rig;
    rig.write<store::PrinterCodec>({{"SRV1", "Laser", 0.10}, {"SRV1", "Colour", 0.50}});
    auto* list = openOnTab(rig, ConfigurationTab::Printers);
    auto* serverName = rig.find<QLineEdit>("printers.serverName");
    auto* printerName = rig.find<QLineEdit>("printers.printerName");
    auto* pageCost = rig.find<QLineEdit>("printers.pageCost");
    QCOMPARE(serverName->text(), QString("SRV1"));
    QVERIFY(serverName->isEnabled() && !printerName->isEnabled() && !pageCost->isEnabled());

    clickRow(list, 1);
    QCOMPARE(rig.find<QLineEdit>("printers.printer")->text(), QString("2"));
    QCOMPARE(printerName->text(), QString("Colour"));
    QVERIFY(printerName->isEnabled() && pageCost->isEnabled());
    typeOver(printerName, "Photo");
    typeOver(serverName, "SRV2");
    pageCost->setFocus();
    QTest::keyClicks(pageCost, "5");
    const QString typed = pageCost->text();
    click(rig.find<QPushButton>("printers.save"));
    QCOMPARE(rowTexts(list, 1), (QStringList{"2", "Photo", typed}));
    const auto saved = rig.saved<store::PrinterCodec>();
    QCOMPARE(saved.at(0), (store::PrinterEntry{"SRV2", "Laser", 0.10}));
    QCOMPARE(saved.at(1), (store::PrinterEntry{"SRV2", "Photo", typed.toDouble()}));
}

void ConfigurationDialogTest::ratesPageEditorFollowsTheRowAndTestCharges()
{
    ConfigurationRig rig;
    rig.writeStandardRates();
    auto* list = openOnTab(rig, ConfigurationTab::Rates);
    auto* duration = rig.find<QLineEdit>("rates.duration");
    auto* blockCount = rig.find<QLineEdit>("rates.blockCount");
    auto* charge = rig.find<QLineEdit>("rates.charge");
    auto* testDuration = rig.find<QLineEdit>("rates.testDuration");
    auto* result = rig.find<QLabel>("rates.testResult");
    QCOMPARE(rowTexts(list, 2), (QStringList{"3", "01:00:00", "etc.", "2.00"}));
    QVERIFY(!duration->isEnabled() && !blockCount->isEnabled() && !charge->isEnabled());
    QCOMPARE(testDuration->text(), QString("00:00:00"));

    // The last row always repeats: its block count is shown empty and disabled.
    clickRow(list, 2);
    QCOMPARE(duration->text() + " " + charge->text(), QString("01:00:00 2.00"));
    QVERIFY(duration->isEnabled() && charge->isEnabled() && !blockCount->isEnabled());
    QCOMPARE(blockCount->text(), QString());
    clickRow(list, 0);
    QCOMPARE(rig.find<QLineEdit>("rates.rate")->text(), QString("1"));
    QCOMPARE(blockCount->text(), QString("1"));
    QVERIFY(blockCount->isEnabled());

    // "Test" charges from the table as saved: 31 minutes and a second cross the
    // first block's end.
    testDuration->setFocus();
    QTest::keyClicks(testDuration, "003101");
    QCOMPARE(testDuration->text(), QString("00:31:01"));
    click(rig.find<QPushButton>("rates.test"));
    QCOMPARE(result->text(), QString("2.00"));
    QVERIFY(result->alignment() & Qt::AlignRight);
    typeOver(blockCount, "3");
    click(rig.find<QPushButton>("rates.save"));
    QCOMPARE(rig.saved<store::RateCodec>().at(0).blockCount, 3);
    click(rig.find<QPushButton>("rates.test"));
    QCOMPARE(result->text(), QString("3.00"));

    rig.prompts.answers = {false};
    typeOver(rig.find<QLineEdit>("rates.count"), "2");
    click(rig.find<QPushButton>("rates.save"));
    QCOMPARE(rig.prompts.questions, Strings{"Delete last 1 Rates?"});
    QCOMPARE(list->model()->rowCount(), 3);
}

void ConfigurationDialogTest::hostRunsTheDialogModallyOnItsParent()
{
    ConfigurationRig rig;
    QWidget window;
    window.show();
    QtConfigurationHost host;
    host.setParentWidget(&window);
    bool sawDialog = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        auto* modal = qobject_cast<ConfigurationDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr)
            return;
        poll.stop();
        sawDialog = modal->parentWidget() == &window && modal->findChild<QWidget*>("clientsPage") != nullptr;
        click(modal->findChild<QPushButton*>("cancelButton"));
    });
    poll.start(10);
    rig.model().open();
    host.showConfiguration(rig.model());
    QVERIFY(sawDialog);
    QCOMPARE(rig.model().result(), Result::Cancel);
}

} // namespace console::ui::test

QTEST_MAIN(console::ui::test::ConfigurationDialogTest)
#include "configuration_dialog_test.moc"
