#include "fields/money_field.h"

#include "field_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace fields {
namespace {

constexpr int kMaxDecimals = 15;
constexpr auto npos = std::string::npos;

} // namespace

MoneyField::MoneyField() = default;

std::string MoneyField::format(double value, int decimals)
{
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    if (!std::isfinite(value))
        value = 0.0;
    value += 0.0; // no "-0.00"
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

void MoneyField::setValue(double value, int decimals)
{
    decimals_ = std::clamp(decimals, 0, kMaxDecimals);
    fractionMode_ = false;
    std::string shown = format(value, decimals_);
    const std::size_t end = shown.size();
    edit_.assign(std::move(shown), end);
}

void MoneyField::setText(std::string text)
{
    const std::size_t end = text.size();
    edit_.assign(std::move(text), end);
}

double MoneyField::value() const
{
    double amount = 0.0;
    const std::string& t = text();
    const auto result = std::from_chars(t.data(), t.data() + t.size(), amount, std::chars_format::fixed);
    return result.ec == std::errc() ? amount : 0.0;
}

bool MoneyField::isAtLeastMinimum(double x) const
{
    const double scale = std::pow(10.0, decimals_);
    return std::round(x * scale) >= std::round(minimum_ * scale);
}

std::string MoneyField::differenceText(double x) const { return format(std::fabs(x - minimum_), decimals_); }

std::size_t MoneyField::pointPosition() const { return text().find('.'); }

// --- typed characters -------------------------------------------------------

KeyResult MoneyField::typeChar(char c)
{
    const std::string before = text();
    // A digit or point typed over a selection first takes the selection away,
    // as Backspace would, and then follows the field's own rule: over the whole
    // amount the digits shift in from the right again ("120" reads 1.20).
    const bool entersAmount = isDigit(c) || (c == '.' && decimals_ > 0);
    if (entersAmount && edit_.hasSelection()) {
        edit_.eraseSelection();
        normalise();
    }
    KeyResult result;
    if (c == '.' && decimals_ > 0)
        result = point();
    else if (c == kBackspace)
        result = backspace();
    else if (c == kEnter)
        result = enter();
    else if (static_cast<unsigned char>(c) < 0x20)
        result = kAccepted;
    else if (isDigit(c))
        result = digit(c);
    else
        result = kRefused;
    // Every change of the text while Delete is held is normalised.
    if (deleteHeld_ && text() != before)
        normalise();
    return result;
}

KeyResult MoneyField::point()
{
    const std::size_t o = pointPosition();
    const std::size_t p = caret();
    if (o == npos) {
        ordinaryInsert(".");
        if (text() == ".")
            edit_.assign("0.", 2); // a lone point is no amount
        return kAccepted;
    }
    if (p == o) {
        fractionMode_ = true;
        edit_.placeCaret(o + 1);
        return kAccepted;
    }
    if (p == o + 1) {
        fractionMode_ = true;
        return kRefused;
    }
    if (p > o + 1 && fractionMode_)
        return kRefused;

    // Move the point to the caret: digits after the old point become whole
    // units, digits beyond the decimals after the new point are dropped.
    fractionMode_ = true;
    const bool caretAfterPoint = p > o;
    std::string t = text();
    t.erase(o, 1);
    if (caretAfterPoint)
        t.append(static_cast<std::size_t>(decimals_), '0');
    const std::size_t at = caretAfterPoint ? p - 1 : p;
    t.insert(at, 1, '.');
    t.resize(std::min(t.size(), at + 1 + static_cast<std::size_t>(decimals_)));
    edit_.assign(std::move(t), 0);
    removeLeadingZeros();
    edit_.placeCaret(pointPosition() + 1);
    return kAccepted;
}

KeyResult MoneyField::backspace()
{
    if (edit_.hasSelection()) {
        edit_.eraseSelection();
        normalise();
        return kAccepted;
    }
    const std::size_t p = caret();
    const std::size_t o = pointPosition();
    if (p == 0 || o == npos) {
        const bool hadText = !text().empty();
        ordinaryBackspace();
        if (hadText && text().empty())
            edit_.assign("0", 1); // keep a number in the field
        return kAccepted;
    }
    if (p == o + 1) {
        fractionMode_ = false;
        edit_.placeCaret(o);
    } else if (p > o + 1) {
        // The fraction keeps its length: the digit goes, a "0" comes in at the end.
        edit_.edit().erase(p - 1, 1);
        edit_.edit().push_back('0');
        edit_.placeCaret(p - 1);
    } else if (p == o && o == 1) {
        edit_.edit()[0] = '0';
        edit_.placeCaret(1);
    } else {
        ordinaryBackspace();
    }
    return kAccepted;
}

KeyResult MoneyField::enter() const
{
    if (!isAtLeastMinimum(value()))
        return kRefused;
    return KeyResult{false, true};
}

KeyResult MoneyField::digit(char c)
{
    const std::size_t o = pointPosition();
    const std::size_t p = caret();
    const std::size_t d = static_cast<std::size_t>(decimals_);
    const char typed[] = {c, '\0'};

    if (o == npos || p <= o) {
        ordinaryInsert(typed);
        return kAccepted;
    }
    if (p > o + d) {
        if (fractionMode_)
            return kRefused;
        // Cash-register entry: the amount shifts left and the digit comes in
        // at the right.
        std::string& t = edit_.edit();
        if (o + 1 < t.size())
            std::swap(t[o], t[o + 1]);
        t.push_back(c);
        removeLeadingZeros();
        edit_.placeCaret(text().size());
        return kAccepted;
    }
    const std::size_t n = text().size();
    if (p >= n || n - o - 1 < d) {
        ordinaryInsert(typed);
        return kAccepted;
    }
    edit_.edit()[p] = c;
    edit_.placeCaret(p + 1);
    removeLeadingZeros();
    return kAccepted;
}

// --- ordinary editing and repair ---------------------------------------------

void MoneyField::ordinaryInsert(std::string_view s)
{
    edit_.eraseSelection();
    const std::size_t p = caret();
    edit_.edit().insert(p, s);
    edit_.placeCaret(p + s.size());
    removeLeadingZeros();
}

void MoneyField::ordinaryBackspace()
{
    if (edit_.hasSelection()) {
        edit_.eraseSelection();
    } else if (caret() > 0) {
        const std::size_t p = caret();
        edit_.edit().erase(p - 1, 1);
        edit_.placeCaret(p - 1);
    }
    removeLeadingZeros();
}

// Drops leading zeros that carry no value ("007" -> "7", "00.5" -> "0.5"); the
// caret stays in front of the character it was in front of.
std::size_t MoneyField::removeLeadingZeros()
{
    std::string& t = edit_.edit();
    const bool hasPoint = t.find('.') != npos;
    std::size_t count = 0;
    while (count < t.size() && t[count] == '0') {
        const std::size_t rest = t.size() - count;
        if (!hasPoint && rest <= 1)
            break;
        if (hasPoint && (rest < 2 || t[count + 1] == '.'))
            break;
        ++count;
    }
    const std::size_t p = caret();
    t.erase(0, count);
    edit_.placeCaret(p > count ? p - count : 0);
    return count;
}

void MoneyField::normalise()
{
    const std::size_t d = static_cast<std::size_t>(decimals_);
    if (text().empty()) {
        fractionMode_ = false;
        std::string zero = d > 0 ? "0." + std::string(d, '0') : "0";
        const std::size_t end = zero.size();
        edit_.assign(std::move(zero), end);
        return;
    }
    if (pointPosition() == npos) {
        fractionMode_ = false;
        if (d > 0) {
            const std::size_t p = caret();
            edit_.edit().insert(p, 1, '.');
            edit_.placeCaret(p + 1);
        }
    }
    if (text().front() == '.') {
        edit_.edit().insert(0, 1, '0');
        edit_.placeCaret(1);
    }
    const std::size_t o = pointPosition();
    if (o != npos) {
        const std::size_t fraction = text().size() - o - 1;
        if (fraction < d) {
            const std::size_t p = caret();
            edit_.edit().append(d - fraction, '0');
            edit_.placeCaret(p);
        }
    }
    if (caret() == 0)
        removeLeadingZeros();
}

// --- Delete key, focus, clipboard --------------------------------------------

void MoneyField::deleteDown()
{
    const std::string before = text();
    if (edit_.hasSelection())
        edit_.eraseSelection();
    else if (caret() < text().size())
        edit_.edit().erase(caret(), 1);
    deleteHeld_ = true;
    if (text() != before)
        normalise();
}

void MoneyField::deleteUp()
{
    deleteHeld_ = false;
    normalise();
}

FocusInResult MoneyField::focusIn()
{
    edit_.placeCaret(text().size());
    return FocusInResult{true};
}

void MoneyField::focusOut()
{
    if (deleteHeld_)
        deleteUp();
}

KeyResult MoneyField::paste(std::string_view pasted)
{
    pasted = trimmed(pasted);
    if (pasted.empty())
        return kAccepted;
    if (!std::all_of(pasted.begin(), pasted.end(), [](char c) { return isDigit(c) || c == '.'; }))
        return kRefused;

    std::string candidate = text();
    candidate.replace(caret(), selectionEnd() - caret(), pasted);
    const auto points = std::count(candidate.begin(), candidate.end(), '.');
    const bool hasDigit = std::any_of(candidate.begin(), candidate.end(), isDigit);
    if (points > (decimals_ > 0 ? 1 : 0) || !hasDigit)
        return kRefused;

    const std::size_t caretAfter = caret() + pasted.size();
    edit_.assign(std::move(candidate), caretAfter);
    removeLeadingZeros();
    if (deleteHeld_)
        normalise();
    return kAccepted;
}

std::string MoneyField::cut()
{
    std::string removed = selectedText();
    if (!removed.empty()) {
        edit_.eraseSelection();
        normalise();
    }
    return removed;
}

} // namespace fields
