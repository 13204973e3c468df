#include "fields/duration_field.h"

#include "field_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string_view>

using fields::DurationField;
using fields::kBackspace;
using fields::test::expectTyped;
using fields::test::pressDelete;
using fields::test::type;

namespace {

DurationField fieldAt(const char* text, std::size_t caret, std::size_t end = 0)
{
    return fields::test::fieldWith<DurationField>(text, caret, end);
}

} // namespace

TEST(DurationFieldTyping, DigitsOverwriteAndStepOverColons)
{
    DurationField field;
    EXPECT_EQ(type(field, "123456"), 0);
    EXPECT_EQ(field.text(), "12:34:56");
    EXPECT_EQ(field.caret(), 8u);
    EXPECT_TRUE(field.typeChar('7').refused);
    EXPECT_EQ(field.text(), "12:34:56");

    DurationField hours;
    type(hours, "99");
    EXPECT_EQ(hours.text(), "99:00:00");
}

TEST(DurationFieldTyping, GroupLimits)
{
    auto field = fieldAt("12:34:56", 3);
    EXPECT_TRUE(field.typeChar('7').refused);
    EXPECT_EQ(field.text(), "12:34:56");
    EXPECT_EQ(field.caret(), 3u);

    field = fieldAt("12:34:56", 2);
    EXPECT_FALSE(field.typeChar('5').refused);
    EXPECT_EQ(field.text(), "12:54:56");
    EXPECT_EQ(field.caret(), 4u);

    field = fieldAt("12:34:56", 6);
    EXPECT_TRUE(field.typeChar('6').refused);
    field = fieldAt("12:34:56", 7);
    EXPECT_FALSE(field.typeChar('9').refused);
    EXPECT_EQ(field.text(), "12:34:59");
}

TEST(DurationFieldTyping, OtherCharactersLeaveTheText)
{
    auto field = fieldAt("12:34:56", 4);
    for (char c : std::string_view("a -.\x7f\xe9"))
        EXPECT_TRUE(field.typeChar(c).refused) << int(c);
    for (char c : {'\x03', '\x16', '\x18', '\x0d', '\x1b'})
        EXPECT_FALSE(field.typeChar(c).refused);
    EXPECT_EQ(field.text(), "12:34:56");
    EXPECT_EQ(field.caret(), 4u);
}

TEST(DurationFieldTyping, ColonMovesToTheNextGroup)
{
    auto field = fieldAt("12:34:56", 1);
    EXPECT_FALSE(field.typeChar(':').refused);
    EXPECT_EQ(field.caret(), 3u);
    EXPECT_FALSE(field.typeChar(':').refused);
    EXPECT_EQ(field.caret(), 6u);
    field.setSelection(7, 7);
    EXPECT_TRUE(field.typeChar(':').refused);
    EXPECT_EQ(field.text(), "12:34:56");
}

TEST(DurationFieldTyping, BackspaceZeroesTheDigitBefore)
{
    auto field = fieldAt("12:34:56", 3);
    field.typeChar(kBackspace);
    EXPECT_EQ(field.text(), "10:34:56");
    EXPECT_EQ(field.caret(), 1u);

    expectTyped<DurationField>({"12:34:56", 8, "\b\b\b", "12:30:00", 4});

    field = fieldAt("12:34:56", 0);
    EXPECT_TRUE(field.typeChar(kBackspace).refused);
    EXPECT_EQ(field.text(), "12:34:56");
}

TEST(DurationFieldTyping, BackspaceOnASelectionNeverOverwritesAColon)
{
    auto field = fieldAt("12:34:56", 1, 3);
    field.typeChar(kBackspace);
    EXPECT_EQ(field.text(), "00:34:56");

    field = fieldAt("12:34:56", 4, 6);
    field.typeChar(kBackspace);
    EXPECT_EQ(field.text(), "12:00:56");
    EXPECT_EQ(field.caret(), 3u);
}

TEST(DurationFieldDelete, ReleaseRepairsTheForm)
{
    auto field = fieldAt("12:34:56", 1);
    field.deleteDown();
    EXPECT_EQ(field.text(), "1:34:56");
    EXPECT_TRUE(field.deleteHeld());
    field.deleteUp();
    EXPECT_EQ(field.text(), "10:34:56");
    EXPECT_EQ(field.caret(), 1u);

    // Minutes shifted into the tens get a leading zero back.
    field = fieldAt("12:09:00", 3);
    pressDelete(field);
    EXPECT_EQ(field.text(), "12:09:00");

    field = fieldAt("12:34:59", 4, 6);
    pressDelete(field);
    EXPECT_EQ(field.text(), "12:35:09");

    field = fieldAt("12:34:56", 0, 8);
    pressDelete(field);
    EXPECT_EQ(field.text(), "00:00:00");
    EXPECT_EQ(field.caret(), 0u);
}

TEST(DurationFieldDelete, AnyDeletionsEndInADuration)
{
    // Every selection deleted from a spread of durations, then up to three
    // auto-repeated deletions at the caret, must repair to a valid text.
    std::mt19937 random(7);
    for (int n = 0; n < 3000; ++n) {
        char start[9];
        std::snprintf(start, sizeof start, "%02u:%02u:%02u", unsigned(random() % 100), unsigned(random() % 60),
                      unsigned(random() % 60));
        for (std::size_t p = 0; p <= 8; ++p) {
            for (std::size_t e = p; e <= 8; ++e) {
                auto field = fieldAt(start, p, e);
                const int repeats = int(random() % 4);
                for (int r = 0; r <= repeats; ++r)
                    field.deleteDown();
                field.deleteUp();
                ASSERT_TRUE(DurationField::isDurationText(field.text()))
                    << start << " [" << p << "," << e << ") x" << repeats + 1 << " -> " << field.text();
            }
        }
    }
}

TEST(DurationFieldDelete, KeysWhileDeleteIsHeldSeeARepairedText)
{
    auto field = fieldAt("12:34:56", 6, 8);
    field.deleteDown();
    EXPECT_EQ(field.text(), "12:34:");
    EXPECT_FALSE(field.typeChar('4').refused);
    EXPECT_EQ(field.text(), "12:34:40");
    EXPECT_FALSE(field.typeChar(kBackspace).refused);
    EXPECT_EQ(field.text(), "12:34:00");

    auto lost = fieldAt("12:34:56", 0, 5);
    lost.deleteDown();
    lost.focusOut(); // the key-up will go to another window
    EXPECT_FALSE(lost.deleteHeld());
    EXPECT_EQ(lost.text(), "00:56:00");
}

TEST(DurationFieldDelete, EmptyOwnerTextIsRepairedBeforeTyping)
{
    auto field = fieldAt("", 0);
    EXPECT_FALSE(field.typeChar('3').refused);
    EXPECT_EQ(field.text(), "30:00:00");
}

TEST(DurationFieldClipboard, PasteKeepsTheForm)
{
    auto field = fieldAt("00:00:00", 4);
    EXPECT_FALSE(field.paste(" 01:30:00\r\n").refused);
    EXPECT_EQ(field.text(), "01:30:00");
    EXPECT_EQ(field.caret(), 8u);

    field = fieldAt("00:00:00", 0);
    EXPECT_FALSE(field.paste("0145").refused);
    EXPECT_EQ(field.text(), "01:45:00");
    EXPECT_EQ(field.caret(), 5u);

    for (const char* bad : {"12:75", "1h30", "99:99:99", "1\b2", "123456789"}) {
        field = fieldAt("12:34:56", 0);
        EXPECT_TRUE(field.paste(bad).refused) << bad;
        EXPECT_EQ(field.text(), "12:34:56") << bad;
        EXPECT_EQ(field.caret(), 0u) << bad;
    }
}

TEST(DurationFieldClipboard, CutRemovesAndRepairs)
{
    auto field = fieldAt("12:34:56", 3, 5);
    EXPECT_EQ(field.cut(), "34");
    EXPECT_EQ(field.text(), "12:00:56");
    EXPECT_FALSE(field.deleteHeld());
}

TEST(DurationFieldDelete, RepairMakesAnyTextADuration)
{
    EXPECT_EQ(DurationField::repaired("9:9:9"), "90:09:09");
    EXPECT_EQ(DurationField::repaired("12:34:56:78"), "12:34:56");
    for (const char* junk : {"", "abc", "::::::::::", "99:99:99", "1a2b3c4d5e", "12:34:5678"})
        EXPECT_TRUE(DurationField::isDurationText(DurationField::repaired(junk))) << junk;
}

TEST(DurationFieldRandomKeys, TextStaysADuration)
{
    std::mt19937 random(5);
    const std::string_view keys = "0123456789::\b\b\x16";
    for (int run = 0; run < 300; ++run) {
        DurationField field;
        for (int step = 0; step < 60; ++step) {
            switch (random() % 8) {
            case 0:
                field.setSelection(random() % 9, random() % 9);
                break;
            case 1:
                pressDelete(field);
                break;
            case 2:
                field.paste(std::string(1, keys[random() % 12]) + "5");
                break;
            case 3:
                field.cut();
                break;
            default:
                field.typeChar(keys[random() % keys.size()]);
            }
            ASSERT_TRUE(DurationField::isDurationText(field.text()))
                << "run " << run << " step " << step << ": " << field.text();
        }
    }
}
