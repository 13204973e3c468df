#include "console/bill_panel.h"

#include "money_keeper.h"
#include "window_controls.h"
#include "console/money_text.h"
#include "station_board.h"
#include "console/texts.h"

#include "store/sale_item_table.h"

// The panel itself: its bills and their selector, showing and hiding, the
// displayed bill, the Bill button, and the view the window paints.

namespace console {

BillPanel::BillPanel(BillPanelContext context) : ctx_(context)
{
    // Two decimals from the start, so that typed digits shift in as on a till.
    tender_.setValue(0.0, 2);
}

// --- selector bookkeeping ---------------------------------------------------

std::vector<std::string> BillPanel::selectorEntries() const
{
    std::vector<std::string> entries = captions_;
    if (provisional_)
        entries.push_back(*provisional_);
    return entries;
}

int BillPanel::findCaption(const std::string& caption) const
{
    for (std::size_t k = 0; k < captions_.size(); ++k)
        if (captions_[k] == caption)
            return static_cast<int>(k);
    return -1;
}

void BillPanel::dropProvisional()
{
    if (!provisional_)
        return;
    if (selected_ == static_cast<int>(bills_.size()))
        selected_ = -1;
    provisional_.reset();
}

// Stored bills come before the provisional entry, which stays last (and selected).
int BillPanel::insertStoredBill(OpenBill bill, std::string caption)
{
    int index = static_cast<int>(bills_.size());
    bills_.push_back(std::move(bill));
    captions_.push_back(std::move(caption));
    if (provisional_ && selected_ == index)
        ++selected_;
    return index;
}

void BillPanel::removeStoredBill(int index)
{
    bills_.erase(bills_.begin() + index);
    captions_.erase(captions_.begin() + index);
    if (current_ == index)
        current_ = -1;
    else if (current_ > index)
        --current_;
    if (selected_ == index)
        selected_ = -1;
    else if (selected_ > index)
        --selected_;
}

std::vector<store::KeptBill> BillPanel::keptBills() const
{
    std::vector<store::KeptBill> kept;
    kept.reserve(bills_.size());
    for (std::size_t k = 0; k < bills_.size(); ++k)
        kept.push_back({captions_[k], bills_[k].station, bills_[k].itemMode, bills_[k].items,
                        bills_[k].unsettledChargeAt});
    return kept;
}

void BillPanel::restoreOpenBills(std::vector<store::KeptBill> bills)
{
    for (store::KeptBill& bill : bills) {
        // The file keeps no kind: a station's bill is told by its caption's form
        // once, as the bill is read back.
        const BillKind kind = startsWith(bill.caption, kStationsPrefix) ? BillKind::Station : BillKind::Open;
        insertStoredBill(OpenBill{std::move(bill.items), bill.itemMode, bill.station, bill.chargingAt, kind},
                         std::move(bill.caption));
    }
    if (!bills_.empty()) {
        selected_ = 0;
        showBillPanel(true);
        showOpenBill(0);
    }
}

// --- panel and item panel ---------------------------------------------------

void BillPanel::showBillPanel(bool show)
{
    panelShown_ = show;
    if (!show)
        dueShown_ = false;
    if (itemPanelShown_) {
        openItemPanel(false);
    } else if (show) {
        ctx_.window.requestFocus({FocusTarget::Control::TenderField, 0});
    }
}

void BillPanel::openItemPanel(bool open)
{
    if (open) {
        itemPanelShown_ = true;
        if (quantityRow_ == 0 && pageStart_ < ctx_.saleItems.saleItemCount())
            ctx_.window.requestFocus({FocusTarget::Control::ItemButton, 0});
    } else {
        itemPanelShown_ = false;
        closeQuantityField();
    }
}

void BillPanel::closeQuantityField()
{
    quantityRow_ = 0;
    quantityLine_ = -1;
}

std::string BillPanel::itemPanelCaption() const
{
    if (!itemPanelShown_)
        return std::string(kAddItemsCaption);
    if (displayedStation_ == 0 || sessionBillFlag_)
        return std::string(kTenderCaption);
    return stopPcCaption(displayedStation_);
}

void BillPanel::fillList(const std::vector<store::BillItem>& items)
{
    listRows_ = items;
    listSelected_.assign(items.size(), false);
}

void BillPanel::showOpenBill(int index)
{
    if (index != current_)
        closeQuantityField();
    current_ = index;
    selected_ = index;
    const OpenBill& bill = bills_[static_cast<std::size_t>(index)];
    fillList(bill.items);
    double total = billTotal(bill.items);
    displayedStation_ = bill.kind == BillKind::Station ? 0 : bill.station;
    caption_ = captions_[static_cast<std::size_t>(index)];
    totalText_ = moneyText(total);
    tender_.setMinimum(total);
    dueShown_ = false;
    if (bill.itemMode) {
        openItemPanel(true);
        sessionBillFlag_ = false;
    } else if (displayedStation_ != 0) {
        sessionBillFlag_ = true;
    }
    if (!bill.items.empty())
        provisionalWalkIn_ = false;
}

// Shows the current bill's lines and total again after they changed; a due or
// change already shown is worked out again against the new total.
void BillPanel::redisplayCurrent()
{
    if (current_ < 0)
        return;
    const OpenBill& bill = bills_[static_cast<std::size_t>(current_)];
    fillList(bill.items);
    double total = billTotal(bill.items);
    totalText_ = moneyText(total);
    tender_.setMinimum(total);
    if (dueShown_) {
        double tender = tender_.value();
        dueLabel_ = std::string(tender_.isAtLeastMinimum(tender) ? kChangeLabel : kDueLabel);
        dueAmount_ = tender_.differenceText(tender);
    }
}

bool BillPanel::stationSessionRuns(int stationNumber) const
{
    return stationNumber >= 1 && stationNumber <= ctx_.board.stationCount() &&
           !ctx_.board.isStatus(stationNumber - 1, kStatusStopped);
}

void BillPanel::addStationExtras(int stationNumber, double amount)
{
    ctx_.board.updateStationMoney(stationNumber - 1, "", amount);
    ctx_.board.sendSessionInfo(stationNumber - 1);
}

// --- Bill button ----------------------------------------------------------------

void BillPanel::onBillPressed()
{
    const int n = rememberedStation_;
    bool existingShown = false;
    bool provisionalShown = current_ < 0 && provisional_.has_value();

    if (n == 0 || (n == displayedStation_ && !sessionBillFlag_)) {
        if (displayedStation_ != 0) {
            if (provisionalShown)
                dropProvisional();
            displayedStation_ = 0;
        }
        caption_ = std::string(kWalkInBillCaption);
        ctx_.window.billButtonEnabled = false;
    } else {
        caption_ = stationOpenBillCaption(n);
        if (provisionalShown) {
            dropProvisional();
            provisionalWalkIn_ = false;
        }
        if (n <= ctx_.board.stationCount() && ctx_.board.station(n - 1).openBillMark) {
            int k = findCaption(stationOpenBillCaption(n));
            if (k >= 0) {
                showOpenBill(k);
                existingShown = true;
            }
        }
        displayedStation_ = n;
        sessionBillFlag_ = false;
    }

    bool walkInStillShown = provisionalWalkIn_ && current_ < 0 && provisional_.has_value();
    if (!existingShown && !walkInStillShown) {
        if (displayedStation_ == 0)
            provisionalWalkIn_ = true;
        closeQuantityField();
        listRows_.clear();
        listSelected_.clear();
        provisional_ = caption_;
        selected_ = static_cast<int>(bills_.size());
        current_ = -1;
        tender_.setMinimum(0.0);
        totalText_ = std::string(kZeroMoney);
        dueShown_ = false;
    }
    showBillPanel(true);
    openItemPanel(true);
    rememberedStation_ = 0;
}

// --- selector -------------------------------------------------------------------

void BillPanel::onSelectorChanged(int index)
{
    if (index < 0 || index >= entryCount() || index == selected_)
        return;
    if (provisional_ && index == static_cast<int>(bills_.size()))
        return; // the provisional entry is the bill being shown already
    if (current_ < 0 && provisional_) {
        dropProvisional();
        provisionalWalkIn_ = false;
    }
    if (!panelShown_)
        showBillPanel(true);
    showOpenBill(index);
}

// --- view -------------------------------------------------------------------------------

void BillPanel::describe(BillPanelView& view) const
{
    const bool shown = panelShown_;
    const bool tendering = chargeShown();
    const std::vector<std::string> entries = selectorEntries();

    view.title = {shown, "BILL"};
    view.selector.entries = entries;
    view.selector.current = selected_;
    view.selector.visible = entries.size() >= 2 || (!shown && !entries.empty());

    view.alarm.entries.assign(kAlarmChoices.begin(), kAlarmChoices.end());
    view.alarm.visible = shown && displayedStation_ >= 1 && displayedStation_ <= ctx_.board.stationCount();
    view.alarm.current = view.alarm.visible ? ctx_.board.station(displayedStation_ - 1).alarmChoice : 0;

    view.caption = {shown, caption_};
    view.list.visible = shown;
    view.list.enabled = !listRows_.empty();
    view.list.rows = listRows_;
    view.list.selected = listSelected_;
    view.totalLabel = {shown, "TOTAL:"};
    view.totalDisplay = {shown, totalText_};
    view.tenderLabel = {tendering, "TENDER:"};
    view.tenderField = {tendering, tender_.text()};
    view.dueLabel = {shown && dueShown_, dueLabel_};
    view.dueAmount = {shown && dueShown_, dueAmount_};
    view.charge.visible = tendering;
    view.printReceipt.visible = tendering;
    view.itemPanelButton.visible = shown && !provisionalWalkIn_;
    view.itemPanelButton.caption = itemPanelCaption();

    const int count = ctx_.saleItems.saleItemCount();
    for (int k = 0; k < kItemRows; ++k) {
        ItemRowView& row = view.itemRows[static_cast<std::size_t>(k)];
        const int item = pageStart_ + k;
        const bool present = itemPanelShown_ && item < count;
        const bool asking = present && quantityRow_ == k + 1;
        std::string caption = item < count ? ctx_.saleItems.caption(item, true) : std::string();
        row.wide = {present && !asking, true, caption};
        row.narrow = {asking, true, caption};
        row.quantity = {asking, asking ? quantityText_ : std::string(), asking && quantitySelected_};
    }
    view.previous.visible = itemPanelShown_ && pageStart_ > 0;
    view.next.visible = itemPanelShown_ && pageStart_ < count - kItemRows;
}

} // namespace console
