// The receipt's scale rule and the console's time formats.

#include "console/money_text.h"
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
    const ReceiptScale scale = ReceiptScale::forPage({2360 * 3 - 1, 3388 + 5});
    EXPECT_EQ(scale.sx, 2.0);
    EXPECT_EQ(scale.sy, 1.0);
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

} // namespace console
