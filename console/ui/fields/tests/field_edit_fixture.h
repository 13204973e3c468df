#pragma once
// FieldEditFixture: what the edit tests of one field kind share. A window with
// the edit under test over its model and one other line edit to take the focus
// away; the window shown and active and the edit focused, as the operator's
// click would leave them; spies on the edit's refusals (each one a beep) and
// edits. Window thread only (the test's).

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <cstddef>
#include <memory>

namespace console::ui::test {

// Which control is made first: it comes first in the layout and in the Tab order.
enum class EditPlacement { EditFirst, OtherFirst };

template <class Edit, class Model, class Window = QWidget>
class FieldEditFixture {
protected:
    Model model;
    std::unique_ptr<Window> window;
    Edit* edit = nullptr;
    QLineEdit* other = nullptr;
    std::unique_ptr<QSignalSpy> beeps;
    std::unique_ptr<QSignalSpy> edits;

    // A fresh model, window and edit named `editName`; called from the test's init().
    void buildWindow(const char* editName, EditPlacement placement)
    {
        model = Model();
        window = std::make_unique<Window>();
        auto* layout = new QVBoxLayout(window.get());
        if (placement == EditPlacement::EditFirst) {
            addEdit(layout, editName);
            addOther(layout);
        } else {
            addOther(layout);
            addEdit(layout, editName);
        }
        window->show();
        window->activateWindow(); // no window manager hands out the focus on a bare X server
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        beeps = std::make_unique<QSignalSpy>(edit, &Edit::refused);
        edits = std::make_unique<QSignalSpy>(edit, &Edit::edited);
    }

    // The spies go before the window that holds the edit; called from cleanup().
    void closeWindow()
    {
        beeps.reset();
        edits.reset();
        window.reset();
    }

    // The edit and its model show `text` with the caret at `caret`.
    void checkShown(const QString& text, int caret)
    {
        QCOMPARE(edit->text(), text);
        QCOMPARE(edit->cursorPosition(), caret);
        QCOMPARE(QString::fromStdString(model.text()), text);
        QCOMPARE(model.caret(), static_cast<std::size_t>(caret));
    }

private:
    void addEdit(QVBoxLayout* layout, const char* editName)
    {
        edit = new Edit(model, window.get());
        edit->setObjectName(editName);
        layout->addWidget(edit);
    }

    void addOther(QVBoxLayout* layout)
    {
        other = new QLineEdit(window.get());
        other->setObjectName("otherEdit");
        layout->addWidget(other);
    }
};

} // namespace console::ui::test
