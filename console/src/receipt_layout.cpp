#include "console/receipt_layout.h"

#include "console/texts.h"

#include "store/bill_item.h"

#include <algorithm>

namespace console {

namespace {

constexpr int kGridWidth = 2360;
constexpr int kGridHeight = 3388;
constexpr int kSpanWidth = 1010;         // the receipt reaches from unit 10 to unit 1010 across
constexpr int kFinestUnitsPerInch = 300; // small pages: at most one pixel per unit at 300 dpi

// Lines above the first bill line (two for the header, one each for the
// sub-header and the column titles) and below the last one (rule, total,
// tendered, change).
constexpr int kAdvancesAround = 7;

// Units from the page's top to the bottom of the last line ("Change:", body font).
int unitsTall(std::size_t billLines) { return 10 + 40 * (kAdvancesAround + static_cast<int>(billLines)) + 32; }

class Painter {
public:
    Painter(ReceiptLayout& layout) : layout_(layout), s_(layout.scale)
    {
        rect_ = {s_.x(10), s_.y(10), s_.x(1000), s_.y(1000)};
    }

    void font(const char* face, int weight, int height, int width)
    {
        // Heights follow the horizontal factor and widths the vertical one, as
        // the receipt has always been drawn; forPage() makes the two equal.
        layout_.elements.push_back(ReceiptSetFont{{face, weight, s_.x(height), s_.y(width)}});
    }
    void text(const std::string& text, ReceiptText::Align align, ReceiptText::Fit fit = ReceiptText::Fit::Whole)
    {
        layout_.elements.push_back(ReceiptText{text, rect_, align, fit});
    }
    void advance() { rect_.top += s_.y(40); }
    void rule() { layout_.elements.push_back(ReceiptRule{s_.x(10), s_.x(10) + s_.x(1000), rect_.top}); }
    void shiftLeft(int units) { rect_.left += s_.x(units); }

private:
    ReceiptLayout& layout_;
    ReceiptScale s_;
    ReceiptRect rect_;
};

} // namespace

ReceiptScale ReceiptScale::forPage(ReceiptPage page)
{
    if (page.width <= 0 || page.height <= 0)
        return {0.0, 0.0};
    const int wholeX = page.width / kGridWidth;
    const int wholeY = page.height / kGridHeight;
    if (wholeX > 0 && wholeY > 0)
        return {static_cast<double>(wholeX), static_cast<double>(wholeX)};
    const double finest = std::max(1.0, static_cast<double>(page.dotsPerInch) / kFinestUnitsPerInch);
    const double fit = std::min(static_cast<double>(page.width) / kSpanWidth, finest);
    return {fit, fit};
}

ReceiptScale ReceiptScale::fittedTo(int heightPixels, int unitsTall) const
{
    if (unitsTall <= 0 || sy * unitsTall <= heightPixels)
        return *this;
    const double fit = std::max(0.0, static_cast<double>(heightPixels) / unitsTall);
    return {std::min(sx, fit), std::min(sy, fit)};
}

ReceiptLayout layOutReceipt(ReceiptPage page, const ReceiptContent& content)
{
    using Align = ReceiptText::Align;
    ReceiptLayout layout;
    layout.page = page;
    layout.scale = ReceiptScale::forPage(page).fittedTo(page.height, unitsTall(content.lines.size()));
    Painter p(layout);

    p.font("Tahoma", 700, 72, 28);
    p.text(content.line1, Align::Centre, ReceiptText::Fit::Elide);
    p.advance();
    p.advance();
    p.font("Arial", 700, 36, 14);
    p.text(content.line2, Align::Centre, ReceiptText::Fit::Elide);
    p.advance();
    p.rule();
    p.text(kReceiptDescriptionTitle, Align::Left);
    p.shiftLeft(300);
    p.text(kReceiptPriceTitle, Align::Right);
    p.font("Arial", 400, 32, 12);
    p.advance();
    p.rule();
    for (const store::BillItem& line : content.lines) {
        p.shiftLeft(-300);
        p.text(line.description, Align::Left, ReceiptText::Fit::Elide);
        p.shiftLeft(300);
        p.text(line.priceText, Align::Right);
        p.advance();
    }
    p.rule();
    p.advance();
    p.shiftLeft(150);
    p.text(kReceiptTotalLabel, Align::Left);
    p.text(content.total, Align::Right);
    p.advance();
    p.text(kReceiptTenderedLabel, Align::Left);
    p.text(content.tendered, Align::Right);
    p.advance();
    p.text(kReceiptChangeLabel, Align::Left);
    p.text(content.change, Align::Right);
    return layout;
}

} // namespace console
