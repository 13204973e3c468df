#pragma once
// MoneyFieldEdit: the edit control of a fields::MoneyField (tender field,
// prices, the "Edit Price" prompt). It shows a model it does not own and
// forwards all input to it (see ModelLineEdit). Right mouse-button presses
// are swallowed: the field has no context menu. Window thread only.

#include "model_line_edit.h"

#include "fields/money_field.h"

namespace console::ui {

class MoneyFieldEdit : public ModelLineEdit {
    Q_OBJECT
public:
    explicit MoneyFieldEdit(fields::MoneyField& model, QWidget* parent = nullptr);
    fields::MoneyField& model() { return model_; }

    // true: Enter/Return are not given to the model; the edit only emits
    // enterPressed() (the console window sends Enter to its engine, which runs
    // the tender check: one Enter, one check).
    void setOwnerHandlesEnter(bool on) { ownerHandlesEnter_ = on; }
    bool ownerHandlesEnter() const { return ownerHandlesEnter_; }

signals:
    void enterPressed();  // Enter/Return while setOwnerHandlesEnter(true)
    void enterAccepted(); // the model accepted Enter (KeyResult::moveFocusToCharge)
    // The edit gained the focus and the model asks its owner to drop the
    // default push button, so that Enter reaches the field.
    void defaultButtonClearRequested();

protected:
    bool handleEnter() override;
    void focusEntered() override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    fields::MoneyField& model_;
    bool ownerHandlesEnter_ = false;
    bool focusedByClick_ = false; // the press that follows gave the focus
};

} // namespace console::ui
