#include "money_field_edit.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QMouseEvent>

#include <utility>

namespace console::ui {

MoneyFieldEdit::MoneyFieldEdit(fields::MoneyField& model, QWidget* parent)
    : ModelLineEdit(std::make_unique<FieldModelOf<fields::MoneyField>>(model), parent), model_(model)
{
    setContextMenuPolicy(Qt::PreventContextMenu);
}

bool MoneyFieldEdit::handleEnter()
{
    if (ownerHandlesEnter_) {
        emit enterPressed();
        return true;
    }
    if (typeIntoModel(fields::kEnter).moveFocusToCharge)
        emit enterAccepted();
    return true;
}

void MoneyFieldEdit::focusEntered()
{
    // The field shows its text with the caret at the end whenever it gains the focus.
    const fields::FocusInResult result = model_.focusIn();
    showModel();
    if (result.clearDefaultButton)
        emit defaultButtonClearRequested();
}

void MoneyFieldEdit::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        return;
    // The click that brings the focus puts the caret where the keyboard's focus
    // does, at the end: a digit typed then shifts in as on a till ("5" is
    // 0.05), wherever in the field the click landed. (The toolkit gives the
    // focus before it hands over the press.)
    const bool focusingClick = std::exchange(focusedByClick_, false);
    if (event->button() == Qt::LeftButton && focusingClick)
        return;
    ModelLineEdit::mousePressEvent(event);
}

void MoneyFieldEdit::focusInEvent(QFocusEvent* event)
{
    focusedByClick_ = event->reason() == Qt::MouseFocusReason;
    ModelLineEdit::focusInEvent(event);
}

void MoneyFieldEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton)
        ModelLineEdit::mouseReleaseEvent(event);
}

void MoneyFieldEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton)
        ModelLineEdit::mouseDoubleClickEvent(event);
}

void MoneyFieldEdit::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

} // namespace console::ui
