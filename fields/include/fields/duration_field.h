#pragma once
// DurationField: the entry field for "hh:mm:ss" durations (hours 00-99,
// minutes and seconds 00-59). It works in overwrite mode, steps over the colons
// by itself, refuses digits that would put a group out of range, and repairs
// the form when the Delete key is released.
// Window thread only, like the edit it models.

#include "fields/edit_text.h"
#include "fields/key_result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace fields {

class DurationField {
public:
    DurationField(); // "00:00:00", caret at 0

    // The owner's text, taken as given (the Rates page shows it empty while
    // nothing is selected); the caret goes to 0.
    void setText(std::string text);
    const std::string& text() const { return edit_.text(); }

    void setSelection(std::size_t start, std::size_t end) { edit_.select(start, end); }
    std::size_t caret() const { return edit_.start(); }
    std::size_t selectionEnd() const { return edit_.end(); }
    std::string selectedText() const { return edit_.selected(); }
    bool deleteHeld() const { return deleteHeld_; }

    // A typed character: digits overwrite, ":" jumps to the next group,
    // Backspace zeroes the digit before the caret. Other characters from space
    // upward are refused; other control characters change nothing.
    KeyResult typeChar(char c);

    // Delete key: going down deletes as an edit control does (the selection or
    // the character after the caret); going up repairs the form.
    void deleteDown();
    void deleteUp();

    // Losing the focus while Delete is held: the key-up goes elsewhere, so the
    // form is repaired now.
    void focusOut();

    // Clipboard. A complete "hh:mm:ss" replaces the text; anything else is
    // typed in character by character and taken only when every character is.
    KeyResult paste(std::string_view pasted);
    // Removes the selection (as Delete would) and returns it; the form is repaired.
    std::string cut();

    static bool isDurationText(std::string_view text);
    // The Delete-release repair: pads, re-inserts colons and realigns groups;
    // the result is always a duration text.
    static std::string repaired(std::string text);

private:
    KeyResult colon();
    KeyResult backspace();
    KeyResult digit(char c);
    void ensureForm();

    EditText edit_;
    bool deleteHeld_ = false;
};

} // namespace fields
