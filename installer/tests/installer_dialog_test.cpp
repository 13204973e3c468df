// The installer dialog, offscreen: its pages, buttons, folder, summary and
// notice, and an installation and a removal in a temporary folder with their messages.
#include "installer_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>

using installer::InstallerDialog;

class InstallerDialogTest : public QObject {
    Q_OBJECT

private:
    template <class T>
    T* find(InstallerDialog& dialog, const char* name)
    {
        auto* widget = dialog.findChild<T*>(name);
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }

    installer::WizardSetup setupIn(const QString& root)
    {
        const std::filesystem::path base = root.toStdString();
        installer::WizardSetup setup;
        setup.source = base / "source";
        setup.consoleFolder = (base / "Brisko").string();
        setup.workstationFolder = (base / "Tamblo").string();
        setup.logonStartFolder = base / "autostart";
        return setup;
    }

private slots:
    void stepOneWaitsForAChoice()
    {
        InstallerDialog dialog(setupIn("/nowhere"));
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QString("Installer"));
        auto* back = find<QPushButton>(dialog, "backButton");
        auto* next = find<QPushButton>(dialog, "nextButton");
        QCOMPARE(back->text(), QString("< Back"));
        QCOMPARE(next->text(), QString("Next >"));
        QCOMPARE(find<QPushButton>(dialog, "cancelButton")->text(), QString("Cancel"));
        QVERIFY(!back->isEnabled());
        QVERIFY(!next->isEnabled());
        QVERIFY(next->isDefault());
        QCOMPARE(find<QLabel>(dialog, "choosePageHeading")->text(), QString("Step 1 - Choose application to install"));
        auto* console = find<QRadioButton>(dialog, "consoleRadio");
        auto* station = find<QRadioButton>(dialog, "workstationRadio");
        QCOMPARE(console->text(), QString("Brisko - Internet Cafe Management"));
        QCOMPARE(station->text(), QString("Tamblo - Internet Cafe Workstation"));
        QVERIFY(!console->isChecked() && !station->isChecked());
        QVERIFY(find<QWidget>(dialog, "choosePage")->isVisible());
        QVERIFY(!find<QWidget>(dialog, "folderPage")->isVisible());

        QTest::mouseClick(station, Qt::LeftButton);
        QVERIFY(next->isEnabled());
        QVERIFY(!back->isEnabled());
    }

    void walksThePagesAndTheFolderFollowsTheChoice()
    {
        InstallerDialog dialog(setupIn("/srv"));
        dialog.show();
        auto* back = find<QPushButton>(dialog, "backButton");
        auto* next = find<QPushButton>(dialog, "nextButton");
        auto* folder = find<QLineEdit>(dialog, "folderEdit");

        QTest::mouseClick(find<QRadioButton>(dialog, "workstationRadio"), Qt::LeftButton);
        QTest::mouseClick(next, Qt::LeftButton);
        QVERIFY(find<QWidget>(dialog, "folderPage")->isVisible());
        QVERIFY(!find<QWidget>(dialog, "choosePage")->isVisible());
        QCOMPARE(find<QLabel>(dialog, "folderPageHeading")->text(), QString("Step 2 - Set installation folder"));
        QVERIFY(back->isEnabled());
        QCOMPARE(folder->text(), QString("/srv/Tamblo"));

        QTest::mouseClick(back, Qt::LeftButton);
        QTest::mouseClick(find<QRadioButton>(dialog, "consoleRadio"), Qt::LeftButton);
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(folder->text(), QString("/srv/Brisko"));

        folder->selectAll();
        QTest::keyClicks(folder, "/home/desk/Counter");
        QTest::mouseClick(back, Qt::LeftButton);
        QTest::mouseClick(find<QRadioButton>(dialog, "workstationRadio"), Qt::LeftButton);
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(folder->text(), QString("/home/desk/Counter"));

        QTest::mouseClick(next, Qt::LeftButton);
        QVERIFY(find<QWidget>(dialog, "summaryPage")->isVisible());
        QCOMPARE(find<QLabel>(dialog, "summaryPageHeading")->text(), QString("Step 3 - Verify Installation options"));
        QCOMPARE(next->text(), QString("Install"));
        auto* summary = find<QPlainTextEdit>(dialog, "summaryEdit");
        QVERIFY(summary->isReadOnly());
        QCOMPARE(summary->toPlainText(),
                 QString("Installation\n-----------\nTamblo - Workstation\nInstallation folder: /home/desk/Counter\n"));
        QTest::mouseClick(back, Qt::LeftButton);
        QCOMPARE(next->text(), QString("Next >"));
    }

    void installFailsThenSucceedsAndCloses()
    {
        QTemporaryDir temp;
        const auto setup = setupIn(temp.path());
        std::filesystem::create_directories(setup.source);
        std::ofstream(setup.source / "brisko") << "console";
        InstallerDialog dialog(setup);
        QStringList shown;
        dialog.setMessageShower([&shown](const QString& text, bool) { shown << text; });
        dialog.show();
        auto* next = find<QPushButton>(dialog, "nextButton");
        QTest::mouseClick(find<QRadioButton>(dialog, "consoleRadio"), Qt::LeftButton);
        QTest::mouseClick(next, Qt::LeftButton);
        QTest::mouseClick(next, Qt::LeftButton);

        QTest::mouseClick(next, Qt::LeftButton); // brisko-admin is missing
        QCOMPARE(shown, QStringList{"Installation failed\nCannot read " +
                                    QString::fromStdString((setup.source / "brisko-admin").string()) +
                                    ": No such file or directory"});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.model().step(), 2);

        std::ofstream(setup.source / "brisko-admin") << "admin";
        shown.clear();
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(shown, QStringList{"Installation successful"});
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(std::filesystem::exists(std::filesystem::path(setup.consoleFolder) / "brisko-admin"));
    }

    void missingProgramShowsTheSystemTextFirst()
    {
        QTemporaryDir temp;
        const auto setup = setupIn(temp.path());
        std::filesystem::create_directories(setup.source);
        InstallerDialog dialog(setup);
        QStringList shown;
        dialog.setMessageShower(
            [&shown](const QString& text, bool failure) { shown << text + (failure ? " (failure)" : ""); });
        dialog.show();
        auto* next = find<QPushButton>(dialog, "nextButton");
        QTest::mouseClick(find<QRadioButton>(dialog, "workstationRadio"), Qt::LeftButton);
        QTest::mouseClick(next, Qt::LeftButton);
        QTest::mouseClick(next, Qt::LeftButton);
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(shown, QStringList{"Installation failed\nCannot read " +
                                    QString::fromStdString((setup.source / "tamblo").string()) +
                                    ": No such file or directory (failure)"});
    }

    void refusedStationShowsWhyAndRemovalTakesTheInstallation()
    {
        QTemporaryDir temp;
        auto setup = setupIn(temp.path());
        setup.stationRefusal = "The station is already installed here as a system service.";
        std::filesystem::create_directories(setup.consoleFolder);
        std::ofstream(std::filesystem::path(setup.consoleFolder) / "brisko") << "console";
        InstallerDialog dialog(setup);
        QStringList shown;
        dialog.setMessageShower([&shown](const QString& text, bool) { shown << text; });
        dialog.show();
        auto* next = find<QPushButton>(dialog, "nextButton");
        auto* notice = find<QLabel>(dialog, "noticeLabel");
        QVERIFY(!notice->isVisible());
        QTest::mouseClick(find<QRadioButton>(dialog, "workstationRadio"), Qt::LeftButton);
        QVERIFY(!next->isEnabled());
        QVERIFY(notice->isVisible());
        QCOMPARE(notice->text(), QString("The station is already installed here as a system service."));

        auto* removal = find<QRadioButton>(dialog, "removalRadio");
        QCOMPARE(removal->text(), QString("Remove an installation"));
        QTest::mouseClick(removal, Qt::LeftButton, {}, QPoint(10, removal->height() / 2)); // on its short label
        QVERIFY(!notice->isVisible());
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(find<QLineEdit>(dialog, "folderEdit")->text(), QString::fromStdString(setup.consoleFolder));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(next->text(), QString("Remove"));
        QVERIFY(find<QPlainTextEdit>(dialog, "summaryEdit")->toPlainText().contains("Files to remove:\n"));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(shown, QStringList{"Removal successful"});
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!std::filesystem::exists(setup.consoleFolder));
    }

    void cancelClosesWithoutInstalling()
    {
        QTemporaryDir temp;
        InstallerDialog dialog(setupIn(temp.path()));
        dialog.show();
        QTest::mouseClick(find<QRadioButton>(dialog, "consoleRadio"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!std::filesystem::exists(std::filesystem::path(temp.path().toStdString()) / "Brisko"));
    }
};

QTEST_MAIN(InstallerDialogTest)
#include "installer_dialog_test.moc"
