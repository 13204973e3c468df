#pragma once
// MoneyField: the entry field for amounts of money, edited like a cash
// register. Digits typed at the end shift in from the right, digits in the
// fraction overwrite, and the decimal point stays in place. It also carries a
// minimum amount (the amount due on the bill panel) to test and measure
// tendered values against.
// Window thread only, like the edit it models.

#include "fields/edit_text.h"
#include "fields/key_result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace fields {

class MoneyField {
public:
    MoneyField(); // 2 decimals, empty text, minimum 0.0

    // Shows the value with the given count of decimals ("%.2f" for 2), leaves
    // fraction mode and puts the caret at the end.
    void setValue(double value, int decimals);
    // The owner's text, taken as given; the caret goes to the end.
    void setText(std::string text);
    const std::string& text() const { return edit_.text(); }
    // The amount the text reads as (0.0 when it holds no number).
    double value() const;
    int decimals() const { return decimals_; }

    void setMinimum(double minimum) { minimum_ = minimum; }
    double minimum() const { return minimum_; }
    // x >= minimum, both taken to the field's decimals, so that an amount due
    // summed from prices is met by the same amount typed in.
    bool isAtLeastMinimum(double x) const;
    // |x - minimum| with the field's decimals: the change or the amount still due.
    std::string differenceText(double x) const;

    void setSelection(std::size_t start, std::size_t end) { edit_.select(start, end); }
    std::size_t caret() const { return edit_.start(); }
    std::size_t selectionEnd() const { return edit_.end(); }
    std::string selectedText() const { return edit_.selected(); }
    bool fractionMode() const { return fractionMode_; }
    bool deleteHeld() const { return deleteHeld_; }

    // A typed character: digits, ".", Backspace and Enter. Other characters
    // from space upward are refused; other control characters change nothing.
    KeyResult typeChar(char c);

    // Delete key: going down deletes as an edit control does and normalises
    // the text; going up normalises it again (an empty text becomes "0.00").
    void deleteDown();
    void deleteUp();

    // Gaining the focus puts the caret at the end; the owner must clear its
    // default push button so that Enter reaches the field.
    FocusInResult focusIn();
    // Losing the focus while Delete is held ends the Delete as its key-up would.
    void focusOut();

    // Clipboard. Pasted digits and point replace the selection when the result
    // is still one number; anything else is refused.
    KeyResult paste(std::string_view pasted);
    // Removes the selection (as Backspace would) and returns it.
    std::string cut();

    static std::string format(double value, int decimals);

private:
    KeyResult point();
    KeyResult backspace();
    KeyResult enter() const;
    KeyResult digit(char c);

    void ordinaryInsert(std::string_view s);
    void ordinaryBackspace();
    std::size_t removeLeadingZeros();
    void normalise();
    std::size_t pointPosition() const;

    EditText edit_;
    int decimals_ = 2;
    double minimum_ = 0.0;
    bool fractionMode_ = false;
    bool deleteHeld_ = false;
};

} // namespace fields
