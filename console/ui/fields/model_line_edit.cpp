#include "model_line_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScopedValueRollback>

#include <algorithm>

namespace console::ui {
namespace {

// Keys that only move the caret or the selection; QLineEdit does these itself.
bool onlyMoves(const QKeyEvent* event)
{
    static constexpr QKeySequence::StandardKey kMoves[] = {
        QKeySequence::MoveToNextChar,
        QKeySequence::MoveToPreviousChar,
        QKeySequence::MoveToNextWord,
        QKeySequence::MoveToPreviousWord,
        QKeySequence::MoveToStartOfLine,
        QKeySequence::MoveToEndOfLine,
        QKeySequence::MoveToStartOfBlock,
        QKeySequence::MoveToEndOfBlock,
        QKeySequence::MoveToStartOfDocument,
        QKeySequence::MoveToEndOfDocument,
        QKeySequence::SelectNextChar,
        QKeySequence::SelectPreviousChar,
        QKeySequence::SelectNextWord,
        QKeySequence::SelectPreviousWord,
        QKeySequence::SelectStartOfLine,
        QKeySequence::SelectEndOfLine,
        QKeySequence::SelectStartOfBlock,
        QKeySequence::SelectEndOfBlock,
        QKeySequence::SelectStartOfDocument,
        QKeySequence::SelectEndOfDocument,
        QKeySequence::SelectAll,
        QKeySequence::Deselect,
    };
    return std::any_of(std::begin(kMoves), std::end(kMoves), [event](auto key) { return event->matches(key); });
}

bool isKeyWith(const QKeyEvent* event, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    return event->key() == key && (event->modifiers() & ~Qt::KeypadModifier) == modifiers;
}

// Ctrl (but not AltGr, which some desktops report as Ctrl+Alt) or Meta: a
// shortcut, not a typed character.
bool isShortcut(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers m = event->modifiers();
    return ((m & Qt::ControlModifier) && !(m & Qt::AltModifier)) || (m & Qt::MetaModifier);
}

// The fields work on ASCII text. A character outside it reaches the model as a
// byte no field takes, so the model refuses it as it refuses any stray character.
char fieldChar(QChar ch) { return ch.unicode() < 0x80 ? static_cast<char>(ch.unicode()) : '\x80'; }

QClipboard* clipboard() { return QGuiApplication::clipboard(); }

template <class Slot>
void addMenuAction(QMenu* menu, const char* name, const QString& text, bool enabled, Slot slot)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setEnabled(enabled);
    QObject::connect(action, &QAction::triggered, menu->parentWidget(), slot);
}

QString withShortcut(const QString& text, QKeySequence::StandardKey key)
{
    return text + QLatin1Char('\t') + QKeySequence(key).toString(QKeySequence::NativeText);
}

} // namespace

ModelLineEdit::ModelLineEdit(std::unique_ptr<FieldModel> model, QWidget* parent)
    : QLineEdit(parent), model_(std::move(model))
{
    refusalFlash_.setSingleShot(true);
    refusalFlash_.setInterval(250);
    connect(&refusalFlash_, &QTimer::timeout, this, [this] { setPalette(QPalette()); });
    // Drags out of the field are started here, copy only.
    setDragEnabled(false);
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!showing_)
            restoreModelText();
    });
    showModel();
}

void ModelLineEdit::showModel()
{
    const QScopedValueRollback<bool> showing(showing_, true);
    const QString shown = QString::fromStdString(model_->text());
    if (text() != shown)
        setText(shown);
    const auto size = static_cast<std::size_t>(shown.size());
    const int start = static_cast<int>(std::min(model_->selectionStart(), size));
    const int end = static_cast<int>(std::min(model_->selectionEnd(), size));
    if (end > start) {
        setSelection(start, end - start);
    } else {
        deselect();
        setCursorPosition(start);
    }
}

void ModelLineEdit::restoreModelText()
{
    if (text() != QString::fromStdString(model_->text()))
        showModel();
}

void ModelLineEdit::syncSelectionToModel()
{
    if (hasSelectedText()) {
        model_->setSelection(static_cast<std::size_t>(selectionStart()), static_cast<std::size_t>(selectionEnd()));
    } else {
        const auto caret = static_cast<std::size_t>(cursorPosition());
        model_->setSelection(caret, caret);
    }
}

template <class Call>
void ModelLineEdit::applyToModel(Call call)
{
    syncSelectionToModel();
    const std::string before = model_->text();
    call(*model_);
    showModel();
    if (model_->text() != before)
        emit edited();
}

void ModelLineEdit::refuse()
{
    QApplication::beep();
    // Many desktops keep the bell silent: the field shows the refusal too.
    if (!refusalFlash_.isActive()) {
        QPalette flashed = palette();
        flashed.setColor(QPalette::Base, QColor(0xff, 0xc8, 0xc8));
        setPalette(flashed);
    }
    refusalFlash_.start();
    emit refused();
}

fields::KeyResult ModelLineEdit::typeIntoModel(char c)
{
    fields::KeyResult result;
    applyToModel([&](FieldModel& m) { result = m.typeChar(c); });
    if (result.refused)
        refuse();
    return result;
}

bool ModelLineEdit::pasteIntoModel(const QString& text)
{
    if (isReadOnly())
        return false;
    const std::string pasted = text.toStdString();
    fields::KeyResult result;
    applyToModel([&](FieldModel& m) { result = m.paste(pasted); });
    if (result.refused)
        refuse();
    return !result.refused;
}

void ModelLineEdit::pasteText(const QString& text) { pasteIntoModel(text); }

void ModelLineEdit::cutSelection()
{
    if (isReadOnly())
        return;
    std::string removed;
    applyToModel([&](FieldModel& m) { removed = m.cut(); });
    if (!removed.empty())
        clipboard()->setText(QString::fromStdString(removed));
}

void ModelLineEdit::copySelection()
{
    syncSelectionToModel();
    const std::string selected = model_->selectedText();
    if (!selected.empty())
        clipboard()->setText(QString::fromStdString(selected));
}

void ModelLineEdit::pressDeleteKey()
{
    if (!isReadOnly())
        applyToModel([](FieldModel& m) {
            m.deleteDown();
            m.deleteUp();
        });
}

bool ModelLineEdit::handleEnter() { return false; }

void ModelLineEdit::focusEntered() { syncSelectionToModel(); }

// --- keys ---------------------------------------------------------------------

void ModelLineEdit::keyPressEvent(QKeyEvent* event)
{
    if (onlyMoves(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Copy) || isKeyWith(event, Qt::Key_Insert, Qt::ControlModifier)) {
        copySelection();
        return;
    }
    if (isReadOnly()) {
        event->ignore();
        return;
    }
    if (event->matches(QKeySequence::Paste) || isKeyWith(event, Qt::Key_Insert, Qt::ShiftModifier)) {
        pasteText(clipboard()->text(QClipboard::Clipboard));
        return;
    }
    if (event->matches(QKeySequence::Cut) || isKeyWith(event, Qt::Key_Delete, Qt::ShiftModifier)) {
        cutSelection();
        return;
    }
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo))
        return; // taken, so that no one else undoes anything in the field's name
    switch (event->key()) {
    case Qt::Key_Delete:
        // Each key-down deletes, auto-repeated ones too; the repair waits for the key-up.
        applyToModel([](FieldModel& m) { m.deleteDown(); });
        return;
    case Qt::Key_Backspace:
        typeIntoModel(fields::kBackspace);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!handleEnter())
            event->ignore();
        return;
    default:
        break;
    }
    const QString typed = event->text();
    if (!isShortcut(event) && !typed.isEmpty() && typed.front().isPrint()) {
        for (QChar ch : typed)
            typeIntoModel(fieldChar(ch));
        return;
    }
    event->ignore();
}

void ModelLineEdit::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete) {
        // Auto-repeat sends key-ups between its key-downs: only the last one
        // ends the Delete. A key-up whose key-down went elsewhere is not ours.
        if (!event->isAutoRepeat() && model_->deleteHeld())
            applyToModel([](FieldModel& m) { m.deleteUp(); });
        return;
    }
    QLineEdit::keyReleaseEvent(event);
}

void ModelLineEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (isReadOnly()) {
        event->ignore();
        return;
    }
    // Composed text arrives as typed characters; a composition in progress is not shown.
    for (QChar ch : event->commitString()) {
        if (ch.isPrint())
            typeIntoModel(fieldChar(ch));
    }
    event->accept();
}

// --- focus --------------------------------------------------------------------

void ModelLineEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    focusEntered();
}

void ModelLineEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A Delete still held ends here: its key-up will go to another control.
    applyToModel([](FieldModel& m) { m.focusOut(); });
}

// --- mouse, drag and drop -----------------------------------------------------

bool ModelLineEdit::insideSelection(QPoint at)
{
    if (!hasSelectedText())
        return false;
    const int position = cursorPositionAt(at);
    return position >= selectionStart() && position <= selectionEnd();
}

void ModelLineEdit::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    dragPending_ = false;
    if (event->button() == Qt::MiddleButton)
        return; // the paste comes with the release
    if (event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier && insideSelection(at)) {
        dragPending_ = true;
        dragStart_ = at;
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void ModelLineEdit::mouseMoveEvent(QMouseEvent* event)
{
    if (dragPending_) {
        if ((event->position().toPoint() - dragStart_).manhattanLength() >= QApplication::startDragDistance()) {
            dragPending_ = false;
            dragSelectionOut();
        }
        return;
    }
    QLineEdit::mouseMoveEvent(event);
}

void ModelLineEdit::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::MiddleButton) {
        // The X11 selection is pasted where the middle button was clicked.
        if (clipboard()->supportsSelection() && !isReadOnly()) {
            deselect();
            setCursorPosition(cursorPositionAt(at));
            pasteText(clipboard()->text(QClipboard::Selection));
        }
        return;
    }
    if (dragPending_ && event->button() == Qt::LeftButton) {
        // A click on the selection without a drag: the caret goes there.
        dragPending_ = false;
        deselect();
        setCursorPosition(cursorPositionAt(at));
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void ModelLineEdit::dragSelectionOut()
{
    auto mimeData = std::make_unique<QMimeData>();
    mimeData->setText(selectedText());
    auto* drag = new QDrag(this);
    drag->setMimeData(mimeData.release()); // the drag owns its data
    drag->exec(Qt::CopyAction);
    drag->deleteLater();
}

void ModelLineEdit::dropEvent(QDropEvent* event)
{
    if (isReadOnly() || !event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    // A drop is a paste where the text was let go.
    deselect();
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    if (pasteIntoModel(event->mimeData()->text())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ModelLineEdit::contextMenuEvent(QContextMenuEvent* event)
{
    syncSelectionToModel();
    const bool editable = !isReadOnly();
    const bool selection = hasSelectedText();

    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("fieldMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    addMenuAction(menu, "cutAction", withShortcut(tr("Cu&t"), QKeySequence::Cut), editable && selection,
                  [this] { cutSelection(); });
    addMenuAction(menu, "copyAction", withShortcut(tr("&Copy"), QKeySequence::Copy), selection,
                  [this] { copySelection(); });
    addMenuAction(menu, "pasteAction", withShortcut(tr("&Paste"), QKeySequence::Paste),
                  editable && !clipboard()->text().isEmpty(), [this] { pasteText(clipboard()->text()); });
    addMenuAction(menu, "deleteAction", tr("Delete"), editable && selection, [this] { pressDeleteKey(); });
    menu->addSeparator();
    addMenuAction(menu, "selectAllAction", withShortcut(tr("Select All"), QKeySequence::SelectAll), !text().isEmpty(),
                  [this] {
                      selectAll();
                      syncSelectionToModel();
                  });
    menu->popup(event->globalPos());
    event->accept();
}

} // namespace console::ui
