// MoneyFieldEdit, offscreen: keys typed into the real edit, Enter with and
// without the owner taking it, focus, the Delete key, clipboard, drops and the
// swallowed right button.
#include "field_edit_fixture.h"
#include "field_test_support.h"
#include "money_field_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace console::ui;
using namespace console::ui::test;

namespace {

QClipboard* clipboard() { return QGuiApplication::clipboard(); }

// End, then Left `fromEnd` times.
void moveCaretFromEnd(QWidget* target, int fromEnd)
{
    QTest::keyClick(target, Qt::Key_End);
    for (int i = 0; i < fromEnd; ++i)
        QTest::keyClick(target, Qt::Key_Left);
}

} // namespace

class MoneyFieldEditTest : public QObject, private FieldEditFixture<MoneyFieldEdit, fields::MoneyField> {
    Q_OBJECT

    void show(double value)
    {
        model.setValue(value, 2);
        edit->showModel();
    }

private slots:
    void init() { buildWindow("tenderEdit", EditPlacement::OtherFirst); }

    void cleanup() { closeWindow(); }

    void typedKeys_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("fromEnd");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caretAfter");
        QTest::addColumn<int>("refusals");

        QTest::newRow("digits shift in from the right") << 0.0 << 0 << "1234"
                                                        << "12.34" << 5 << 0;
        QTest::newRow("point at the point, then again") << 0.0 << 3 << ".."
                                                        << "0.00" << 2 << 1;
        QTest::newRow("fraction digits overwrite") << 12.0 << 2 << ".5"
                                                   << "12.50" << 4 << 1;
        QTest::newRow("letter and minus beep") << 5.0 << 0 << "a-"
                                               << "5.00" << 4 << 2;
        QTest::newRow("backspace in the fraction") << 12.34 << 0 << "\b"
                                                   << "12.30" << 4 << 0;
        QTest::newRow("backspace over the point") << 12.34 << 2 << "\b"
                                                  << "12.34" << 2 << 0;
        QTest::newRow("leading zeros go") << 0.0 << 3 << "7"
                                          << "7.00" << 1 << 0;
    }

    void typedKeys()
    {
        QFETCH(double, value);
        QFETCH(int, fromEnd);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(int, caretAfter);
        QFETCH(int, refusals);

        show(value);
        moveCaretFromEnd(edit, fromEnd);
        typeKeys(edit, keys);
        checkShown(text, caretAfter);
        QCOMPARE(beeps->count(), refusals);
    }

    void enterIsCheckedByTheModel()
    {
        QSignalSpy accepted(edit, &MoneyFieldEdit::enterAccepted);
        QSignalSpy pressed(edit, &MoneyFieldEdit::enterPressed);
        model.setMinimum(5);
        show(4.99);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(beeps->count(), 1);
        QCOMPARE(accepted.count(), 0);

        show(5);
        QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(edit->text(), QString("5.00"));
        QCOMPARE(beeps->count(), 1);
        QCOMPARE(pressed.count(), 0);
    }

    void enterTakenByTheOwnerIsNotChecked()
    {
        QSignalSpy accepted(edit, &MoneyFieldEdit::enterAccepted);
        QSignalSpy pressed(edit, &MoneyFieldEdit::enterPressed);
        edit->setOwnerHandlesEnter(true);
        model.setMinimum(5);
        show(4.99);
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(pressed.count(), 2);
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(beeps->count(), 0); // the owner's check beeps, once
        QCOMPARE(edit->text(), QString("4.99"));
    }

    void focusPutsTheCaretAtTheEnd()
    {
        show(12.34);
        other->setFocus();
        QTRY_VERIFY(other->hasFocus());
        QSignalSpy clearDefault(edit, &MoneyFieldEdit::defaultButtonClearRequested);
        QTest::keyClick(other, Qt::Key_Tab); // QLineEdit alone would select all
        QTRY_VERIFY(edit->hasFocus());
        checkShown("12.34", 5);
        QVERIFY(!edit->hasSelectedText());
        QCOMPARE(clearDefault.count(), 1);
    }

    void clearingWithDeleteGivesZero()
    {
        show(12.34);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        sendDelete(edit, true);
        QCOMPARE(edit->text(), QString("0.00")); // normalised while held
        sendDelete(edit, false);
        checkShown("0.00", 4);

        show(12.34);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        typeKeys(edit, "\b");
        checkShown("0.00", 4);
    }

    void deletedPointIsPutBack()
    {
        show(12.34);
        moveCaretFromEnd(edit, 3);
        sendDelete(edit, true);
        sendDelete(edit, false, true);
        sendDelete(edit, true, true);
        // The point comes back at each key-down; the second one takes the 3.
        QCOMPARE(edit->text(), QString("12.40"));
        sendDelete(edit, false);
        checkShown("12.40", 3);
        QCOMPARE(beeps->count(), 0);
    }

    void clipboardGoesThroughTheModel()
    {
        show(12.34);
        clipboard()->setText("1a");
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(beeps->count(), 1);
        QCOMPARE(edit->text(), QString("12.34"));

        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        clipboard()->setText("25.50");
        QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
        checkShown("25.50", 5);

        QTest::keyClick(edit, Qt::Key_Home);
        selectByKeys(edit, 2);
        QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(clipboard()->text(), QString("25"));
        QCOMPARE(edit->text(), QString("0.50"));
        QCOMPARE(QString::fromStdString(model.text()), QString("0.50"));
    }

    void dropIsAPaste()
    {
        show(0);
        QVERIFY(!dropText(edit, pointBefore(edit, 0), "ten"));
        QCOMPARE(beeps->count(), 1);
        QVERIFY(dropText(edit, pointBefore(edit, 1), "7")); // before the point: "07.00"
        checkShown("7.00", 1);
        QCOMPARE(edits->count(), 1);
    }

    void rightButtonIsSwallowed()
    {
        show(12.34);
        moveCaretFromEnd(edit, 4);
        openContextMenu(edit);
        QTest::mouseClick(edit, Qt::RightButton, {}, pointBefore(edit, 5));
        QVERIFY(!edit->findChild<QMenu*>());
        QCOMPARE(edit->cursorPosition(), 1);
        QCOMPARE(edit->text(), QString("12.34"));
    }

    void editedOnlyWhenTheTextChanges()
    {
        show(0);
        typeKeys(edit, "12");
        QTest::keyClick(edit, Qt::Key_Left);
        typeKeys(edit, "x");
        QCOMPARE(edits->count(), 2);
        edit->setText("abc");
        QCOMPARE(edit->text(), QString("0.12"));
        QCOMPARE(edits->count(), 2);
    }
};

int runMoneyFieldEditTests(int argc, char** argv)
{
    MoneyFieldEditTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "money_field_edit_test.moc"
