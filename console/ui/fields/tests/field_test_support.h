#pragma once
// Helpers for the field widget tests: real key, mouse and drop events sent to
// real widgets, and a way to act inside a modal dialog's loop.

#include <QLineEdit>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <functional>

namespace console::ui::test {

// Types `keys` into `target` one key at a time: '\b' is Backspace, '\r' is
// Return, every other character the key that types it.
void typeKeys(QWidget* target, const QString& keys);

// Home, then Right `position` times: the caret moves by keys, as the operator moves it.
void moveCaretByKeys(QWidget* target, int position);
// From the caret, Shift+Right `count` times.
void selectByKeys(QWidget* target, int count);

// The Delete key going down or up, auto-repeated or not.
void sendDelete(QWidget* target, bool down, bool autoRepeat = false);

// A point inside `edit` where a click or a drop lands before `position`.
QPoint pointBefore(QLineEdit* edit, int position);

// Drops the text at `at` and tells whether the edit took it.
bool dropText(QWidget* target, QPoint at, const QString& text);

// Opens the widget's context menu as a right click on it would.
void openContextMenu(QWidget* target);

// Runs `action` on the modal dialog once it is shown; a dialog still open
// after the action is rejected, so that a failing test cannot hang.
void whenModalShown(const std::function<void(QWidget*)>& action);

} // namespace console::ui::test
