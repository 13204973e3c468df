#include "duration_field_edit.h"

namespace console::ui {

DurationFieldEdit::DurationFieldEdit(fields::DurationField& model, QWidget* parent)
    : ModelLineEdit(std::make_unique<FieldModelOf<fields::DurationField>>(model), parent), model_(model)
{
}

} // namespace console::ui
