// DurationFieldEdit, offscreen: keys, the Delete key, clipboard, context menu,
// drops, drags and input-method text typed into the real edit; the text and
// caret read back from the edit and from its model.
#include "duration_field_edit.h"
#include "field_edit_fixture.h"
#include "field_test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <vector>

using namespace console::ui;
using namespace console::ui::test;

namespace {

// The window the edit sits in; it records the keys the edit leaves to it.
class KeyRecorder : public QWidget {
public:
    std::vector<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const int key = event->key();
        if (key != Qt::Key_Control && key != Qt::Key_Shift && key != Qt::Key_Alt && key != Qt::Key_Meta)
            keys.push_back(key);
    }
};

QClipboard* clipboard() { return QGuiApplication::clipboard(); }

} // namespace

class DurationFieldEditTest :
    public QObject,
    private FieldEditFixture<DurationFieldEdit, fields::DurationField, KeyRecorder> {
    Q_OBJECT

    void show(const char* text)
    {
        model.setText(text);
        edit->showModel();
    }

    // The menu deletes itself once closed; the next one is a new menu.
    static void closeMenu(QMenu* menu)
    {
        const QPointer<QMenu> closing(menu);
        menu->close();
        QTRY_VERIFY(!closing);
    }

private slots:
    void init() { buildWindow("durationEdit", EditPlacement::EditFirst); }

    void cleanup() { closeWindow(); }

    void typedKeys_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caretAfter");
        QTest::addColumn<int>("refusals");

        QTest::newRow("six digits fill the groups") << "00:00:00" << 0 << "123456"
                                                    << "12:34:56" << 8 << 0;
        QTest::newRow("a seventh digit beeps") << "00:00:00" << 0 << "1234567"
                                               << "12:34:56" << 8 << 1;
        QTest::newRow("minutes out of range") << "12:34:56" << 3 << "7"
                                              << "12:34:56" << 3 << 1;
        QTest::newRow("digit at the colon") << "12:34:56" << 2 << "5"
                                            << "12:54:56" << 4 << 0;
        QTest::newRow("hours up to 99") << "00:00:00" << 0 << "99"
                                        << "99:00:00" << 2 << 0;
        QTest::newRow("backspace after a colon") << "12:34:56" << 3 << "\b"
                                                 << "10:34:56" << 1 << 0;
        QTest::newRow("backspace at the start") << "12:34:56" << 0 << "\b"
                                                << "12:34:56" << 0 << 1;
        QTest::newRow("colon jumps a group") << "12:34:56" << 1 << ":"
                                             << "12:34:56" << 3 << 0;
        QTest::newRow("colon in the seconds") << "12:34:56" << 7 << ":"
                                              << "12:34:56" << 7 << 1;
        QTest::newRow("letter, space and minus") << "12:34:56" << 4 << "a -"
                                                 << "12:34:56" << 4 << 3;
    }

    void typedKeys()
    {
        QFETCH(QString, start);
        QFETCH(int, caret);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(int, caretAfter);
        QFETCH(int, refusals);

        show(start.toLatin1().constData());
        moveCaretByKeys(edit, caret);
        typeKeys(edit, keys);
        checkShown(text, caretAfter);
        QCOMPARE(beeps->count(), refusals);
    }

    void keysThatDoNotTypeStayOutOfTheText()
    {
        show("12:34:56");
        moveCaretByKeys(edit, 4);
        QTest::keyClick(edit, Qt::Key_B, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_K, Qt::ControlModifier); // delete-to-end in a plain QLineEdit
        QTest::keyClick(edit, Qt::Key_Backspace, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete, Qt::ControlModifier);
        QTest::keyRelease(edit, Qt::Key_Delete, Qt::ControlModifier);
        // Ctrl+B and Ctrl+K change nothing and go to the window; Ctrl+Backspace
        // is a Backspace (12:04:56), Ctrl+Delete a Delete with its repair.
        checkShown("12:40:56", 3);
        QCOMPARE(window->keys, (std::vector<int>{Qt::Key_B, Qt::Key_K}));
    }

    void enterAndEscapeAreLeftToTheParent()
    {
        show("12:34:56");
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(window->keys, (std::vector<int>{Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}));
        QCOMPARE(edit->text(), QString("12:34:56"));
        QCOMPARE(beeps->count(), 0);
    }

    void selectionMadeWithKeysReachesTheModel()
    {
        show("12:34:56");
        moveCaretByKeys(edit, 4);
        selectByKeys(edit, 3);
        QCOMPARE(model.selectedText(), std::string()); // copied only when the model is used
        typeKeys(edit, "\b");
        // Backspace over 4..7 zeroes the digits before both ends.
        checkShown("12:04:06", 3);
    }

    void clickPlacesTheCaret()
    {
        show("12:34:56");
        QTest::mouseClick(edit, Qt::LeftButton, {}, pointBefore(edit, 6));
        QCOMPARE(edit->cursorPosition(), 6);
        typeKeys(edit, "0");
        checkShown("12:34:06", 7);
    }

    void deleteRepairsOnKeyUp()
    {
        show("12:34:56");
        moveCaretByKeys(edit, 1);
        sendDelete(edit, true);
        QCOMPARE(edit->text(), QString("1:34:56")); // held: not yet repaired
        QVERIFY(model.deleteHeld());
        sendDelete(edit, false);
        checkShown("10:34:56", 1);
        QVERIFY(!model.deleteHeld());
        QCOMPARE(edits->count(), 2);
    }

    void autoRepeatedDeleteRepairsOnlyAtTheEnd()
    {
        show("12:34:56");
        moveCaretByKeys(edit, 1);
        sendDelete(edit, true);
        sendDelete(edit, false, true); // auto-repeat: key-up, key-down
        sendDelete(edit, true, true);
        QCOMPARE(edit->text(), QString("134:56"));
        sendDelete(edit, false);
        checkShown("13:40:56", 1);
    }

    void focusLostWhileDeleteIsHeldRepairs()
    {
        show("12:34:56");
        moveCaretByKeys(edit, 1);
        sendDelete(edit, true);
        other->setFocus();
        QTRY_VERIFY(other->hasFocus());
        QCOMPARE(edit->text(), QString("10:34:56"));
        QVERIFY(!model.deleteHeld());
        // The key-up that follows goes to the other control; one that still
        // reaches the field changes nothing.
        sendDelete(edit, false);
        QCOMPARE(edit->text(), QString("10:34:56"));
    }

    void clipboardShortcutsGoThroughTheModel()
    {
        show("12:34:56");
        clipboard()->setText(" 01:02:03\n");
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        checkShown("01:02:03", 8);

        clipboard()->setText("1x");
        QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(edit->text(), QString("01:02:03"));
        QCOMPARE(beeps->count(), 1);

        clipboard()->setText("5");
        moveCaretByKeys(edit, 3);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        checkShown("01:52:03", 4);

        moveCaretByKeys(edit, 3);
        selectByKeys(edit, 2);
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard()->text(), QString("52"));
        QCOMPARE(edit->text(), QString("01:52:03"));

        QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(clipboard()->text(), QString("52"));
        checkShown("01:00:03", 3);

        moveCaretByKeys(edit, 0);
        selectByKeys(edit, 2);
        QTest::keyClick(edit, Qt::Key_Delete, Qt::ShiftModifier);
        QTest::keyRelease(edit, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(clipboard()->text(), QString("01"));
        checkShown("00:00:03", 0);
        QCOMPARE(beeps->count(), 1);
    }

    void undoBringsNothingBack()
    {
        show("00:00:00");
        typeKeys(edit, "12");
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Y, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        edit->undo();
        checkShown("12:00:00", 2);
    }

    void changesMadeAroundTheModelAreUndone()
    {
        show("12:34:56");
        edit->setText("abc");
        QCOMPARE(edit->text(), QString("12:34:56"));
        edit->insert("9");
        edit->clear();
        QCOMPARE(edit->text(), QString("12:34:56"));
        QCOMPARE(QString::fromStdString(model.text()), QString("12:34:56"));
        QCOMPARE(edits->count(), 0);
    }

    void contextMenuGoesThroughTheModel()
    {
        show("12:34:56");
        moveCaretByKeys(edit, 3);
        selectByKeys(edit, 2);
        openContextMenu(edit);
        auto* menu = edit->findChild<QMenu*>("fieldMenu");
        QVERIFY(menu);
        QTRY_VERIFY(menu->isVisible());
        QStringList names;
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                names << action->objectName();
        QCOMPARE(names, (QStringList{"cutAction", "copyAction", "pasteAction", "deleteAction", "selectAllAction"}));
        menu->findChild<QAction*>("cutAction")->trigger();
        closeMenu(menu);
        QCOMPARE(clipboard()->text(), QString("34"));
        checkShown("12:00:56", 3);

        clipboard()->setText("ab");
        openContextMenu(edit);
        menu = edit->findChild<QMenu*>("fieldMenu");
        QVERIFY(!menu->findChild<QAction*>("cutAction")->isEnabled()); // nothing selected
        menu->findChild<QAction*>("pasteAction")->trigger();
        QCOMPARE(beeps->count(), 1);
        QCOMPARE(edit->text(), QString("12:00:56"));
        clipboard()->setText("07:08:09");
        menu->findChild<QAction*>("pasteAction")->trigger();
        checkShown("07:08:09", 8);
        menu->findChild<QAction*>("selectAllAction")->trigger();
        QCOMPARE(model.selectedText(), std::string("07:08:09"));
        QVERIFY(!menu->findChild<QAction*>("deleteAction")->isEnabled()); // as the menu opened
        closeMenu(menu);
        openContextMenu(edit);
        menu = edit->findChild<QMenu*>("fieldMenu");
        menu->findChild<QAction*>("deleteAction")->trigger();
        closeMenu(menu);
        // Delete from the menu is a whole key press: down, then the repair.
        checkShown("00:00:00", 0);
        QVERIFY(!model.deleteHeld());
    }

    void dropsArePastesWhereTheTextLands()
    {
        show("12:34:56");
        QVERIFY(dropText(edit, pointBefore(edit, 3), "5"));
        checkShown("12:54:56", 4);
        QVERIFY(dropText(edit, pointBefore(edit, 0), "01:02:03"));
        checkShown("01:02:03", 8);
        QVERIFY(!dropText(edit, pointBefore(edit, 0), "1 hour"));
        QCOMPARE(edit->text(), QString("01:02:03"));
        QCOMPARE(beeps->count(), 1);
    }

    void draggingTextOutLeavesItInPlace()
    {
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QSKIP("a drag on a real display waits for the real pointer");
        edit->setDragEnabled(true); // even when the owner turns QLineEdit's own drag on
        show("12:34:56");
        moveCaretByKeys(edit, 3);
        selectByKeys(edit, 2);
        const QPoint on = pointBefore(edit, 4);
        QTest::mousePress(edit, Qt::LeftButton, {}, on);
        QTest::mouseMove(edit, on + QPoint(QApplication::startDragDistance() + 20, 0));
        QTest::mouseRelease(edit, Qt::LeftButton, {}, on + QPoint(QApplication::startDragDistance() + 20, 0));
        QCOMPARE(edit->text(), QString("12:34:56"));
        QCOMPARE(QString::fromStdString(model.text()), QString("12:34:56"));

        // A click on the selection without a drag only places the caret.
        QTest::mouseClick(edit, Qt::LeftButton, {}, pointBefore(edit, 4));
        QVERIFY(!edit->hasSelectedText());
        QCOMPARE(edit->cursorPosition(), 4);
        QCOMPARE(edits->count(), 0);
    }

    void middleClickPastesTheSelectionThroughTheModel()
    {
        show("12:34:56");
        if (clipboard()->supportsSelection()) {
            clipboard()->setText("x", QClipboard::Selection);
            QTest::mouseClick(edit, Qt::MiddleButton, {}, pointBefore(edit, 0));
            QCOMPARE(beeps->count(), 1);
            clipboard()->setText("4", QClipboard::Selection);
            QTest::mouseClick(edit, Qt::MiddleButton, {}, pointBefore(edit, 6));
            checkShown("12:34:46", 7);
        } else {
            // Without a selection clipboard a middle click edits nothing.
            QTest::mouseClick(edit, Qt::MiddleButton, {}, pointBefore(edit, 0));
            QCOMPARE(edit->text(), QString("12:34:56"));
        }
    }

    void inputMethodTextIsTyped()
    {
        show("12:34:56");
        moveCaretByKeys(edit, 0);
        QInputMethodEvent event;
        event.setCommitString("5a");
        QApplication::sendEvent(edit, &event);
        checkShown("52:34:56", 1);
        QCOMPARE(beeps->count(), 1);
    }

    void readOnlyTakesNothing()
    {
        show("12:34:56");
        edit->setReadOnly(true);
        typeKeys(edit, "99");
        sendDelete(edit, true);
        sendDelete(edit, false);
        clipboard()->setText("01:02:03");
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(!dropText(edit, pointBefore(edit, 0), "01:02:03"));
        QCOMPARE(edit->text(), QString("12:34:56"));
        QCOMPARE(beeps->count(), 0);
    }
};

int runDurationFieldEditTests(int argc, char** argv)
{
    DurationFieldEditTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "duration_field_edit_test.moc"
