#include "fields/duration_field.h"

#include "field_text.h"

#include <algorithm>

namespace fields {
namespace {

constexpr std::size_t kLength = 8; // "hh:mm:ss"

bool isColonPosition(std::size_t i) { return i == 2 || i == 5; }

int groupValue(const std::string& text, std::size_t groupStart)
{
    return (text[groupStart] - '0') * 10 + (text[groupStart + 1] - '0');
}

// A minutes or seconds group whose first digit is above 5 came from digits
// shifted left by a deletion: put a "0" in front and drop the filler that the
// padding added after it.
void realignGroup(std::string& text, std::size_t groupStart)
{
    if (text[groupStart] > '5') {
        text.insert(groupStart, 1, '0');
        text.erase(groupStart + 2, 1);
    }
}

} // namespace

DurationField::DurationField() { edit_.assign("00:00:00", 0); }

void DurationField::setText(std::string text) { edit_.assign(std::move(text), 0); }

bool DurationField::isDurationText(std::string_view text)
{
    if (text.size() != kLength)
        return false;
    for (std::size_t i = 0; i < kLength; ++i) {
        if (isColonPosition(i) ? text[i] != ':' : !isDigit(text[i]))
            return false;
    }
    return text[3] <= '5' && text[6] <= '5';
}

std::string DurationField::repaired(std::string text)
{
    for (std::size_t i = 0; i < kLength; ++i) {
        const bool colonAt = isColonPosition(i);
        const char filler = colonAt ? ':' : '0';
        if (i >= text.size())
            text.push_back(filler);
        else if (colonAt ? text[i] != ':' : !isDigit(text[i]))
            text.insert(i, 1, filler);
    }
    // Both groups are checked: after several deletions both can be out of line.
    realignGroup(text, 3);
    realignGroup(text, 6);
    // Characters pushed beyond the seconds are not part of the duration.
    text.resize(kLength);
    return text;
}

void DurationField::ensureForm()
{
    if (!isDurationText(text())) {
        const std::size_t caretWas = caret();
        edit_.assign(repaired(text()), caretWas);
    }
}

KeyResult DurationField::typeChar(char c)
{
    if (c == kBackspace)
        return backspace();
    if (static_cast<unsigned char>(c) < 0x20)
        return kAccepted;
    if (c == ':')
        return colon();
    if (isDigit(c))
        return digit(c);
    return kRefused;
}

KeyResult DurationField::colon()
{
    const std::size_t p = caret();
    if (p <= 2)
        edit_.placeCaret(3);
    else if (p <= 5)
        edit_.placeCaret(6);
    else
        return kRefused;
    return kAccepted;
}

KeyResult DurationField::backspace()
{
    if (caret() == 0)
        return kRefused;
    ensureForm();
    const std::size_t p = caret();
    const std::size_t e = selectionEnd();
    // Just after a colon the digit to clear is two to the left.
    const std::size_t s = (p % 3 == 0) ? 2 : 1;
    std::size_t endDigit = e - s;
    if (isColonPosition(endDigit))
        --endDigit; // never overwrite a colon
    edit_.edit()[p - s] = '0';
    edit_.edit()[endDigit] = '0';
    edit_.placeCaret(p - s);
    return kAccepted;
}

KeyResult DurationField::digit(char c)
{
    if (caret() >= kLength)
        return kRefused;
    ensureForm();
    std::size_t p = caret();
    if (isColonPosition(p))
        ++p;
    std::string candidate = text();
    candidate[p] = c;
    const int limit = p < 3 ? 100 : 60;
    if (groupValue(candidate, p - p % 3) >= limit)
        return kRefused;
    edit_.assign(std::move(candidate), p + 1);
    return kAccepted;
}

void DurationField::deleteDown()
{
    if (edit_.hasSelection())
        edit_.eraseSelection();
    else if (caret() < text().size())
        edit_.edit().erase(caret(), 1);
    deleteHeld_ = true;
}

void DurationField::deleteUp()
{
    deleteHeld_ = false;
    const std::size_t caretWas = caret();
    edit_.assign(repaired(text()), caretWas);
}

void DurationField::focusOut()
{
    if (deleteHeld_)
        deleteUp();
}

KeyResult DurationField::paste(std::string_view pasted)
{
    pasted = trimmed(pasted);
    if (pasted.empty())
        return kAccepted;

    if (isDurationText(pasted)) {
        edit_.assign(std::string(pasted), kLength);
        return kAccepted;
    }
    DurationField trial = *this;
    for (char c : pasted) {
        if (static_cast<unsigned char>(c) < 0x20 || trial.typeChar(c).refused)
            return kRefused;
    }
    *this = std::move(trial);
    return kAccepted;
}

std::string DurationField::cut()
{
    std::string removed = selectedText();
    if (!removed.empty()) {
        edit_.eraseSelection();
        const std::size_t caretWas = caret();
        edit_.assign(repaired(text()), caretWas);
    }
    return removed;
}

} // namespace fields
