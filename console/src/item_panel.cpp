#include "console/bill_panel.h"

#include "money_keeper.h"
#include "window_controls.h"
#include "modal_guard.h"
#include "console/money_text.h"
#include "station_board.h"
#include "console/texts.h"
#include "console/operator_interfaces.h"

#include "link/link_bits.h"
#include "store/activity_log.h"
#include "store/sale_item_table.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

// The item panel: sale items added to the displayed bill, their quantities,
// and the pages of five items.

namespace console {

namespace {

// The leading integer of the quantity field, kept within the int range.
long long quantityValue(const std::string& text)
{
    errno = 0;
    long long q = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || q > INT_MAX)
        return INT_MAX;
    return q;
}

} // namespace

std::string priceQuestion(const std::string& itemCaption)
{
    return "Enter price for item:\"" + itemCaption + "\"";
}

void BillPanel::onItemPanelButton()
{
    const bool wasOpen = itemPanelShown_;
    // The button reads "Stop PC#n" (itemPanelCaption) for a running station's open bill.
    const bool stopsStation = itemPanelShown_ && displayedStation_ != 0 && !sessionBillFlag_;
    const int station = displayedStation_;
    showBillPanel(true);
    if (!wasOpen) {
        openItemPanel(true);
        return;
    }
    if (stopsStation && ctx_.board.isStatus(station - 1, kStatusStarted)) {
        ctx_.board.sendStationCommand(station - 1, stationlink::CMD_LOCK);
        ctx_.keeper.moneyChanged();
    }
    ctx_.window.requestFocus({FocusTarget::Control::TenderField, 0});
}

void BillPanel::onItemPressed(int row)
{
    const int item = pageStart_ + row;
    if (!itemPanelShown_ || row < 0 || row >= kItemRows || item >= ctx_.saleItems.saleItemCount())
        return;
    store::BillItem line{"", ctx_.saleItems.caption(item, false), ctx_.saleItems.priceText(item)};
    if (!ctx_.saleItems.fixedPrice(item)) {
        fields::MoneyField price;
        price.setValue(0.0, 2);
        ctx_.pricePrompt.askPrice(priceQuestion(ctx_.saleItems.caption(item, true)), price);
        line.priceText = price.text().empty() ? priceText(0.0) : price.text();
    }
    addBillItem(line);
    quantityRow_ = row + 1;
    quantityLine_ = static_cast<int>(bills_[static_cast<std::size_t>(current_)].items.size()) - 1;
    quantityText_ = "1";
    quantitySelected_ = true;
    ctx_.window.requestFocus({FocusTarget::Control::QuantityField, row});
    ctx_.window.billButtonEnabled = true;
    ctx_.keeper.moneyChanged();
    // A session that ended while the price was asked is billed only now, so
    // that the line went to the bill it was asked for.
    ctx_.guard.settle();
}

void BillPanel::addBillItem(store::BillItem line)
{
    const std::string description = line.description;
    const std::string price = line.priceText;
    if (current_ < 0) {
        OpenBill bill{{std::move(line)}, true, displayedStation_, std::nullopt, BillKind::Open};
        std::string caption = provisional_ ? *provisional_
                              : displayedStation_ != 0 ? stationOpenBillCaption(displayedStation_)
                                                       : std::string(kWalkInBillCaption);
        if (displayedStation_ != 0 && displayedStation_ <= ctx_.board.stationCount())
            ctx_.board.station(displayedStation_ - 1).openBillMark = true;
        provisional_.reset();
        current_ = insertStoredBill(std::move(bill), std::move(caption));
        selected_ = current_;
    } else {
        bills_[static_cast<std::size_t>(current_)].items.push_back(std::move(line));
    }
    ctx_.log.writeLogLine("ADD ITEM," + description + "," + price);
    if (provisionalWalkIn_)
        provisionalWalkIn_ = false;
    else if (displayedStation_ != 0 && stationSessionRuns(displayedStation_))
        addStationExtras(displayedStation_, amountOf(price));
    redisplayCurrent();
}

void BillPanel::onQuantityEnter()
{
    if (quantityRow_ == 0)
        return;
    const int row = quantityRow_ - 1;
    long long q = quantityValue(quantityText_);
    if (q > 1 && current_ >= 0) {
        auto& items = bills_[static_cast<std::size_t>(current_)].items;
        if (quantityLine_ >= 0 && quantityLine_ < static_cast<int>(items.size())) {
            store::BillItem& line = items[static_cast<std::size_t>(quantityLine_)];
            double unit = amountOf(line.priceText);
            line.description += " x " + std::to_string(q);
            line.priceText = priceText(unit * static_cast<double>(q));
            if (displayedStation_ != 0 && stationSessionRuns(displayedStation_))
                addStationExtras(displayedStation_, unit * static_cast<double>(q - 1));
            redisplayCurrent();
            ctx_.keeper.moneyChanged();
        }
    }
    closeQuantityField();
    ctx_.window.requestFocus({FocusTarget::Control::ItemButton, row});
}

void BillPanel::onNextPage()
{
    if (!itemPanelShown_ || pageStart_ >= ctx_.saleItems.saleItemCount() - kItemRows)
        return;
    pageStart_ += kItemRows;
    closeQuantityField();
}

void BillPanel::onPreviousPage()
{
    if (!itemPanelShown_ || pageStart_ <= 0)
        return;
    pageStart_ -= kItemRows;
    closeQuantityField();
}

void BillPanel::rebuildItemPanel()
{
    if (pageStart_ >= ctx_.saleItems.saleItemCount())
        pageStart_ = 0;
    closeQuantityField();
}

} // namespace console
