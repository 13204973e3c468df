// The receipt's scale rule and the console's time formats.

#include "console/money_text.h"
#include "console/station_table.h"
#include "console/receipt_layout.h"

#include "store/bill_item.h"

#include <gtest/gtest.h>

namespace console {

namespace {

ReceiptContent sample()
{
    return {"Corner Cafe", "Main Street", {{"1", "00 hrs 31 mins 01 secs", "2.00"}}, "2.00", "5.00", "3.00"};
}

const ReceiptText& firstText(const ReceiptLayout& layout)
{
    for (const ReceiptElement& e : layout.elements)
        if (auto* t = std::get_if<ReceiptText>(&e))
            return *t;
    throw std::logic_error("no text");
}

// The last font set: the body's.
ReceiptFont bodyFont(const ReceiptLayout& layout)
{
    ReceiptFont body;
    for (const ReceiptElement& e : layout.elements)
        if (auto* f = std::get_if<ReceiptSetFont>(&e))
            body = f->font;
    return body;
}

} // namespace

TEST(ReceiptLayout, APageTwiceTheGridScalesByTwo)
{
    const ReceiptLayout layout = layOutReceipt({4720, 6776}, sample());
    EXPECT_EQ(layout.scale.sx, 2.0);
    EXPECT_EQ(layout.scale.sy, 2.0);
    const auto& header = std::get<ReceiptSetFont>(layout.elements.front()).font;
    EXPECT_EQ(header, (ReceiptFont{"Tahoma", 700, 144, 56}));
    const ReceiptText& line1 = firstText(layout);
    EXPECT_EQ(line1.text, "Corner Cafe");
    EXPECT_EQ(line1.rect, (ReceiptRect{20, 20, 2000, 2000}));
    EXPECT_EQ(line1.align, ReceiptText::Align::Centre);
    EXPECT_TRUE(layout.documentName.empty());

    // The bill line: description at the left edge, price right-aligned.
    std::vector<ReceiptText> texts;
    for (const ReceiptElement& e : layout.elements)
        if (auto* t = std::get_if<ReceiptText>(&e))
            texts.push_back(*t);
    ASSERT_EQ(texts.size(), 12u);
    EXPECT_EQ(texts[4].text, "00 hrs 31 mins 01 secs");
    EXPECT_EQ(texts[4].rect.left, 20);
    EXPECT_EQ(texts[5].rect.left, 620);
    EXPECT_EQ(texts[5].align, ReceiptText::Align::Right);
    EXPECT_EQ(texts[6].text, "Total:");
    EXPECT_EQ(texts[6].rect.left, 920);
}

TEST(ReceiptLayout, FactorsAreWholeNumbersOnLargePages)
{
    // Twice the grid across but once down: the width's factor serves both axes,
    // as letters drawn 2 high and 1 wide on lines 1 apart would overlap.
    const ReceiptScale scale = ReceiptScale::forPage({2360 * 3 - 1, 3388 + 5});
    EXPECT_EQ(scale.sx, 2.0);
    EXPECT_EQ(scale.sy, 2.0);
}

TEST(ReceiptLayout, OfficePagesGetOneWholeFactorForBothAxes)
{
    // Printable areas of A4 and Letter with Qt's default margins (3.5 mm).
    EXPECT_EQ(ReceiptScale::forPage({2395, 3424, 300}).sx, 1.0);
    EXPECT_EQ(ReceiptScale::forPage({4792, 6851, 600}).sx, 2.0);
    EXPECT_EQ(ReceiptScale::forPage({9583, 13699, 1200}).sx, 4.0);
    EXPECT_EQ(ReceiptScale::forPage({5017, 6517, 600}).sy, 2.0); // Letter
    // A4 at 300 dpi with 6 mm margins falls just below the grid: still one pixel per unit.
    EXPECT_EQ(ReceiptScale::forPage({2338, 3366, 300}).sx, 1.0);
    EXPECT_EQ(ReceiptScale::forPage({2338, 3366, 300}).sy, 1.0);

    // Letter at 600 dpi: each line's text ends above the next line.
    const ReceiptLayout layout = layOutReceipt({5017, 6517, 600}, sample());
    int advance = 0;
    int previousTop = -1;
    for (const ReceiptElement& e : layout.elements) {
        if (auto* t = std::get_if<ReceiptText>(&e)) {
            if (previousTop >= 0 && t->rect.top != previousTop)
                advance = t->rect.top - previousTop;
            previousTop = t->rect.top;
        }
    }
    ASSERT_GT(advance, 0);
    EXPECT_LE(bodyFont(layout).height, advance);
}

TEST(ReceiptLayout, RollsGetTheReceiptAcrossTheirWidthAtAnyResolution)
{
    // 80 mm rolls (72 mm printable, 3.5 mm margins) at 203, 300 and 600 dpi.
    for (const ReceiptPage page :
         {ReceiptPage{584, 1543, 203}, ReceiptPage{862, 2279, 300}, ReceiptPage{1726, 4559, 600}}) {
        const ReceiptScale scale = ReceiptScale::forPage(page);
        EXPECT_NEAR(scale.sx, page.width / 1010.0, 1e-9) << page.dotsPerInch;
        EXPECT_EQ(scale.sx, scale.sy);
        EXPECT_LE(scale.x(10) + scale.x(1000), page.width);
        EXPECT_GE(scale.x(10) + scale.x(1000), page.width - 2);
    }
    // Without a known resolution, at most one pixel per unit.
    EXPECT_EQ(ReceiptScale::forPage({1726, 4559}).sx, 1.0);
    // A narrow page of a coarse printer is not blown up: A4 at 203 dpi.
    EXPECT_EQ(ReceiptScale::forPage({1622, 2318, 203}).sx, 1.0);
    EXPECT_EQ(ReceiptScale::forPage({0, 0, 300}).sx, 0.0);
}

TEST(ReceiptLayout, ABillLongerThanThePageShrinksUntilTheChangeFits)
{
    ReceiptContent content = sample();
    content.lines.assign(120, {"", "Coffee", "1.20"});
    const ReceiptPage roll{584, 1543, 203};
    const ReceiptLayout layout = layOutReceipt(roll, content);
    EXPECT_LT(layout.scale.sx, 584 / 1010.0);
    EXPECT_EQ(layout.scale.sx, layout.scale.sy);
    const auto& change = std::get<ReceiptText>(layout.elements.back());
    ASSERT_EQ(change.text, "3.00");
    const int bottom = change.rect.top + bodyFont(layout).height;
    EXPECT_LE(bottom, roll.height);
    EXPECT_GT(bottom, roll.height - 60); // shrunk no further than needed

    // A short bill on the same roll keeps the roll's own scale.
    EXPECT_NEAR(layOutReceipt(roll, sample()).scale.sx, 584 / 1010.0, 1e-9);
}

TEST(ReceiptLayout, ANarrowPrinterGetsTheReceiptAcrossItsWidth)
{
    // An 80 mm till roll: 576 pixels across.
    const ReceiptLayout layout = layOutReceipt({576, 20000}, sample());
    EXPECT_NEAR(layout.scale.sx, 576.0 / 1010, 1e-9);
    EXPECT_EQ(layout.scale.sx, layout.scale.sy);
    ReceiptFont body;
    for (const ReceiptElement& e : layout.elements) {
        if (auto* t = std::get_if<ReceiptText>(&e)) {
            EXPECT_LE(t->rect.right, 576);
        } else if (auto* rule = std::get_if<ReceiptRule>(&e)) {
            EXPECT_LE(rule->x2, 576);
        } else {
            body = std::get<ReceiptSetFont>(e).font; // the last font set is the body's
        }
    }
    EXPECT_EQ(body.face, "Arial");
    EXPECT_EQ(body.height, 18); // readable: about 2.3 mm at 203 dpi

    // Wide enough but short: one pixel per unit.
    EXPECT_EQ(ReceiptScale::forPage({3508, 2480}).sx, 1.0);
}

TEST(ConsoleFormats, SpansShowTheHoursWithinTheDay)
{
    EXPECT_EQ(spanClockText(0), "00:00:00");
    EXPECT_EQ(spanClockText(25 * 3600 + 61), "01:01:01");
    EXPECT_EQ(spanClockText(-5), "00:00:00");
    EXPECT_EQ(spanMinuteText(3599), "00:59");
    EXPECT_EQ(spanBillText(1861), "00 hrs 31 mins 01 secs");
}

TEST(ConsoleFormats, MoneyTextsAndReadingThemBack)
{
    EXPECT_EQ(accessCostText(2.0), "2.00");
    EXPECT_EQ(moneyText(12.345), "12.35");
    EXPECT_EQ(priceText(0.1 * 3), "0.30");
    EXPECT_EQ(amountOf("12.50"), 12.5);
    EXPECT_EQ(amountOf(" 3.25 x 2"), 3.25);
    EXPECT_EQ(amountOf("<Price>"), 0.0);
    EXPECT_EQ(amountOf("1e999"), 0.0);
    EXPECT_EQ(amountOf(""), 0.0);
}

// The row keeps its money at the shown rounding, so the total the operator
// reads is always the sum of the two amounts beside it, and its texts are
// the ones the table showed when it held texts.
TEST(ConsoleFormats, ARowsTextsComeFromItsStateAndItsTotalAddsUpWhatIsShown)
{
    StationTable table;
    table.appendRow();
    table.appendRow();
    EXPECT_EQ(table.row(1), (StationTable::Row{"2", "Disconnected", "", "", "0.00", "0.00", "0.00"}));

    RowState& row = table.state(1);
    row.phase = Phase::Started;
    row.accessCost = ShownMoney(0.666);
    row.extras = ShownMoney(0.666);
    EXPECT_EQ(table.text(1, Column::AccessCost), "0.67");
    EXPECT_EQ(table.text(1, Column::Total), "1.34") << "not 1.33, the sum of the amounts unrounded";
    row.duration = ShownDuration::unknown();
    EXPECT_EQ(table.text(1, Column::Duration), "?");
    EXPECT_EQ(row.duration.minuteText(), "") << "an unknown duration always differs from a minute reached";
    EXPECT_FALSE(row.duration.showsMinuteOf(0));
    row.duration = ShownDuration::of(3725);
    EXPECT_EQ(table.text(1, Column::Duration), "01:02:05");
    EXPECT_TRUE(row.duration.showsMinuteOf(3720) && row.duration.showsMinuteOf(3779));
    EXPECT_FALSE(row.duration.showsMinuteOf(3719) || row.duration.showsMinuteOf(3780));
    EXPECT_TRUE(row.duration.showsMinuteOf(3725 + 24 * 3600)) << "the clock text starts again each day";
    EXPECT_EQ(ShownMoney(1e15 / 3).text(), moneyText(ShownMoney(1e15 / 3).amount())) << "past 15 digits too";
    EXPECT_EQ(ShownMoney::fromText("garbled"), ShownMoney());

    row.clearSession();
    EXPECT_EQ(table.row(1), (StationTable::Row{"2", "Started", "", "", "0.00", "0.00", "0.00"}));
}

} // namespace console
