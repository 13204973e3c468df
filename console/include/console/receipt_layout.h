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
};

// Scale of receipt units to device pixels. The receipt is drawn on a grid of
// 2360 x 3388 units: a page at least that large gets the whole-number factors
// width / 2360 and height / 3388. A smaller page (a till roll, for instance)
// would get a factor of 0; it gets one fractional factor for both axes instead,
// so that the 1010 units the receipt spans across fill its width (never more
// than one pixel per unit), keeping text proportions readable.
struct ReceiptScale {
    double sx = 1.0;
    double sy = 1.0;
    static ReceiptScale forPage(ReceiptPage page);
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

// One line of text in the rectangle, aligned horizontally, top-aligned,
// on a transparent background; "&" is printed as it is.
struct ReceiptText {
    enum class Align { Left, Centre, Right };
    std::string text;
    ReceiptRect rect;
    Align align = Align::Left;
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
