#include "fields/money_field.h"

#include "field_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string_view>

using fields::kEnter;
using fields::MoneyField;
using fields::test::expectTyped;
using fields::test::pressDelete;
using fields::test::type;

namespace {

MoneyField fieldAt(const char* text, std::size_t caret, std::size_t end = 0)
{
    return fields::test::fieldWith<MoneyField>(text, caret, end);
}

// Digits with at most one point and at least one digit: what the owner reads
// back as an amount.
bool isAmountText(const std::string& text)
{
    int points = 0, digits = 0;
    for (char c : text) {
        if (c == '.')
            ++points;
        else if (c >= '0' && c <= '9')
            ++digits;
        else
            return false;
    }
    return points <= 1 && digits >= 1;
}

} // namespace

TEST(MoneyFieldValue, SetValueFormatsWithTheDecimals)
{
    MoneyField field;
    EXPECT_EQ(field.text(), "");
    EXPECT_EQ(field.decimals(), 2);
    field.setValue(3, 2);
    EXPECT_EQ(field.text(), "3.00");
    EXPECT_DOUBLE_EQ(field.value(), 3.0);
    field.setValue(2.675, 2); // binary 2.67499..., as "%.2f" shows it
    EXPECT_EQ(field.text(), "2.67");
    field.setValue(-0.0, 2);
    EXPECT_EQ(field.text(), "0.00");
    field.setValue(12.5, 0);
    EXPECT_EQ(field.text(), "12");
    EXPECT_TRUE(field.typeChar('.').refused);
}

TEST(MoneyFieldValue, MinimumAndDifference)
{
    MoneyField field;
    field.setMinimum(10);
    EXPECT_EQ(field.differenceText(7.5), "2.50");
    EXPECT_EQ(field.differenceText(12.25), "2.25");
    EXPECT_FALSE(field.isAtLeastMinimum(9.99));
    EXPECT_TRUE(field.isAtLeastMinimum(10));

    // An amount due summed from prices is met by the same amount typed in.
    field.setMinimum(1.10 + 2.20);
    EXPECT_TRUE(field.isAtLeastMinimum(3.30));
    EXPECT_EQ(field.differenceText(3.30), "0.00");
}

TEST(MoneyFieldValue, EnterMovesToChargeOnlyFromTheMinimumUp)
{
    MoneyField field;
    field.setMinimum(5);
    field.setValue(4.99, 2);
    EXPECT_TRUE(field.typeChar(kEnter).refused);
    field.setValue(5, 2);
    const auto result = field.typeChar(kEnter);
    EXPECT_FALSE(result.refused);
    EXPECT_TRUE(result.moveFocusToCharge);
    EXPECT_EQ(field.text(), "5.00");
}

TEST(MoneyFieldTyping, CashRegisterEntryShiftsFromTheRight)
{
    MoneyField field;
    field.setValue(0, 2);
    EXPECT_TRUE(field.focusIn().clearDefaultButton);
    const char* shown[] = {"0.01", "0.12", "1.23", "12.34", "123.45"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(field.typeChar(char('1' + i)).refused);
        EXPECT_EQ(field.text(), shown[i]);
        EXPECT_EQ(field.caret(), field.text().size());
    }
}

TEST(MoneyFieldTyping, FractionDigitsOverwrite)
{
    expectTyped<MoneyField>({"12.34", 3, "98", "12.98", 5});

    // A short fraction grows by insertion.
    auto field = fieldAt("1.5", 3);
    type(field, "7");
    EXPECT_EQ(field.text(), "1.57");
}

TEST(MoneyFieldTyping, PointEntersTheFraction)
{
    auto field = fieldAt("12.34", 2);
    EXPECT_FALSE(field.typeChar('.').refused);
    EXPECT_EQ(field.caret(), 3u);
    EXPECT_TRUE(field.fractionMode());
    EXPECT_TRUE(field.typeChar('.').refused);
    type(field, "56");
    EXPECT_EQ(field.text(), "12.56");
    // In fraction mode the amount no longer shifts at the end.
    EXPECT_TRUE(field.typeChar('7').refused);
    EXPECT_EQ(field.text(), "12.56");
    field.setValue(12.56, 2);
    EXPECT_FALSE(field.fractionMode());
}

TEST(MoneyFieldTyping, PointMovesToTheCaret)
{
    expectTyped<MoneyField>({"12.34", 1, ".", "1.23", 2});
    expectTyped<MoneyField>({"12.34", 4, ".", "123.40", 4});
    expectTyped<MoneyField>({"10.50", 0, ".", ".10", 1});

    auto field = fieldAt("", 0);
    type(field, ".");
    EXPECT_EQ(field.text(), "0.");
}

TEST(MoneyFieldTyping, RefusedAndIgnoredCharacters)
{
    auto field = fieldAt("12.34", 4);
    for (char c : std::string_view("a- ,+\xe9"))
        EXPECT_TRUE(field.typeChar(c).refused) << int(c);
    // Clipboard shortcuts never write themselves into the amount.
    for (char c : {'\x03', '\x16', '\x18', '\x1a', '\x1b'})
        EXPECT_FALSE(field.typeChar(c).refused);
    EXPECT_EQ(field.text(), "12.34");
}

TEST(MoneyFieldTyping, LeadingZerosGo)
{
    expectTyped<MoneyField>({"0", 1, "5", "5", 1});
    expectTyped<MoneyField>({"0.00", 1, "7", "7.00", 1});
    expectTyped<MoneyField>({"007.50", 4, "9", "7.90", 3});
}

TEST(MoneyFieldBackspace, KeepsTheFractionLength)
{
    auto field = fieldAt("12.34", 5);
    type(field, "\b");
    EXPECT_EQ(field.text(), "12.30");
    EXPECT_EQ(field.caret(), 4u);
    type(field, "\b");
    EXPECT_EQ(field.text(), "12.00");
    type(field, "\b"); // just after the point: only leaves the fraction
    EXPECT_EQ(field.text(), "12.00");
    EXPECT_EQ(field.caret(), 2u);
    EXPECT_FALSE(field.fractionMode());
    type(field, "\b\b");
    EXPECT_EQ(field.text(), "0.00");
    EXPECT_EQ(field.caret(), 1u);

    expectTyped<MoneyField>({"105.00", 1, "\b", "5.00", 0});
}

TEST(MoneyFieldBackspace, SelectionIsRemovedAndNormalised)
{
    auto field = fieldAt("12.34", 1, 4);
    type(field, "\b");
    EXPECT_EQ(field.text(), "1.40");
    EXPECT_EQ(field.caret(), 2u);

    field = fieldAt("12.34", 0, 5);
    type(field, "\b");
    EXPECT_EQ(field.text(), "0.00");
}

TEST(MoneyFieldBackspace, TextWithoutPointStaysANumber)
{
    auto field = fieldAt("5", 1); // as a paste can leave it
    EXPECT_EQ(field.text(), "5");
    type(field, "\b");
    EXPECT_EQ(field.text(), "0");
    type(field, "\b");
    EXPECT_EQ(field.text(), "0");
    pressDelete(field);
    EXPECT_EQ(field.text(), "0.00");
}

TEST(MoneyFieldDelete, NormalisesTheText)
{
    auto field = fieldAt("", 0);
    pressDelete(field);
    EXPECT_EQ(field.text(), "0.00");
    EXPECT_EQ(field.caret(), 4u);

    field = fieldAt("12.34", 0, 5);
    pressDelete(field);
    EXPECT_EQ(field.text(), "0.00");

    field = fieldAt("12.34", 2); // the point comes back at the caret
    pressDelete(field);
    EXPECT_EQ(field.text(), "12.34");
    EXPECT_EQ(field.caret(), 3u);

    field = fieldAt("0.50", 0);
    pressDelete(field);
    EXPECT_EQ(field.text(), "0.50");
    EXPECT_EQ(field.caret(), 1u);

    field = fieldAt("10.00", 0);
    pressDelete(field);
    EXPECT_EQ(field.text(), "0.00");

    field = fieldAt("12.34", 4);
    pressDelete(field);
    EXPECT_EQ(field.text(), "12.30");
}

TEST(MoneyFieldDelete, HeldKeyAndLostFocus)
{
    auto field = fieldAt("12.34", 0, 5);
    field.deleteDown();
    EXPECT_EQ(field.text(), "0.00");
    field.setSelection(0, 2);
    type(field, "7"); // text changes while Delete is held are normalised
    EXPECT_EQ(field.text(), "7.00");
    EXPECT_EQ(field.caret(), 1u);
    EXPECT_TRUE(field.deleteHeld());
    field.focusOut();
    EXPECT_FALSE(field.deleteHeld());
    EXPECT_EQ(field.text(), "7.00");
}

// Typing over a selection takes it away first and then enters the amount as
// the field always does, so that select-all and "120" is 1.20, not 120.00.
TEST(MoneyFieldTyping, OverASelectionFollowsTheTillRule)
{
    auto field = fieldAt("48.50", 0, 5);
    type(field, "120");
    EXPECT_EQ(field.text(), "1.20");
    EXPECT_EQ(field.caret(), 4u);

    field = fieldAt("12.34", 0, 2); // the whole units only
    type(field, "5");
    EXPECT_EQ(field.text(), "5.34");

    field = fieldAt("12.34", 3, 5); // the fraction only
    type(field, "5");
    EXPECT_EQ(field.text(), "12.50");

    field = fieldAt("12.34", 0, 5); // a point over everything starts the fraction
    type(field, ".5");
    EXPECT_EQ(field.text(), "0.50");

    field = fieldAt("12.34", 0, 5);
    EXPECT_TRUE(field.typeChar('x').refused);
    EXPECT_EQ(field.text(), "12.34") << "a refused key takes nothing away";
}

TEST(MoneyFieldClipboard, PasteOnlyWhatStaysOneNumber)
{
    auto field = fieldAt("12.34", 0, 5);
    EXPECT_FALSE(field.paste(" 0012.5\n").refused);
    EXPECT_EQ(field.text(), "12.5");
    EXPECT_EQ(field.caret(), 4u);

    for (const char* bad : {"1.2.3", "12,50", "-3", "."}) {
        field = fieldAt("12.34", 0, 5);
        EXPECT_TRUE(field.paste(bad).refused) << bad;
        EXPECT_EQ(field.text(), "12.34") << bad;
    }
    field = fieldAt("12.34", 5);
    EXPECT_TRUE(field.paste("5.5").refused);

    field = fieldAt("12.34", 1, 4);
    EXPECT_EQ(field.cut(), "2.3");
    EXPECT_EQ(field.text(), "1.40");
}

TEST(MoneyFieldRandomKeys, TextAlwaysReadsAsAnAmount)
{
    std::mt19937 random(11);
    const std::string_view keys = "0123456789..\b\b\r\x16";
    for (int run = 0; run < 300; ++run) {
        MoneyField field;
        field.setValue(double(random() % 100000) / 100, 2);
        field.focusIn();
        for (int step = 0; step < 60; ++step) {
            const auto n = field.text().size() + 1;
            switch (random() % 8) {
            case 0:
                field.setSelection(random() % n, random() % n);
                break;
            case 1:
                pressDelete(field);
                break;
            case 2:
                field.paste(std::string(1, keys[random() % 10]) + ".5");
                break;
            default:
                field.typeChar(keys[random() % keys.size()]);
            }
            ASSERT_TRUE(isAmountText(field.text())) << "run " << run << " step " << step << ": " << field.text();
            ASSERT_LE(field.selectionEnd(), field.text().size());
        }
    }
}
