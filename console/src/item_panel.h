#pragma once
// The item panel of the bill panel: pages of five sale items, the line an item
// button adds (its price asked for when it is not fixed), and the quantity
// field that opens beside the item just added. Window thread only.

#include "store/bill_item.h"

#include <optional>
#include <string>

namespace store {
class SaleItemTable;
}

namespace console {

class PriceFieldPrompt;
struct BillPanelView;
struct WindowControls;

class ItemPanel {
public:
    static constexpr int kRows = 5;

    ItemPanel(const store::SaleItemTable& saleItems, PriceFieldPrompt& pricePrompt, WindowControls& window);

    bool shown() const { return shown_; }
    // Shows the panel; the focus goes to its first item unless a quantity is asked.
    void open();
    // Hides the panel and its quantity field.
    void close();

    // The line of the item on page row `row`, its price asked for when not
    // fixed; nullopt when the panel shows no item there.
    std::optional<store::BillItem> lineFor(int row);

    // The quantity field of page row `row` (numbered from 0) opens with "1"
    // selected, for line `line` of the displayed bill; the focus goes there.
    void openQuantityField(int row, int line);
    void closeQuantityField();
    // The field's text as the operator edits it; the first text ends the selection.
    void setQuantityText(std::string text)
    {
        quantityText_ = std::move(text);
        quantitySelected_ = false;
    }
    // Page row + 1 of the open quantity field, or 0.
    int quantityRow() const { return quantityRow_; }
    // Line of the displayed bill the quantity applies to, or -1.
    int quantityLine() const { return quantityLine_; }
    // The leading integer of the quantity field, kept within the int range.
    long long quantity() const;

    int pageStart() const { return pageStart_; }
    void nextPage();
    void previousPage();
    void firstPage();
    // The sale items changed: the page is reset when it lies beyond them.
    void rebuild();

    // The item rows and the page buttons.
    void describe(BillPanelView& view) const;

private:
    const store::SaleItemTable& saleItems_;
    PriceFieldPrompt& pricePrompt_;
    WindowControls& window_;
    bool shown_ = false;
    int quantityRow_ = 0;
    int quantityLine_ = -1;
    std::string quantityText_;
    bool quantitySelected_ = false;
    int pageStart_ = 0;
};

} // namespace console
