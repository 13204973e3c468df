#pragma once
// DurationFieldEdit: the edit control of a fields::DurationField ("hh:mm:ss"
// on the Rates page). It shows a model it does not own and forwards all input
// to it (see ModelLineEdit), including its context menu's Cut, Copy, Paste and
// Delete. Enter and Escape are left to the page. Window thread only.

#include "model_line_edit.h"

#include "fields/duration_field.h"

namespace console::ui {

class DurationFieldEdit : public ModelLineEdit {
    Q_OBJECT
public:
    explicit DurationFieldEdit(fields::DurationField& model, QWidget* parent = nullptr);
    fields::DurationField& model() { return model_; }

private:
    fields::DurationField& model_;
};

} // namespace console::ui
