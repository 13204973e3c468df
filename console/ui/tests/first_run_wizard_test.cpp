// The first-run wizard as an owner goes through it: a typo keeps the page with
// the reason, a station that starts knocking while the page is up is added with
// one click, and the rates page shows the rows a preset makes.

#include "first_run_wizard.h"

#include "field_test_support.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QtTest>

namespace console::ui::test {

using console::configuration::FirstRunSetup;

class FirstRunWizardTest : public QObject {
    Q_OBJECT

    template <typename T>
    static T* child(QWidget* wizard, const char* name)
    {
        auto* found = wizard->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no %s in the wizard", name);
        return found;
    }

    // Presses Next on a page that refuses, and gives the message it showed.
    static QString refusedNext(QWizard& wizard)
    {
        QString told;
        whenModalShown([&told](QWidget* box) {
            if (auto* message = qobject_cast<QMessageBox*>(box))
                told = message->text();
        });
        const int page = wizard.currentId();
        wizard.next();
        if (wizard.currentId() != page)
            return QStringLiteral("(the page was left)");
        return told;
    }

private slots:
    void anOwnerGoesThroughEveryPage()
    {
        FirstRunSetup setup;
        std::vector<platform::Ipv4Address> knocking;
        FirstRunWizard wizard(setup, [&knocking] { return knocking; });
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));

        // The password: a typo in the confirmation keeps the page.
        QVERIFY(child<QLabel>(&wizard, "firstRun.passwordHint")->isVisible());
        QTest::keyClicks(child<QLineEdit>(&wizard, "firstRun.password"), "till");
        QTest::keyClicks(child<QLineEdit>(&wizard, "firstRun.confirm"), "tiil");
        QCOMPARE(refusedNext(wizard), QString("Passwords do not match"));
        child<QLineEdit>(&wizard, "firstRun.confirm")->setText("till");
        wizard.next();
        QCOMPARE(setup.password(), std::optional<std::string>("till"));

        // A station starts knocking while the page is up: one click adds it.
        auto* offered = child<QListWidget>(&wizard, "firstRun.knocking");
        QCOMPARE(offered->count(), 0);
        knocking = {platform::Ipv4Address::parse("192.168.1.21").value()};
        QTRY_COMPARE_WITH_TIMEOUT(offered->count(), 1, 3000);
        child<QAbstractButton>(&wizard, "firstRun.addKnocking")->click();
        auto* stations = child<QListWidget>(&wizard, "firstRun.stations");
        QCOMPARE(stations->count(), 1);
        QCOMPARE(stations->item(0)->text(), QString("PC 1    192.168.1.21"));
        QCOMPARE(offered->count(), 0);
        // A typed address with a typo is refused with the reason; nothing is added.
        child<QLineEdit>(&wizard, "firstRun.stationName")->setText("Window");
        child<QLineEdit>(&wizard, "firstRun.stationAddress")->setText("192.168.1.300");
        QString told;
        whenModalShown([&told](QWidget* box) { told = qobject_cast<QMessageBox*>(box)->text(); });
        child<QAbstractButton>(&wizard, "firstRun.addStation")->click();
        QVERIFY2(told.contains("192.168.1.300"), qPrintable(told));
        QCOMPARE(stations->count(), 1);
        // Next with an address typed but not added adds it: the owner meant it.
        child<QLineEdit>(&wizard, "firstRun.stationAddress")->setText("192.168.1.22");
        wizard.next();
        QCOMPARE(setup.stations().size(), 2u);
        QCOMPARE(setup.stations()[1].computerName, std::string("Window"));

        // The rates: the preview shows the rows before they are taken.
        QTest::keyClicks(child<QLineEdit>(&wizard, "firstRun.hourPrice"), "2.00");
        child<QRadioButton>(&wizard, "firstRun.preset1")->click();
        QCOMPARE(child<QLabel>(&wizard, "firstRun.ratesPreview")->text(),
                 QString("Rows: 00:30:00 x 1 at 1.00, then 00:15:00 etc. at 0.50"));
        wizard.next();
        QCOMPARE(setup.rates().size(), 2u);

        QTest::keyClicks(child<QLineEdit>(&wizard, "firstRun.receiptLine1"), "Corner Cafe");
        wizard.button(QWizard::FinishButton)->click();
        QCOMPARE(wizard.result(), int(QDialog::Accepted));
        QCOMPARE(setup.receiptLine1(), std::string("Corner Cafe"));
        QCOMPARE(setup.stations().size(), 2u);
    }
};

} // namespace console::ui::test

QTEST_MAIN(console::ui::test::FirstRunWizardTest)
#include "first_run_wizard_test.moc"
