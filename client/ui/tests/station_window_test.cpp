// The station window, offscreen: window states, the panel's click boxes and
// the dialogs, with a console scripted on loopback where the console matters.
#include "configuration_dialog.h"
#include "ipv4_field.h"
#include "station_window.h"
#include "test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <memory>
#include <thread>

using namespace client::test;
using namespace std::chrono_literals;

namespace {

const std::string kSessionInfo = "01:05\x80"
                                 "2.50,\x80"
                                 "1.00,\x80"
                                 "3.50,20060811105434";
const QColor kPanelBlue(33, 93, 222);

QWidget* visibleTopLevel(const QString& objectName)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == objectName && w->isVisible())
            return w;
    return nullptr;
}

// Runs `action` on the named dialog once it is shown (inside its modal loop).
void whenShown(const QString& objectName, const std::function<void(QWidget*)>& action)
{
    auto* poll = new QTimer(qApp);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, objectName, action] {
        if (QWidget* w = visibleTopLevel(objectName)) {
            poll->stop();
            poll->deleteLater();
            action(w);
        }
    });
    poll->start();
}

void click(QWidget* window, QPoint at)
{
    QTest::mousePress(window, Qt::LeftButton, {}, at);
    QTest::mouseRelease(window, Qt::LeftButton, {}, at);
}

void mouseMove(QWidget* window, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(window->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(window, &move);
}

// The bounding box of the pixels of one colour.
QRect boxOf(const QImage& image, QColor colour)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class StationWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempFolder> folder_;
    std::unique_ptr<platform::TcpSocket> mainListener_;
    std::unique_ptr<client::ui::StationWindow> window_;

    void startWindow(bool withConsole)
    {
        folder_ = std::make_unique<TempFolder>();
        client::ui::StationSetup setup;
        setup.options.folders = client::StationFolders::allIn(folder_->path());
        setup.options.oneFolder = true;
        if (withConsole) {
            writeFile(folder_->path() / "TambloConfig", std::string("\x7F\x01\x01\x01", 4));
            mainListener_ = std::make_unique<platform::TcpSocket>(
                platform::TcpSocket::listenOn(kTestServer, 0, 5).value_or(platform::TcpSocket{}));
            setup.options.mainPort = *mainListener_->localPort();
            setup.options.address = kTestStation;
        }
        window_ = std::make_unique<client::ui::StationWindow>(setup);
        window_->start();
    }

    void typeSetupCode()
    {
        QTest::keyClicks(window_.get(), "k7#w");
        QTest::keyClick(window_.get(), Qt::Key_Return);
    }

    QRect panelGeometry() const
    {
        QRect screen = QGuiApplication::primaryScreen()->geometry();
        QRect work = QGuiApplication::primaryScreen()->availableGeometry();
        return QRect(screen.right() + 2 - 200, work.bottom() + 1 - 200, 200, 200);
    }

private slots:
    void cleanup()
    {
        window_.reset();
        mainListener_.reset();
        folder_.reset();
    }

    void startsLockedOverTheWholeScreen()
    {
        startWindow(false);
        QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(window_->geometry(), screen.adjusted(-1, -2, 1, 1));
        auto flags = window_->windowFlags();
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY((flags & Qt::WindowType_Mask) == Qt::Tool); // no taskbar entry
        QVERIFY(window_->workstation().keysDisabled());
        QCOMPARE(QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : Qt::ArrowCursor,
                 Qt::BlankCursor);
        QVERIFY(!window_->close()); // the close command is ignored
        QVERIFY(window_->isVisible());
    }

    void lockedTextFollowsThePointer()
    {
        startWindow(false);
        mouseMove(window_.get(), QPoint(300, 250));
        QImage image = window_->grab().toImage();
        QCOMPARE(image.pixelColor(3, 3), QColor(Qt::black));
        QRect red = boxOf(image, QColor(255, 0, 0));
        QVERIFY(!red.isEmpty());
        QVERIFY2(qAbs(red.center().x() - 300) <= 4, qPrintable(QString::number(red.center().x())));
        QVERIFY2(qAbs(red.center().y() - 250) <= 8, qPrintable(QString::number(red.center().y())));
        QVERIFY(red.width() > 150); // "STATION LOCKED" in the large font

        mouseMove(window_.get(), QPoint(500, 600));
        red = boxOf(window_->grab().toImage(), QColor(255, 0, 0));
        QVERIFY(qAbs(red.center().x() - 500) <= 4);
    }

    void setupCodeOpensTheConfiguration()
    {
        startWindow(false);
        QTest::keyClicks(window_.get(), "K7#W");
        QTest::keyClick(window_.get(), Qt::Key_Return);
        QTest::qWait(30);
        QVERIFY(!window_->engine().state().setupMode);
        QVERIFY(!visibleTopLevel("configurationDialog"));

        bool stored = false;
        whenShown("configurationDialog", [&](QWidget* w) {
            QCOMPARE(w->windowTitle(), QString("Tamblo configuration"));
            auto* field = w->findChild<client::ui::Ipv4Field*>();
            QCOMPARE(field->address(), platform::Ipv4Address{});
            const char* octets[] = {"192", "168", "0", "10"};
            for (int i = 0; i < 4; ++i) {
                field->octetEdit(i)->clear();
                QTest::keyClicks(field->octetEdit(i), octets[i]);
            }
            QTest::mouseClick(w->findChild<QPushButton*>("okButton"), Qt::LeftButton);
            stored = true;
        });
        typeSetupCode();
        QTRY_VERIFY(stored);
        QVERIFY(window_->engine().state().setupMode);
        QCOMPARE(window_->geometry(), panelGeometry());
        QCOMPARE(readFile(folder_->path() / "TambloConfig"), std::string("\xC0\xA8\x00\x0A", 4));
        QVERIFY(!window_->workstation().keysDisabled());
        QCOMPARE(window_->grab().toImage().pixelColor(2, 2), kPanelBlue);
    }

    void ownersSetupCodeIsSetTwiceTypedAndReplacesTheBuiltInOne()
    {
        startWindow(false);
        bool done = false;
        whenShown("configurationDialog", [&](QWidget* w) {
            QCOMPARE(w->findChild<QLabel*>("setupCodeState")->text(),
                     QString("The built-in setup code is in force: set your own (maintenance needs it)."));
            auto* code = w->findChild<QLineEdit*>("setupCodeField");
            auto* repeated = w->findChild<QLineEdit*>("setupCodeRepeatField");
            QCOMPARE(code->echoMode(), QLineEdit::Password);
            QTest::keyClicks(code, "Owner-42");
            QTest::keyClicks(repeated, "Owner-24");
            QTest::mouseClick(w->findChild<QPushButton*>("okButton"), Qt::LeftButton);
            QVERIFY(w->isVisible()); // differing codes: nothing stored, the dialog stays
            QCOMPARE(w->findChild<QLabel*>("setupCodeProblem")->text(), QString("The two setup codes differ."));
            QVERIFY(code->text().isEmpty() && repeated->text().isEmpty());
            QVERIFY(!window_->engine().hasOwnersSetupCode());

            QTest::keyClicks(code, "Owner-42");
            QTest::keyClicks(repeated, "Owner-42");
            QTest::mouseClick(w->findChild<QPushButton*>("okButton"), Qt::LeftButton);
            done = true;
        });
        typeSetupCode();
        QTRY_VERIFY(done && !visibleTopLevel("configurationDialog"));
        QVERIFY(window_->engine().hasOwnersSetupCode());
        QCOMPARE(readFile(folder_->path() / "TambloSetup").size(), std::size_t{56});
        window_->engine().confirmEndSession(); // EXIT SETUP
        QVERIFY(window_->engine().state().locked);

        typeSetupCode();
        QTest::qWait(30);
        QVERIFY(!window_->engine().state().setupMode);
        QVERIFY(!visibleTopLevel("configurationDialog"));

        bool reopened = false;
        whenShown("configurationDialog", [&](QWidget* w) {
            QCOMPARE(w->findChild<QLabel*>("setupCodeState")->text(), QString("The owner's setup code is in force."));
            static_cast<QDialog*>(w)->reject();
            reopened = true;
        });
        QTest::keyClicks(window_.get(), "Owner-42");
        QTest::keyClick(window_.get(), Qt::Key_Return);
        QTRY_VERIFY(reopened);
        QVERIFY(window_->engine().state().setupMode);
        QVERIFY(window_->engine().hasOwnersSetupCode()); // Cancel keeps the code
    }

    void maintenanceIsAskedInTheDialogAndLastsOneSetup()
    {
        startWindow(false);
        auto answer = [&](bool expectChecked, bool tick, bool ok, const char* code = "Owner-42") {
            bool seen = false;
            whenShown("configurationDialog", [&, expectChecked, tick, ok](QWidget* w) {
                auto* box = w->findChild<QCheckBox*>("maintenanceBox");
                QCOMPARE(box->isChecked(), expectChecked);
                if (tick)
                    box->click();
                QTest::mouseClick(w->findChild<QPushButton*>(ok ? "okButton" : "cancelButton"), Qt::LeftButton);
                seen = true;
            });
            QTest::keyClicks(window_.get(), code);
            QTest::keyClick(window_.get(), Qt::Key_Return);
            QTRY_VERIFY(seen && !visibleTopLevel("configurationDialog"));
        };
        // On the built-in code, which anyone may know, the desktop stays covered.
        answer(false, true, true, "k7#w");
        QVERIFY(window_->engine().state().setupMode && !window_->maintenance());
        QVERIFY(contains(logLines(folder_->path()), "Maintenance needs the owner's setup code: set one first."));
        window_->engine().confirmEndSession();
        QVERIFY(!window_->engine().changeSetupCode("Owner-42", "Owner-42"));

        answer(false, true, false); // ticked, then Cancel: nothing asked
        QVERIFY(window_->engine().state().setupMode && !window_->maintenance());
        answer(false, true, true);
        QVERIFY(window_->maintenance());
        QVERIFY(contains(logLines(folder_->path()), "Maintenance: the desktop is shown until setup ends."));
        answer(true, false, true); // the dialog shows the choice in force
        QVERIFY(window_->maintenance());

        window_->engine().confirmEndSession(); // EXIT SETUP
        QVERIFY(window_->engine().state().locked);
        QVERIFY(!window_->maintenance());
        answer(false, false, false); // the next setup starts covered
    }

    void clickBoxesAndTheExitSetupDialog()
    {
        startWindow(false);
        whenShown("configurationDialog", [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
        typeSetupCode();
        QTRY_VERIFY(window_->engine().state().setupMode && !visibleTopLevel("configurationDialog"));

        // Toggle box: to the bottom and back.
        click(window_.get(), QPoint(100, 170));
        QVERIFY(window_->windowFlags().testFlag(Qt::WindowStaysOnBottomHint));
        QVERIFY(window_->isVisible());
        click(window_.get(), QPoint(100, 170));
        QVERIFY(window_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        // Press in one box, release in the other: nothing.
        QTest::mousePress(window_.get(), Qt::LeftButton, {}, QPoint(100, 170));
        QTest::mouseRelease(window_.get(), Qt::LeftButton, {}, QPoint(100, 120));
        QTest::qWait(30);
        QVERIFY(!visibleTopLevel("endSessionDialog"));
        QVERIFY(window_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        // The end-session box in setup mode asks to exit setup; Cancel keeps it.
        whenShown("endSessionDialog", [](QWidget* w) {
            QCOMPARE(w->windowTitle(), QString("Lock Station"));
            QCOMPARE(w->findChild<QLabel*>("questionText")->text(), QString("EXIT SETUP?"));
            QVERIFY(w->findChild<QPushButton*>("cancelButton")->isDefault());
            QTest::mouseClick(w->findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
        });
        click(window_.get(), QPoint(100, 120));
        QTRY_VERIFY(!visibleTopLevel("endSessionDialog"));
        QVERIFY(window_->engine().state().setupMode);

        whenShown("endSessionDialog", [](QWidget* w) {
            QTest::mouseClick(w->findChild<QPushButton*>("endSessionButton"), Qt::LeftButton);
        });
        click(window_.get(), QPoint(100, 120));
        QTRY_VERIFY(window_->engine().state().locked);
        QVERIFY(!window_->engine().state().setupMode);
        QTRY_COMPARE(window_->geometry(), QGuiApplication::primaryScreen()->geometry().adjusted(-1, -2, 1, 1));
        QVERIFY(window_->workstation().keysDisabled());
    }

    void consoleLockClosesTheEndSessionDialogWithoutStop()
    {
        startWindow(true);
        std::atomic<bool> sendLock = false;
        std::atomic<bool> done = false;
        std::atomic<bool> checked = false;
        std::string lockAnswer, afterLock;
        std::thread console([&] {
            auto h = acceptStation(*mainListener_);
            h.station.send("UNLOCK");
            readWithin(h.station, 5s);
            h.station.send(kSessionInfo);
            readWithin(h.station, 5s);
            while (!sendLock && !checked)
                std::this_thread::sleep_for(5ms);
            h.station.send("LOCK");
            lockAnswer = readWithin(h.station, 5s).value_or("?");
            afterLock = readWithin(h.station, 300ms).value_or("(nothing)");
            done = true;
            // The connection stays up until the checks are over: a station that
            // saw it close would start connecting again, and with no console to
            // answer, those attempts would hold the test's event loop.
            while (!checked)
                std::this_thread::sleep_for(5ms);
        });
        struct Release {
            std::atomic<bool>& checked;
            std::thread& console;
            ~Release()
            {
                checked = true;
                console.join();
            }
        } release{checked, console};

        QTRY_VERIFY_WITH_TIMEOUT(window_->engine().state().sessionStamp == "20060811105434", 10000);
        QCOMPARE(window_->geometry(), panelGeometry());
        QImage panel = window_->grab().toImage();
        QCOMPARE(panel.pixelColor(2, 2), kPanelBlue);
        QVERIFY(!boxOf(panel, Qt::white).isEmpty());
        QVERIFY(!window_->workstation().keysDisabled());

        bool dialogSeen = false;
        whenShown("endSessionDialog", [&](QWidget* w) {
            QCOMPARE(w->windowTitle(), QString("END SESSION?"));
            QCOMPARE(w->findChild<QLabel*>("questionText")->text(),
                     QString("ARE YOU FINISHED AND WISH TO END THE SESSION?"));
            dialogSeen = true;
            sendLock = true;
        });
        click(window_.get(), QPoint(100, 120));
        QTRY_VERIFY_WITH_TIMEOUT(done.load(), 10000);
        QVERIFY(dialogSeen);
        QTRY_VERIFY(!visibleTopLevel("endSessionDialog"));
        QCOMPARE(lockAnswer, std::string("OK"));
        QCOMPARE(afterLock, std::string("(nothing)")); // no "STOP"
        QVERIFY(window_->engine().state().locked);
        QTRY_COMPARE(window_->geometry(), QGuiApplication::primaryScreen()->geometry().adjusted(-1, -2, 1, 1));
    }

    void endSessionSendsStopAndQuitEndsTheProgram()
    {
        startWindow(true);
        std::string stop, quitAnswer;
        std::atomic<bool> unlocked = false;
        std::thread console([&] {
            auto h = acceptStation(*mainListener_);
            h.station.send("UNLOCK");
            readWithin(h.station, 5s);
            unlocked = true;
            stop = readWithin(h.station, 10s).value_or("?");
            h.station.send("QUIT");
            quitAnswer = readWithin(h.station, 5s).value_or("?");
        });
        QSignalSpy ended(window_.get(), &client::ui::StationWindow::programEnded);
        QTRY_VERIFY_WITH_TIMEOUT(unlocked && !window_->engine().state().locked, 10000);

        whenShown("endSessionDialog", [](QWidget* w) {
            QTest::mouseClick(w->findChild<QPushButton*>("endSessionButton"), Qt::LeftButton);
        });
        click(window_.get(), QPoint(100, 120));
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 10000);
        console.join();
        QCOMPARE(stop, std::string("STOP"));
        QCOMPARE(quitAnswer, std::string("OK"));
        QVERIFY(!window_->isVisible());
    }
};

QTEST_MAIN(StationWindowTest)
#include "station_window_test.moc"
