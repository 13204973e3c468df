#pragma once
// The text of a single-line edit control with its selection, as both entry
// fields keep it. The caret is the selection start; an empty selection has
// end == start.
// A plain value type.

#include <algorithm>
#include <cstddef>
#include <string>

namespace fields {

class EditText {
public:
    const std::string& text() const { return text_; }
    std::size_t start() const { return start_; }
    std::size_t end() const { return end_; }
    bool hasSelection() const { return end_ > start_; }
    std::string selected() const { return text_.substr(start_, end_ - start_); }

    // Replaces the text; the caret goes to the given place (clamped).
    void assign(std::string text, std::size_t caret)
    {
        text_ = std::move(text);
        placeCaret(caret);
    }

    // Selection in either order, clamped to the text.
    void select(std::size_t a, std::size_t b)
    {
        start_ = std::min({a, b, text_.size()});
        end_ = std::min(std::max(a, b), text_.size());
    }

    void placeCaret(std::size_t at) { select(at, at); }

    // Direct access for the field's own rewrites; callers place the caret afterwards.
    std::string& edit() { return text_; }

    // Removes the selected characters and leaves the caret where they began.
    void eraseSelection()
    {
        text_.erase(start_, end_ - start_);
        placeCaret(start_);
    }

private:
    std::string text_;
    std::size_t start_ = 0;
    std::size_t end_ = 0;
};

} // namespace fields
