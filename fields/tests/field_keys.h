#pragma once
// Keys for the field tests, pressed the way the window layer forwards them.

#include <algorithm>
#include <cstddef>
#include <string_view>

#include <gtest/gtest.h>

namespace fields::test {

// A field holding `text` with the caret at `caret`, or the selection caret..end.
template <class Field>
Field fieldWith(const char* text, std::size_t caret, std::size_t end)
{
    Field field;
    field.setText(text);
    field.setSelection(caret, std::max(caret, end));
    return field;
}

// Types the keys and returns how many were refused.
template <class Field>
int type(Field& field, std::string_view keys)
{
    int refused = 0;
    for (char c : keys)
        refused += field.typeChar(c).refused ? 1 : 0;
    return refused;
}

// A field holding `text` with the caret at `caret`, the keys typed, and what it
// shows then: for the cases that differ only in their figures.
struct Typed {
    const char* text;
    std::size_t caret;
    std::string_view keys;
    const char* shown;
    std::size_t caretAfter;
};

template <class Field>
void expectTyped(const Typed& c)
{
    Field field = fieldWith<Field>(c.text, c.caret, 0);
    type(field, c.keys);
    EXPECT_EQ(field.text(), c.shown) << '"' << c.text << "\" + \"" << c.keys << '"';
    EXPECT_EQ(field.caret(), c.caretAfter) << '"' << c.text << "\" + \"" << c.keys << '"';
}

template <class Field>
void pressDelete(Field& field)
{
    field.deleteDown();
    field.deleteUp();
}

} // namespace fields::test
