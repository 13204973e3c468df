#include "console/bill_panel.h"

#include "console/money_text.h"
#include "console/operator_interfaces.h"
#include "console/station_board.h"
#include "console/texts.h"

#include "link/link_bits.h"
#include "store/activity_log.h"
#include "store/bill_journal.h"
#include "store/client_table.h"
#include "store/configuration.h"
#include "store/printer_table.h"
#include "store/sale_item_table.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace console {

namespace {

double billTotal(const std::vector<store::BillItem>& items)
{
    double total = 0.0;
    for (const store::BillItem& item : items)
        total += amountOf(item.priceText);
    return total;
}

bool startsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

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

// --- panel and item panel ---------------------------------------------------

void BillPanel::showBillPanel(bool show)
{
    panelShown_ = show;
    if (!show)
        dueShown_ = false;
    if (itemPanelShown_) {
        openItemPanel(false);
    } else if (show) {
        ctx_.window.focus = {FocusTarget::Control::TenderField, 0};
        ctx_.window.defaultButton = DefaultButton::None;
    }
}

void BillPanel::openItemPanel(bool open)
{
    if (open) {
        itemPanelShown_ = true;
        if (quantityRow_ == 0 && pageStart_ < ctx_.saleItems.SaleItemCount())
            ctx_.window.focus = {FocusTarget::Control::ItemButton, 0};
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

void BillPanel::ShowOpenBill(int index)
{
    if (index != current_)
        closeQuantityField();
    current_ = index;
    selected_ = index;
    const OpenBill& bill = bills_[static_cast<std::size_t>(index)];
    fillList(bill.items);
    double total = billTotal(bill.items);
    displayedStation_ = startsWith(captions_[static_cast<std::size_t>(index)], "Comp") ? 0 : bill.station;
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
    ctx_.board.UpdateStationMoney(stationNumber - 1, "", amount);
    ctx_.board.SendSessionInfo(stationNumber - 1);
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
                ShowOpenBill(k);
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
    ShowOpenBill(index);
}

// --- item panel -------------------------------------------------------------------

void BillPanel::onItemPanelButton()
{
    const bool wasOpen = itemPanelShown_;
    const std::string caption = itemPanelCaption();
    const int station = displayedStation_;
    showBillPanel(true);
    if (!wasOpen) {
        openItemPanel(true);
        return;
    }
    if (startsWith(caption, "Stop PC#") && ctx_.board.isStatus(station - 1, kStatusStarted))
        ctx_.board.SendStationCommand(station - 1, stationlink::CMD_LOCK);
    ctx_.window.focus = {FocusTarget::Control::TenderField, 0};
}

void BillPanel::onItemPressed(int row)
{
    const int item = pageStart_ + row;
    if (!itemPanelShown_ || row < 0 || row >= kItemRows || item >= ctx_.saleItems.SaleItemCount())
        return;
    store::BillItem line{"", ctx_.saleItems.caption(item, false), ctx_.saleItems.priceText(item)};
    if (!ctx_.saleItems.fixedPrice(item)) {
        fields::MoneyField price;
        price.setValue(0.0, 2);
        ctx_.pricePrompt.askPrice(priceQuestion(ctx_.saleItems.caption(item, true)), price);
        line.priceText = price.text().empty() ? priceText(0.0) : price.text();
    }
    AddBillItem(line);
    quantityRow_ = row + 1;
    quantityLine_ = static_cast<int>(bills_[static_cast<std::size_t>(current_)].items.size()) - 1;
    quantityText_ = "1";
    ctx_.window.focus = {FocusTarget::Control::QuantityField, row};
    ctx_.window.defaultButton = DefaultButton::None;
    ctx_.window.billButtonEnabled = true;
}

void BillPanel::AddBillItem(store::BillItem line)
{
    const std::string description = line.description;
    const std::string price = line.priceText;
    if (current_ < 0) {
        OpenBill bill{{std::move(line)}, true, displayedStation_};
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
    ctx_.log.WriteLogLine("ADD ITEM," + description + "," + price);
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
        }
    }
    closeQuantityField();
    ctx_.window.focus = {FocusTarget::Control::ItemButton, row};
}

void BillPanel::onNextPage()
{
    if (!itemPanelShown_ || pageStart_ >= ctx_.saleItems.SaleItemCount() - kItemRows)
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
    if (pageStart_ >= ctx_.saleItems.SaleItemCount())
        pageStart_ = 0;
    closeQuantityField();
}

// --- tender and charge ----------------------------------------------------------------

void BillPanel::onTenderCheck()
{
    const double tender = tender_.value();
    dueShown_ = true;
    dueAmount_ = tender_.differenceText(tender);
    if (tender_.isAtLeastMinimum(tender)) {
        dueLabel_ = std::string(kChangeLabel);
        ctx_.window.focus = {FocusTarget::Control::ChargeButton, 0};
        ctx_.window.defaultButton = DefaultButton::Charge;
    } else {
        ctx_.beeper.beep();
        dueLabel_ = std::string(kDueLabel);
        ctx_.window.focus = {FocusTarget::Control::TenderField, 0};
    }
}

bool BillPanel::ChargeBill()
{
    const double due = tender_.minimum();
    // The journal first: a bill that cannot be recorded is not charged and stays open.
    if (!ctx_.journal.append(listRows_))
        return false;
    ctx_.log.WriteLogLine("CHARGE," + priceText(due));
    tender_.setValue(0.0, 2);
    listRows_.clear();
    listSelected_.clear();

    const int stationShown = displayedStation_;
    if (current_ >= 0) {
        removeStoredBill(current_);
        // A running station's open bill paid before its session ended: the
        // session's own bill must not look for it any more.
        if (stationShown != 0 && stationShown <= ctx_.board.stationCount())
            ctx_.board.station(stationShown - 1).openBillMark = false;
    } else {
        dropProvisional();
    }
    dueShown_ = false;
    current_ = -1;
    selected_ = entryCount() > 0 ? 0 : -1;
    if (!bills_.empty()) {
        ShowOpenBill(0);
    } else {
        showBillPanel(false);
        displayedStation_ = 0;
        provisionalWalkIn_ = false;
        caption_.clear();
        totalText_.clear();
    }
    ctx_.window.billButtonEnabled = true;
    return true;
}

void BillPanel::PrintReceipt()
{
    std::optional<ReceiptPage> page = ctx_.receiptPrinter.choosePrinter();
    if (!page)
        return;
    const double tender = tender_.value();
    if (!tender_.text().empty() && tender_.isAtLeastMinimum(tender)) {
        dueAmount_ = tender_.differenceText(tender);
    } else {
        tender_.setText(totalText_);
        dueAmount_ = priceText(0.0);
    }
    ReceiptContent content{ctx_.configuration.ReceiptLine1(), ctx_.configuration.ReceiptLine2(), listRows_,
                           totalText_, tender_.text(), dueAmount_};
    ctx_.receiptPrinter.printPage(layOutReceipt(*page, content));
    ChargeBill();
}

// --- Delete key -------------------------------------------------------------------------

void BillPanel::setBillListSelection(const std::vector<int>& rows)
{
    listSelected_.assign(listRows_.size(), false);
    for (int r : rows)
        if (r >= 0 && r < static_cast<int>(listRows_.size()))
            listSelected_[static_cast<std::size_t>(r)] = true;
}

void BillPanel::onDeleteKey()
{
    if (current_ < 0)
        return;
    std::vector<store::BillItem> copy = bills_[static_cast<std::size_t>(current_)].items;
    bool deleted = false;
    for (int r = static_cast<int>(listRows_.size()) - 1; r >= 0; --r) {
        if (!listSelected_[static_cast<std::size_t>(r)])
            continue;
        const store::BillItem& row = listRows_[static_cast<std::size_t>(r)];
        ctx_.log.WriteLogLine("DELETE," + row.description + "," + row.priceText);
        listRows_.erase(listRows_.begin() + r);
        listSelected_.erase(listSelected_.begin() + r);
        if (r < static_cast<int>(copy.size()))
            copy.erase(copy.begin() + r);
        deleted = true;
    }
    if (!deleted)
        return;
    closeQuantityField();
    const int stationShown = displayedStation_;
    if (!copy.empty()) {
        bills_[static_cast<std::size_t>(current_)].items = std::move(copy);
        refreshAfterDeletion(false, stationShown);
        return;
    }
    ctx_.log.WriteLogLine("DELETED BILL," + captions_[static_cast<std::size_t>(current_)]);
    removeStoredBill(current_);
    current_ = bills_.empty() ? -1 : 0;
    selected_ = entryCount() > 0 ? 0 : -1;
    refreshAfterDeletion(true, stationShown);
}

void BillPanel::refreshAfterDeletion(bool wholeBill, int stationShown)
{
    double newTotal = 0.0;
    if (wholeBill && stationShown != 0 && stationShown <= ctx_.board.stationCount())
        ctx_.board.station(stationShown - 1).openBillMark = false;
    if (!bills_.empty()) {
        if (wholeBill) {
            current_ = -1; // so that the first bill is shown afresh
            ShowOpenBill(0);
        } else {
            redisplayCurrent();
            newTotal = billTotal(bills_[static_cast<std::size_t>(current_)].items);
        }
    } else {
        openItemPanel(false);
        showBillPanel(false);
        current_ = -1;
        displayedStation_ = 0;
        provisionalWalkIn_ = false;
        listRows_.clear();
        listSelected_.clear();
        caption_.clear();
        totalText_.clear();
    }
    if (stationShown != 0 && stationSessionRuns(stationShown)) {
        double extras = amountOf(ctx_.board.table().text(stationShown - 1, Column::Extras));
        ctx_.board.UpdateStationMoney(stationShown - 1, "", newTotal - extras);
        ctx_.board.SendSessionInfo(stationShown - 1);
    }
}

// --- bills from stations ----------------------------------------------------------

void BillPanel::AddPrintItem(const PrintJobRecord& job)
{
    const int n = ctx_.clients.findByComputerName(job.machine);
    const double pagePrice = ctx_.printers.LookupPagePrice(job.printer);
    if (n < 1 || n > ctx_.board.stationCount() || pagePrice < 0.0)
        return;
    const double charge = job.pages * pagePrice;
    store::BillItem line{std::to_string(n), "Pages (" + std::to_string(job.pages) + "): " + job.document,
                         priceText(charge)};
    ctx_.log.WriteLogLine("ADD PRINT ITEM," + line.description + "," + line.priceText);

    const bool running = ctx_.board.isStatus(n - 1, kStatusStarted);
    const std::string caption = running ? stationOpenBillCaption(n) : stationBillCaption(n);
    int k = findCaption(caption);
    if (k < 0) {
        k = insertStoredBill(OpenBill{{}, true, n}, caption);
        if (running)
            ctx_.board.station(n - 1).openBillMark = true;
    }
    bills_[static_cast<std::size_t>(k)].items.push_back(std::move(line));
    if (k == current_)
        redisplayCurrent();
    if (running)
        addStationExtras(n, charge);
}

std::optional<std::vector<store::BillItem>> BillPanel::takeStationOpenBill(int stationNumber)
{
    int k = findCaption(stationOpenBillCaption(stationNumber));
    if (k < 0)
        return std::nullopt;
    std::vector<store::BillItem> items = std::move(bills_[static_cast<std::size_t>(k)].items);
    if (k == current_) {
        listRows_.clear();
        listSelected_.clear();
        closeQuantityField();
    }
    removeStoredBill(k);
    return items;
}

void BillPanel::addSessionBill(OpenBill bill, const std::string& caption, bool show)
{
    if (current_ < 0)
        dropProvisional();
    const double total = billTotal(bill.items);
    std::vector<store::BillItem> lines = bill.items;
    int k = insertStoredBill(std::move(bill), caption);
    if (!show)
        return;
    closeQuantityField();
    current_ = k;
    selected_ = k;
    fillList(lines);
    caption_ = caption;
    totalText_ = moneyText(total);
    provisionalWalkIn_ = false;
    displayedStation_ = 0;
    rememberedStation_ = 0;
    dueShown_ = false;
    showBillPanel(true);
    tender_.setMinimum(total);
    ctx_.window.focus = {FocusTarget::Control::TenderField, 0};
}

void BillPanel::moveStationOpenBill(int from, int to)
{
    int k = findCaption(stationOpenBillCaption(from));
    if (k >= 0) {
        captions_[static_cast<std::size_t>(k)] = stationOpenBillCaption(to);
        bills_[static_cast<std::size_t>(k)].station = to;
        if (k == current_) {
            displayedStation_ = to;
            caption_ = captions_[static_cast<std::size_t>(k)];
        }
    } else if (current_ < 0 && provisional_ && displayedStation_ == from) {
        // The station's bill was opened but has no line yet: it follows the session too.
        provisional_ = stationOpenBillCaption(to);
        caption_ = *provisional_;
        displayedStation_ = to;
    }
}

// --- view -------------------------------------------------------------------------------

void BillPanel::describe(BillPanelView& view) const
{
    const bool shown = panelShown_;
    const bool tendering = shown && !itemPanelShown_;
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

    const int count = ctx_.saleItems.SaleItemCount();
    for (int k = 0; k < kItemRows; ++k) {
        ItemRowView& row = view.itemRows[static_cast<std::size_t>(k)];
        const int item = pageStart_ + k;
        const bool present = itemPanelShown_ && item < count;
        const bool asking = present && quantityRow_ == k + 1;
        std::string caption = item < count ? ctx_.saleItems.caption(item, true) : std::string();
        row.wide = {present && !asking, true, caption};
        row.narrow = {asking, true, caption};
        row.quantity = {asking, asking ? quantityText_ : std::string()};
    }
    view.previous.visible = itemPanelShown_ && pageStart_ > 0;
    view.next.visible = itemPanelShown_ && pageStart_ < count - kItemRows;
}

} // namespace console
