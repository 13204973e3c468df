#pragma once
// A receipt as data: fonts, text boxes and rules in device pixels, in the
// order the window paints them on one page.

#include <string>
#include <variant>
#include <vector>

namespace store {
struct BillItem;
}

namespace console {

// The printable area of the chosen printer, in device pixels.
struct ReceiptPage {
    int width = 0;
    int height = 0;
    int dotsPerInch = 0; // the printer's resolution; 0 when unknown
};

// Scale of receipt units to device pixels. The receipt is drawn on a grid of
// 2360 x 3388 units; it spans 1010 units across. Both axes always share one
// factor: unequal ones would squash the letters and let the lines run into
// each other, as font heights follow one factor and line advances the other.
// - A page at least the grid both ways gets the whole number width / 2360
//   (Letter paper at 600 dpi thus prints as large as A4 does, although its
//   height holds the grid only once).
// - A smaller page (a till roll, for instance) would get 0; it gets the
//   fraction that makes the receipt fill its width instead, at most one pixel
//   per unit at 300 dpi and proportionally more on finer printers (an A4 page
//   at 300 dpi with wide margins prints as one without them).
// - fittedTo() shrinks the factor for a receipt longer than the page, so its
//   last lines (the total and the change) are never cut off.
struct ReceiptScale {
    double sx = 1.0;
    double sy = 1.0;
    static ReceiptScale forPage(ReceiptPage page);
    // This scale, or a smaller one under which `unitsTall` units fit in `heightPixels`.
    ReceiptScale fittedTo(int heightPixels, int unitsTall) const;
    int x(int units) const { return static_cast<int>(units * sx); }
    int y(int units) const { return static_cast<int>(units * sy); }
};

struct ReceiptFont {
    std::string face; // "Tahoma", "Arial"
    int weight = 400; // 700 bold
    int height = 0;   // pixels
    int width = 0;    // average character width, pixels
    friend bool operator==(const ReceiptFont&, const ReceiptFont&) = default;
};

struct ReceiptRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const ReceiptRect&, const ReceiptRect&) = default;
};

// Selects the font for the texts that follow.
struct ReceiptSetFont {
    ReceiptFont font;
};

// One line of text in the rectangle, aligned horizontally, on a transparent
// background; "&" is printed as it is. The line starts at the rectangle's top
// and is never cut off by its bottom (later lines of a long bill lie below it).
// Whole texts (labels, prices, amounts) are printed in full. Elided texts are
// shortened with an ellipsis to fit the rectangle's width and, when
// left-aligned, to end a space before the right-aligned texts that follow
// them on the same line (a description never runs into its price).
struct ReceiptText {
    enum class Align { Left, Centre, Right };
    enum class Fit { Whole, Elide };
    std::string text;
    ReceiptRect rect;
    Align align = Align::Left;
    Fit fit = Fit::Whole;
};

// A horizontal line from x1 to x2 at y.
struct ReceiptRule {
    int x1 = 0, x2 = 0, y = 0;
};

using ReceiptElement = std::variant<ReceiptSetFont, ReceiptText, ReceiptRule>;

struct ReceiptLayout {
    ReceiptPage page;
    ReceiptScale scale;
    std::string documentName; // the console's title string: empty
    std::vector<ReceiptElement> elements;
};

struct ReceiptContent {
    std::string line1; // ReceiptLine1
    std::string line2; // ReceiptLine2
    std::vector<store::BillItem> lines;
    std::string total;
    std::string tendered;
    std::string change;
};

ReceiptLayout layOutReceipt(ReceiptPage page, const ReceiptContent& content);

} // namespace console
