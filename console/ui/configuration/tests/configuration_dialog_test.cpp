// The configuration dialog's widgets over real page models and real files:
// what the widgets show, what they forward, and what they keep from happening.

#include "configuration_test_rig.h"
#include "ipv4_address_edit.h"
#include "page_list_view.h"
#include "qt_configuration_host.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace brisko::test {
namespace {

using console::pages::ConfigurationDialogModel;
using console::pages::ConfigurationTab;

const std::vector<store::ClientEntry> kThreeStations{
    {"PC1", {{10, 0, 0, 1}}},
    {"PC2", {{10, 0, 0, 2}}},
    {"PC3", {{10, 0, 0, 3}}},
};

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

Qt::Alignment horizontalAlignment(const PageListView* list, int column)
{
    const QVariant value = list->model()->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole);
    return value.value<Qt::Alignment>() & Qt::AlignHorizontal_Mask;
}

void showTab(ConfigurationRig& rig, ConfigurationTab tab)
{
    QTabBar* bar = rig.find<QTabWidget>("tabs")->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(static_cast<int>(tab)).center());
}

void click(QWidget* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// On the box itself: a check box stretched by its layout takes clicks on its
// box and caption only.
void tick(QCheckBox* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->fontMetrics().height() / 2, box->height() / 2));
}

} // namespace

class ConfigurationDialogTest : public QObject {
    Q_OBJECT
private slots:
    void dialogShowsTheModelAndNamesEveryControl();
    void listsShowTheColumnsAndFitAtTheDefaultSize();
    void tabsAndTicksAreForwarded();
    void tabTakesTheControlsInReadingOrder();
    void okSavesOnlyWhenThePasswordsMatch();
    void okWhileAPageFieldHasTheFocus();
    void cancelAndTheCloseBoxSaveNothing();
    void enterAndEscapeOutsideThePagesCloseTheDialog();
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
    const QStringList names{
        "passwordEdit", "confirmEdit", "receiptLine1Edit", "receiptLine2Edit", "dayTotalLabel", "tabs",
        "terminateClientsCheck", "shutdownClientsCheck", "okButton", "cancelButton",
        "clientsPage", "clients.list", "clients.count", "clients.computer", "clients.name", "clients.address",
        "clients.save",
        "posItemsPage", "posItems.list", "posItems.count", "posItems.item", "posItems.name", "posItems.price",
        "posItems.fixedPrice", "posItems.save",
        "printersPage", "printers.list", "printers.count", "printers.printer", "printers.serverName",
        "printers.printerName", "printers.pageCost", "printers.save",
        "ratesPage", "rates.list", "rates.count", "rates.rate", "rates.duration", "rates.blockCount",
        "rates.charge", "rates.save", "rates.testDuration", "rates.test", "rates.testResult",
    };
    for (const QString& name : names) {
        const auto found = dialog.findChildren<QWidget*>(name);
        QVERIFY2(found.size() == 1, qPrintable(name));
        QVERIFY2(!found.front()->accessibleName().isEmpty() || name.endsWith("Page"), qPrintable(name));
    }

    auto* password = rig.find<QLineEdit>("passwordEdit");
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QCOMPARE(rig.find<QLineEdit>("confirmEdit")->echoMode(), QLineEdit::Password);
    QCOMPARE(rig.find<QLineEdit>("receiptLine1Edit")->text(), QString("Corner Cafe"));
    QCOMPARE(rig.find<QLineEdit>("receiptLine2Edit")->text(), QString("Open late"));

    auto* total = rig.find<QLabel>("dayTotalLabel");
    QCOMPARE(total->text(), QString("2.50"));
    QVERIFY(total->alignment() & Qt::AlignRight);
    QVERIFY(total->font().bold());
    QVERIFY(total->font().pointSizeF() > dialog.font().pointSizeF());

    auto* tabs = rig.find<QTabWidget>("tabs");
    QCOMPARE(tabs->count(), 4);
    const QStringList captions{"Clients", "POS Items", "Printers", "Rates"};
    for (int i = 0; i < tabs->count(); ++i)
        QCOMPARE(tabs->tabText(i), captions[i]);
    QCOMPARE(tabs->currentWidget(), rig.find<QWidget>("clientsPage"));
    QVERIFY(rig.find<QPushButton>("okButton")->isDefault());
    QVERIFY(!rig.find<QCheckBox>("terminateClientsCheck")->isChecked());
    QVERIFY(!rig.find<QCheckBox>("shutdownClientsCheck")->isChecked());
}

void ConfigurationDialogTest::listsShowTheColumnsAndFitAtTheDefaultSize()
{
    ConfigurationRig rig;
    rig.writeStandardRates();
    ConfigurationDialog& dialog = rig.openDialog();

    auto* rates = rig.find<PageListView>("rates.list");
    const QStringList captions{"No", "Block duration", "#", "Price"};
    const int widths[]{26, 95, 44, 60};
    for (int c = 0; c < 4; ++c) {
        QCOMPARE(rates->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), captions[c]);
        QVERIFY(rates->header()->sectionSize(c) >= widths[c]);
    }
    QCOMPARE(horizontalAlignment(rates, 0), Qt::AlignLeft);
    QCOMPARE(horizontalAlignment(rates, 2), Qt::AlignHCenter);
    QCOMPARE(horizontalAlignment(rates, 3), Qt::AlignRight);
    QCOMPARE(rates->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(rates->selectionBehavior(), QAbstractItemView::SelectRows);

    // Every page's columns are in view at the size the dialog opens with, and
    // the lists take what a larger dialog gives.
    for (const auto tab : {ConfigurationTab::Clients, ConfigurationTab::PosItems, ConfigurationTab::Printers,
                           ConfigurationTab::Rates}) {
        showTab(rig, tab);
        auto* page = rig.find<QTabWidget>("tabs")->currentWidget();
        auto* list = page->findChild<PageListView*>();
        QVERIFY2(list->header()->length() <= list->viewport()->width(), qPrintable(page->objectName()));
    }
    const int listWidth = rates->width();
    dialog.resize(dialog.width() + 200, dialog.height() + 100);
    QTRY_VERIFY(rates->width() > listWidth);
}

void ConfigurationDialogTest::tabsAndTicksAreForwarded()
{
    ConfigurationRig rig;
    rig.openDialog();
    showTab(rig, ConfigurationTab::Rates);
    QCOMPARE(rig.model().currentTab(), ConfigurationTab::Rates);
    QVERIFY(rig.find<QWidget>("ratesPage")->isVisible());
    QVERIFY(!rig.find<QWidget>("clientsPage")->isVisible());
    showTab(rig, ConfigurationTab::PosItems);
    QCOMPARE(rig.model().currentTab(), ConfigurationTab::PosItems);

    tick(rig.find<QCheckBox>("terminateClientsCheck"));
    tick(rig.find<QCheckBox>("shutdownClientsCheck"));
    QVERIFY(rig.model().terminateClients());
    QVERIFY(rig.model().shutdownClients());
    click(rig.find<QPushButton>("okButton"));
    QCOMPARE(rig.model().clientCommand(), console::pages::ClientCommand::Quit);

    // The next showing starts unticked, on the Clients page.
    rig.openDialog();
    QVERIFY(!rig.find<QCheckBox>("terminateClientsCheck")->isChecked());
    QCOMPARE(rig.find<QTabWidget>("tabs")->currentWidget(), rig.find<QWidget>("clientsPage"));
    tick(rig.find<QCheckBox>("shutdownClientsCheck"));
    click(rig.find<QPushButton>("okButton"));
    QCOMPARE(rig.model().clientCommand(), console::pages::ClientCommand::Shutdown);
}

void ConfigurationDialogTest::tabTakesTheControlsInReadingOrder()
{
    ConfigurationRig rig;
    rig.writeClients(kThreeStations);
    rig.openDialog();
    clickRow(rig.find<PageListView>("clients.list"), 0);
    rig.find<QLineEdit>("passwordEdit")->setFocus();
    QStringList visited;
    while (visited.size() < 20 && QApplication::focusWidget() != rig.find<QWidget>("cancelButton")) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    // "Computer:" is disabled, so Tab passes it by.
    const QStringList expected{
        "confirmEdit", "receiptLine1Edit", "receiptLine2Edit", rig.find<QTabWidget>("tabs")->tabBar()->objectName(),
        "clients.list", "clients.count", "clients.name", "octet0", "octet1", "octet2", "octet3", "clients.save",
        "terminateClientsCheck", "shutdownClientsCheck", "okButton", "cancelButton",
    };
    QCOMPARE(visited, expected);
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
    QVERIFY(dialog.isVisible());
    QVERIFY(rig.model().isOpen());
    QCOMPARE(rig.configurationFileSize(), std::uintmax_t{0});

    // The pages still work after the refusal.
    QVERIFY(rig.find<PageListView>("clients.list") != nullptr);
    typeOver(rig.find<QLineEdit>("confirmEdit"), "secret");
    click(rig.find<QPushButton>("okButton"));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(rig.model().result(), ConfigurationDialogModel::Result::Ok);
    // The page widgets went with the model's pages.
    QCOMPARE(rig.find<QWidget>("clientsPage"), nullptr);
    QVERIFY(rig.savedPasswordIs("secret"));
    QCOMPARE(rig.savedReceiptLine1(), std::string("Corner Cafe"));

    // The next showing keeps the accepted password, masked.
    rig.openDialog();
    QCOMPARE(rig.find<QLineEdit>("passwordEdit")->text(), QString("secret"));
    QCOMPARE(rig.find<QLineEdit>("confirmEdit")->text(), QString("secret"));
}

// The money field tells its model when it loses the focus; that must happen
// before OK closes the pages, not while the dialog hides.
void ConfigurationDialogTest::okWhileAPageFieldHasTheFocus()
{
    ConfigurationRig rig;
    rig.writeSaleItems({{"Tea", 1.50, true}});
    ConfigurationDialog& dialog = rig.openDialog();
    showTab(rig, ConfigurationTab::PosItems);
    clickRow(rig.find<PageListView>("posItems.list"), 0);
    auto* price = rig.find<QLineEdit>("posItems.price");
    price->setFocus();
    QCOMPARE(QApplication::focusWidget(), price);
    rig.find<QPushButton>("okButton")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(rig.model().result(), ConfigurationDialogModel::Result::Ok);
    QCOMPARE(rig.find<QWidget>("posItemsPage"), nullptr);
}

void ConfigurationDialogTest::cancelAndTheCloseBoxSaveNothing()
{
    ConfigurationRig rig;
    const std::function<void(ConfigurationDialog&)> ways[]{
        [&rig](ConfigurationDialog&) { click(rig.find<QPushButton>("cancelButton")); },
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
        QCOMPARE(rig.model().result(), ConfigurationDialogModel::Result::Cancel);
        QCOMPARE(rig.find<QWidget>("ratesPage"), nullptr);
        QCOMPARE(rig.configurationFileSize(), std::uintmax_t{0});
    }
    rig.openDialog();
    QCOMPARE(rig.find<QLineEdit>("passwordEdit")->text(), QString());
    QCOMPARE(rig.find<QLineEdit>("receiptLine1Edit")->text(), QString());
}

void ConfigurationDialogTest::enterAndEscapeOutsideThePagesCloseTheDialog()
{
    ConfigurationRig rig;
    ConfigurationDialog& first = rig.openDialog();
    typeOver(rig.find<QLineEdit>("receiptLine1Edit"), "Corner Cafe");
    pressKey(rig.find<QLineEdit>("receiptLine1Edit"), Qt::Key_Return);
    QVERIFY(!first.isVisible());
    QCOMPARE(rig.model().result(), ConfigurationDialogModel::Result::Ok);
    QCOMPARE(rig.savedReceiptLine1(), std::string("Corner Cafe"));

    ConfigurationDialog& second = rig.openDialog();
    typeOver(rig.find<QLineEdit>("receiptLine1Edit"), "Other Cafe");
    pressKey(rig.find<QLineEdit>("passwordEdit"), Qt::Key_Escape);
    QVERIFY(!second.isVisible());
    QCOMPARE(rig.model().result(), ConfigurationDialogModel::Result::Cancel);
    QCOMPARE(rig.savedReceiptLine1(), std::string("Corner Cafe"));
}

void ConfigurationDialogTest::enterAndEscapeInsideThePagesDoNothing()
{
    ConfigurationRig rig;
    rig.writeClients(kThreeStations);
    rig.writeStandardRates();
    rig.writeSaleItems({{"Tea", 1.50, true}, {"Cake", 2.00, true}});
    rig.writePrinters({{"SRV", "Laser", 0.10}, {"SRV", "Colour", 0.50}});
    ConfigurationDialog& dialog = rig.openDialog();

    const std::pair<ConfigurationTab, QStringList> pages[]{
        {ConfigurationTab::Clients, {"clients.count", "clients.name", "octet2", "clients.list", "clients.save"}},
        {ConfigurationTab::PosItems, {"posItems.count", "posItems.name", "posItems.price", "posItems.fixedPrice",
                                      "posItems.list", "posItems.save"}},
        {ConfigurationTab::Printers, {"printers.count", "printers.serverName", "printers.pageCost", "printers.save"}},
        {ConfigurationTab::Rates, {"rates.count", "rates.duration", "rates.blockCount", "rates.charge",
                                   "rates.testDuration", "rates.test", "rates.save"}},
    };
    for (const auto& [tab, controls] : pages) {
        showTab(rig, tab);
        QWidget* page = rig.find<QTabWidget>("tabs")->currentWidget();
        auto* list = page->findChild<PageListView*>();
        clickRow(list, 0);
        // A smaller count that Save would ask about, were it pressed.
        typeOver(page->findChild<QLineEdit*>(page->objectName().chopped(4) + ".count"), "1");
        for (const QString& name : controls) {
            auto* control = page->findChild<QWidget*>(name);
            QVERIFY2(control != nullptr, qPrintable(name));
            control->setFocus();
            for (const int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
                pressKey(control, key);
                QVERIFY2(dialog.isVisible(), qPrintable(name));
            }
        }
        QVERIFY(rig.model().isOpen());
        QCOMPARE(rig.prompts.questions, Strings{});
        QCOMPARE(list->model()->rowCount(), tab == ConfigurationTab::Rates ? 3 : tab == ConfigurationTab::Clients ? 3 : 2);
    }
    QCOMPARE(rig.workers.calls, Strings{});
}

void ConfigurationDialogTest::addressEditMovesAlongTheOctets()
{
    Ipv4AddressEdit edit;
    QSignalSpy edited(&edit, &Ipv4AddressEdit::edited);
    edit.show();
    edit.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&edit));
    edit.setFocus();
    QCOMPARE(QApplication::focusWidget(), edit.octetEdit(0));

    // "." ends an octet, a third digit moves on by itself.
    typeIntoFocus("10.1.2557");
    QCOMPARE(octets(&edit), (QStringList{"10", "1", "255", "7"}));
    QCOMPARE(edit.address(), (platform::Ipv4Address{{10, 1, 255, 7}}));
    QCOMPARE(QApplication::focusWidget(), edit.octetEdit(3));
    QVERIFY(edited.count() > 0);

    // Backspace past the start of a box goes back into the one before it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QCOMPARE(QApplication::focusWidget(), edit.octetEdit(2));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QCOMPARE(edit.octetEdit(2)->text(), QString("25"));

    // No octet above 255; an empty box is 0.
    typeIntoFocus("9");
    QCOMPARE(edit.octetEdit(2)->text(), QString("25"));
    QCOMPARE(edit.address(), (platform::Ipv4Address{{10, 1, 25, 0}}));

    edit.clear();
    QCOMPARE(octets(&edit), (QStringList{"", "", "", ""}));
}

void ConfigurationDialogTest::clientsPageEditsTheSelectedStations()
{
    ConfigurationRig rig;
    rig.writeClients(kThreeStations);
    rig.openDialog();
    auto* list = rig.find<PageListView>("clients.list");
    auto* computer = rig.find<QLineEdit>("clients.computer");
    auto* name = rig.find<QLineEdit>("clients.name");
    auto* address = rig.find<Ipv4AddressEdit>("clients.address");

    QCOMPARE(list->model()->rowCount(), 3);
    QCOMPARE(rowTexts(list, 1), (QStringList{"2", "PC2", "10.0.0.2"}));
    QCOMPARE(rig.find<QLineEdit>("clients.count")->text(), QString("3"));
    QVERIFY(!name->isEnabled());
    QVERIFY(!address->isEnabled());
    QCOMPARE(octets(address), (QStringList{"", "", "", ""}));

    clickRow(list, 1);
    QCOMPARE(computer->text(), QString("2"));
    QVERIFY(!computer->isEnabled());
    QCOMPARE(name->text(), QString("PC2"));
    QVERIFY(name->isEnabled());
    QVERIFY(address->isEnabled());
    QCOMPARE(octets(address), (QStringList{"10", "0", "0", "2"}));

    // A new name and address for station 2: saved, and its worker restarted.
    typeOver(name, "Bar");
    typeOver(address->octetEdit(3), "9");
    click(rig.find<QPushButton>("clients.save"));
    QCOMPARE(rowTexts(list, 1), (QStringList{"2", "Bar", "10.0.0.9"}));
    QCOMPARE(rig.workers.calls, (Strings{"stop 1", "start 1"}));
    auto saved = rig.savedClients();
    QCOMPARE(saved.size(), std::size_t{3});
    QCOMPARE(saved[1].computerName, std::string("Bar"));
    QCOMPARE(saved[1].address, (platform::Ipv4Address{{10, 0, 0, 9}}));

    // Two rows selected by the operator both take the editor's name.
    clickRow(list, 0);
    clickRow(list, 2, true);
    QCOMPARE(rig.model().clientsPage()->list().selectedRows(), (std::vector<int>{0, 2}));
    QCOMPARE(name->text(), QString("PC1"));
    typeOver(name, "Twin");
    click(rig.find<QPushButton>("clients.save"));
    saved = rig.savedClients();
    QCOMPARE(saved[0].computerName, std::string("Twin"));
    QCOMPARE(saved[2].computerName, std::string("Twin"));
    QCOMPARE(saved[1].computerName, std::string("Bar"));
    QVERIFY(list->isRowSelected(0) && list->isRowSelected(2));

    // Nothing selected: the editor is cleared and disabled again.
    clickRow(list, 0, true);
    clickRow(list, 2, true);
    QCOMPARE(rig.model().clientsPage()->editing(), false);
    QCOMPARE(computer->text(), QString());
    QCOMPARE(name->text(), QString());
    QVERIFY(!name->isEnabled());
    QCOMPARE(octets(address), (QStringList{"", "", "", ""}));
}

void ConfigurationDialogTest::clientsPageCountAsksBeforeDeleting()
{
    ConfigurationRig rig;
    rig.writeClients(kThreeStations);
    rig.openDialog();
    auto* list = rig.find<PageListView>("clients.list");
    auto* count = rig.find<QLineEdit>("clients.count");
    auto* save = rig.find<QPushButton>("clients.save");

    // Digits only.
    typeOver(count, "2x");
    QCOMPARE(count->text(), QString("2"));

    rig.prompts.answers = {false};
    click(save);
    QCOMPARE(rig.prompts.questions, Strings{"Delete last 1 clients?"});
    QCOMPARE(count->text(), QString("3"));
    QCOMPARE(list->model()->rowCount(), 3);
    QCOMPARE(rig.savedClients().size(), std::size_t{3});

    rig.prompts.answers = {true};
    typeOver(count, "2");
    click(save);
    QCOMPARE(list->model()->rowCount(), 2);
    QCOMPARE(count->text(), QString("2"));
    QCOMPARE(rig.workers.calls, Strings{"stop 2 release"});
    QCOMPARE(rig.savedClients().size(), std::size_t{2});

    typeOver(count, "4");
    click(save);
    QCOMPARE(rowTexts(list, 3), (QStringList{"4", "<Name>", "<IP Address>"}));
    QCOMPARE(rig.workers.calls, (Strings{"stop 2 release", "start 2 create", "start 3 create"}));
    const auto saved = rig.savedClients();
    QCOMPARE(saved.size(), std::size_t{4});
    QCOMPARE(saved[3].computerName, std::string("<Name>"));
    QVERIFY(saved[3].address.isAny());

    // A count out of range is refused with the standard message; nothing changes.
    typeOver(count, "0");
    click(save);
    QCOMPARE(rig.prompts.messages, Strings{"Please enter an integer between 1 and 99."});
    QCOMPARE(list->model()->rowCount(), 4);
}

void ConfigurationDialogTest::posItemsPageEditsNamePriceAndFixedPrice()
{
    ConfigurationRig rig;
    rig.writeSaleItems({{"Tea", 1.50, true}, {"Copy & print", 0.0, false}});
    rig.openDialog();
    showTab(rig, ConfigurationTab::PosItems);
    auto* list = rig.find<PageListView>("posItems.list");
    auto* item = rig.find<QLineEdit>("posItems.item");
    auto* name = rig.find<QLineEdit>("posItems.name");
    auto* price = rig.find<QLineEdit>("posItems.price");
    auto* fixed = rig.find<QCheckBox>("posItems.fixedPrice");

    QCOMPARE(rowTexts(list, 0), (QStringList{"1", "Tea", "1.50"}));
    QCOMPARE(rowTexts(list, 1), (QStringList{"2", "Copy & print", "Varies"}));
    QCOMPARE(horizontalAlignment(list, 2), Qt::AlignRight);
    QVERIFY(!name->isEnabled() && !price->isEnabled() && !fixed->isEnabled());

    clickRow(list, 1);
    QCOMPARE(item->text(), QString("2"));
    QVERIFY(item->isReadOnly());
    QCOMPARE(name->text(), QString("Copy & print"));
    QVERIFY(!fixed->isChecked());
    QVERIFY(fixed->isEnabled() && price->isEnabled());
    QCOMPARE(price->text(), QString("0.00"));

    // A fixed price typed into the money field is what the list and file get.
    tick(fixed);
    QVERIFY(rig.model().posItemsPage()->fixedPrice());
    typeOver(name, "Print");
    price->setFocus();
    QTest::keyClicks(price, "3");
    const QString typed = price->text();
    QVERIFY(typed != "0.00");
    click(rig.find<QPushButton>("posItems.save"));
    QCOMPARE(rowTexts(list, 1), (QStringList{"2", "Print", typed}));

    // Unticking "Fixed Price" makes the price vary.
    clickRow(list, 0);
    QVERIFY(fixed->isChecked());
    tick(fixed);
    click(rig.find<QPushButton>("posItems.save"));
    QCOMPARE(list->cellText(0, 2), QString("Varies"));

    const auto saved = rig.savedSaleItems();
    QCOMPARE(saved.size(), std::size_t{2});
    QCOMPARE(saved[0].description, std::string("Tea"));
    QVERIFY(!saved[0].fixedPrice);
    QCOMPARE(saved[0].price, 0.0);
    QCOMPARE(saved[1].description, std::string("Print"));
    QVERIFY(saved[1].fixedPrice);
    QCOMPARE(saved[1].price, typed.toDouble());
}

void ConfigurationDialogTest::printersPageGivesEveryPrinterTheServerName()
{
    ConfigurationRig rig;
    rig.writePrinters({{"SRV1", "Laser", 0.10}});
    rig.openDialog();
    showTab(rig, ConfigurationTab::Printers);
    auto* list = rig.find<PageListView>("printers.list");
    auto* serverName = rig.find<QLineEdit>("printers.serverName");
    auto* printerName = rig.find<QLineEdit>("printers.printerName");
    auto* pageCost = rig.find<QLineEdit>("printers.pageCost");
    auto* save = rig.find<QPushButton>("printers.save");

    QCOMPARE(serverName->text(), QString("SRV1"));
    QVERIFY(serverName->isEnabled());
    QVERIFY(!printerName->isEnabled() && !pageCost->isEnabled());

    typeOver(rig.find<QLineEdit>("printers.count"), "2");
    click(save);
    QCOMPARE(rowTexts(list, 1), (QStringList{"2", "<PrinterName>", "<Price Per Page>"}));

    clickRow(list, 1);
    QCOMPARE(rig.find<QLineEdit>("printers.printer")->text(), QString("2"));
    QCOMPARE(printerName->text(), QString("<PrinterName>"));
    QVERIFY(printerName->isEnabled() && pageCost->isEnabled());
    typeOver(printerName, "Colour");
    typeOver(serverName, "SRV2");
    pageCost->setFocus();
    QTest::keyClicks(pageCost, "5");
    const QString typed = pageCost->text();
    click(save);
    QCOMPARE(rowTexts(list, 1), (QStringList{"2", "Colour", typed}));

    const auto saved = rig.savedPrinters();
    QCOMPARE(saved.size(), std::size_t{2});
    QCOMPARE(saved[0].serverName, std::string("SRV2"));
    QCOMPARE(saved[0].printerName, std::string("Laser"));
    QCOMPARE(saved[1].serverName, std::string("SRV2"));
    QCOMPARE(saved[1].printerName, std::string("Colour"));
    QCOMPARE(saved[1].pagePrice, typed.toDouble());
}

void ConfigurationDialogTest::ratesPageEditorFollowsTheRowAndTestCharges()
{
    ConfigurationRig rig;
    rig.writeStandardRates();
    rig.openDialog();
    showTab(rig, ConfigurationTab::Rates);
    auto* list = rig.find<PageListView>("rates.list");
    auto* duration = rig.find<QLineEdit>("rates.duration");
    auto* blockCount = rig.find<QLineEdit>("rates.blockCount");
    auto* charge = rig.find<QLineEdit>("rates.charge");
    auto* testDuration = rig.find<QLineEdit>("rates.testDuration");
    auto* result = rig.find<QLabel>("rates.testResult");

    QCOMPARE(rowTexts(list, 2), (QStringList{"3", "01:00:00", "etc.", "2.00"}));
    QVERIFY(!duration->isEnabled() && !blockCount->isEnabled() && !charge->isEnabled());
    QCOMPARE(testDuration->text(), QString("00:00:00"));
    QVERIFY(testDuration->isEnabled());

    // The last row always repeats: its block count is shown empty and disabled.
    clickRow(list, 2);
    QCOMPARE(duration->text(), QString("01:00:00"));
    QVERIFY(duration->isEnabled() && charge->isEnabled());
    QCOMPARE(charge->text(), QString("2.00"));
    QCOMPARE(blockCount->text(), QString());
    QVERIFY(!blockCount->isEnabled());

    clickRow(list, 0);
    QCOMPARE(rig.find<QLineEdit>("rates.rate")->text(), QString("1"));
    QCOMPARE(blockCount->text(), QString("1"));
    QVERIFY(blockCount->isEnabled());

    // "Test" charges from the table as saved: 31 minutes and a second cross
    // the first block's end.
    testDuration->setFocus();
    QTest::keyClicks(testDuration, "003101");
    QCOMPARE(testDuration->text(), QString("00:31:01"));
    click(rig.find<QPushButton>("rates.test"));
    QCOMPARE(result->text(), QString("2.00"));
    QVERIFY(result->alignment() & Qt::AlignRight);

    typeOver(blockCount, "3");
    click(rig.find<QPushButton>("rates.save"));
    QCOMPARE(list->cellText(0, 2), QString("3"));
    QCOMPARE(rig.savedRates().at(0).blockCount, 3);
    click(rig.find<QPushButton>("rates.test"));
    QCOMPARE(result->text(), QString("3.00"));

    rig.prompts.answers = {false};
    typeOver(rig.find<QLineEdit>("rates.count"), "2");
    click(rig.find<QPushButton>("rates.save"));
    QCOMPARE(rig.prompts.questions, Strings{"Delete last 1 Rates?"});
    QCOMPARE(list->model()->rowCount(), 3);
    QCOMPARE(rig.savedRates().size(), std::size_t{3});
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
    QCOMPARE(rig.model().result(), ConfigurationDialogModel::Result::Cancel);
    QVERIFY(!rig.model().isOpen());
}

} // namespace brisko::test

QTEST_MAIN(brisko::test::ConfigurationDialogTest)
#include "configuration_dialog_test.moc"
