#pragma once
// FieldModel: the entry-field operations an edit control forwards its input
// to. Both field models (fields::DurationField, fields::MoneyField) have them
// under the same names; FieldModelOf<Model> forwards to one of them without
// owning it. Window thread only.

#include "fields/key_result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace console::ui {

class FieldModel {
public:
    virtual ~FieldModel() = default;

    virtual const std::string& text() const = 0;
    // The caret is the selection start; an empty selection has end == start.
    virtual std::size_t selectionStart() const = 0;
    virtual std::size_t selectionEnd() const = 0;
    virtual void setSelection(std::size_t start, std::size_t end) = 0;
    virtual std::string selectedText() const = 0;

    virtual fields::KeyResult typeChar(char c) = 0;
    virtual void deleteDown() = 0;
    virtual void deleteUp() = 0;
    virtual bool deleteHeld() const = 0;
    virtual void focusOut() = 0;
    virtual fields::KeyResult paste(std::string_view pasted) = 0;
    virtual std::string cut() = 0;
};

template <class Model>
class FieldModelOf final : public FieldModel {
public:
    explicit FieldModelOf(Model& model) : model_(model) {}

    const std::string& text() const override { return model_.text(); }
    std::size_t selectionStart() const override { return model_.caret(); }
    std::size_t selectionEnd() const override { return model_.selectionEnd(); }
    void setSelection(std::size_t start, std::size_t end) override { model_.setSelection(start, end); }
    std::string selectedText() const override { return model_.selectedText(); }

    fields::KeyResult typeChar(char c) override { return model_.typeChar(c); }
    void deleteDown() override { model_.deleteDown(); }
    void deleteUp() override { model_.deleteUp(); }
    bool deleteHeld() const override { return model_.deleteHeld(); }
    void focusOut() override { model_.focusOut(); }
    fields::KeyResult paste(std::string_view pasted) override { return model_.paste(pasted); }
    std::string cut() override { return model_.cut(); }

private:
    Model& model_;
};

} // namespace console::ui
