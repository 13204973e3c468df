#include "item_panel.h"

#include "console/console_view.h"
#include "console/money_text.h"
#include "console/operator_interfaces.h"
#include "console/texts.h"
#include "fields/money_field.h"
#include "store/sale_item_table.h"
#include "window_controls.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace console {

ItemPanel::ItemPanel(const store::SaleItemTable& saleItems, PriceFieldPrompt& pricePrompt, WindowControls& window)
    : saleItems_(saleItems), pricePrompt_(pricePrompt), window_(window)
{
}

void ItemPanel::open()
{
    shown_ = true;
    if (quantityRow_ == 0 && pageStart_ < saleItems_.saleItemCount())
        window_.requestFocus({FocusTarget::Control::ItemButton, 0});
}

void ItemPanel::close()
{
    shown_ = false;
    closeQuantityField();
}

std::optional<store::BillItem> ItemPanel::lineFor(int row)
{
    const int item = pageStart_ + row;
    if (!shown_ || row < 0 || row >= kRows || item >= saleItems_.saleItemCount())
        return std::nullopt;
    store::BillItem line{"", saleItems_.caption(item, false), saleItems_.priceText(item)};
    if (!saleItems_.fixedPrice(item)) {
        fields::MoneyField price;
        price.setValue(0.0, 2);
        pricePrompt_.askPrice(priceQuestion(saleItems_.caption(item, true)), price);
        line.priceText = price.text().empty() ? priceText(0.0) : price.text();
    }
    return line;
}

void ItemPanel::openQuantityField(int row, int line)
{
    quantityRow_ = row + 1;
    quantityLine_ = line;
    // Built as a string: a plain literal here draws a false -Wrestrict from GCC 12.
    quantityText_ = std::string("1");
    quantitySelected_ = true;
    window_.requestFocus({FocusTarget::Control::QuantityField, row});
}

void ItemPanel::closeQuantityField()
{
    quantityRow_ = 0;
    quantityLine_ = -1;
}

long long ItemPanel::quantity() const
{
    errno = 0;
    long long q = std::strtoll(quantityText_.c_str(), nullptr, 10);
    if (errno == ERANGE || q > INT_MAX)
        return INT_MAX;
    return q;
}

void ItemPanel::nextPage()
{
    if (!shown_ || pageStart_ >= saleItems_.saleItemCount() - kRows)
        return;
    pageStart_ += kRows;
    closeQuantityField();
}

void ItemPanel::previousPage()
{
    if (!shown_ || pageStart_ <= 0)
        return;
    pageStart_ -= kRows;
    closeQuantityField();
}

void ItemPanel::firstPage()
{
    closeQuantityField();
    pageStart_ = 0;
}

void ItemPanel::rebuild()
{
    if (pageStart_ >= saleItems_.saleItemCount())
        pageStart_ = 0;
    closeQuantityField();
}

void ItemPanel::describe(BillPanelView& view) const
{
    const int count = saleItems_.saleItemCount();
    for (int k = 0; k < kRows; ++k) {
        ItemRowView& row = view.itemRows[static_cast<std::size_t>(k)];
        const int item = pageStart_ + k;
        const bool present = shown_ && item < count;
        const bool asking = present && quantityRow_ == k + 1;
        std::string caption = item < count ? saleItems_.caption(item, true) : std::string();
        row.wide = {present && !asking, true, caption};
        row.narrow = {asking, true, caption};
        row.quantity = {asking, asking ? quantityText_ : std::string(), asking && quantitySelected_};
    }
    view.previous.visible = shown_ && pageStart_ > 0;
    view.next.visible = shown_ && pageStart_ < count - kRows;
}

} // namespace console
