#pragma once
// ModelLineEdit: a QLineEdit whose text belongs to an entry-field model. Every
// way the operator can change the text (typed keys, Backspace, the Delete key
// going down and up, clipboard shortcuts, middle-click paste, the context
// menu, drops, input-method text) goes through the model, and the edit then
// shows the model's text and selection again, so the text never leaves the
// model's form. Caret and selection moves made with the mouse or the cursor
// keys are copied into the model before each model call.
//
// Dragging a selection out of the field copies it; the text stays (a move
// would take characters out behind the model's back). Undo and redo do
// nothing: the model keeps no history, and QLineEdit's own history could only
// bring back texts the model never made. A change made around the model (the
// QLineEdit setText(), insert(), undo() slots) is undone at once: owners change
// the model and call showModel(). Window thread only.

#include "field_model.h"

#include <QLineEdit>
#include <QTimer>

#include <memory>

class QMenu;

namespace console::ui {

class ModelLineEdit : public QLineEdit {
    Q_OBJECT
public:
    // Copies the model's text and selection into the edit.
    void showModel();
    // The edit's clipboard operations, as Ctrl+V, Ctrl+X and Ctrl+C do them.
    void pasteText(const QString& text);
    void cutSelection();
    void copySelection();

signals:
    void refused(); // a key, paste or drop was refused; the edit has already beeped
    void edited();  // the operator changed the text

protected:
    ModelLineEdit(std::unique_ptr<FieldModel> model, QWidget* parent);

    // Enter or Return. Return false to leave the key to the parent widget
    // (the dialog's default button); that is what this base class does.
    virtual bool handleEnter();
    // The edit has gained the focus (QLineEdit has already placed the caret).
    virtual void focusEntered();

    // Types one character into the model: beeps, flashes the field and emits
    // refused() when the model refuses it, emits edited() when the text changed.
    fields::KeyResult typeIntoModel(char c);
    void refuse();

    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // A menu of Cut, Copy, Paste, Delete and Select All, all through the model.
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    template <class Call>
    void applyToModel(Call call);
    void syncSelectionToModel();
    bool pasteIntoModel(const QString& text);
    void pressDeleteKey();
    bool insideSelection(QPoint at);
    void dragSelectionOut();
    void restoreModelText();

    std::unique_ptr<FieldModel> model_;
    QTimer refusalFlash_;      // the field's colour while a refusal shows
    bool showing_ = false;     // the text is being set from the model
    bool dragPending_ = false; // a left press on the selection may start a drag
    QPoint dragStart_;
};

} // namespace console::ui
