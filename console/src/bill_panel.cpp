#include "console/bill_panel.h"

#include "console/money_text.h"
#include "console/operator_interfaces.h"
#include "console/configuration/operator_dialogs.h"
#include "console/texts.h"
#include "item_panel.h"
#include "link/station_words.h"
#include "modal_guard.h"
#include "money_keeper.h"
#include "open_bill_list.h"
#include "platform/clock.h"
#include "platform/local_time.h"
#include "print_job_pricer.h"
#include "station_board.h"
#include "store/activity_log.h"
#include "store/configuration.h"
#include "tender.h"
#include "window_controls.h"

#include <algorithm>
#include <map>

namespace console {

namespace {

// When a bill comes in, for telling bills of one station apart.
std::string arrivalTime(const StationBoard& board) { return platform::formatLocalTime("%H:%M", board.clock().now()); }

} // namespace

static_assert(BillPanel::kItemRows == ItemPanel::kRows);

BillPanel::BillPanel(BillPanelContext context)
    : ctx_(context),
      list_(std::make_unique<OpenBillList>()),
      items_(std::make_unique<ItemPanel>(context.saleItems, context.pricePrompt, context.window)),
      tender_(std::make_unique<Tender>(
          TenderContext{context.window, context.beeper, context.journal, context.log, context.keeper, context.guard})),
      pricer_(std::make_unique<PrintJobPricer>(context.clients, context.printers, context.board))
{
}

BillPanel::~BillPanel() = default;

// --- state ----------------------------------------------------------------------

int BillPanel::currentIndex() const { return list_->current(); }
bool BillPanel::itemPanelShown() const { return items_->shown(); }
int BillPanel::quantityRow() const { return items_->quantityRow(); }
int BillPanel::pageStart() const { return items_->pageStart(); }
const std::vector<OpenBill>& BillPanel::openBills() const { return list_->bills(); }
std::vector<std::string> BillPanel::selectorEntries() const { return list_->selectorEntries(); }
bool BillPanel::hasProvisionalEntry() const { return list_->provisional().has_value(); }
double BillPanel::amountDue() const { return tender_->amountDue(); }
fields::MoneyField& BillPanel::tenderField() { return tender_->field(); }
std::vector<store::KeptBill> BillPanel::keptBills() const { return list_->keptBills(); }

void BillPanel::restoreOpenBills(std::vector<store::KeptBill> bills)
{
    for (store::KeptBill& bill : bills) {
        // The file keeps no kind: a station's bill is told by its caption once, as
        // the bill is read back. Any caption that begins with "Comp" counts, as it
        // always has, not only the "Comp#: " this console writes.
        const BillKind kind = startsWith(bill.caption, kStationCaptionStart) ? BillKind::Station : BillKind::Open;
        list_->insert(OpenBill{std::move(bill.items), bill.itemMode, bill.station, bill.chargingAt, kind, {}, false},
                      std::move(bill.caption));
    }
    if (!list_->empty()) {
        list_->setSelected(0);
        showBillPanel(true);
        showOpenBill(0);
    }
}

// --- panel and item panel ---------------------------------------------------

void BillPanel::showBillPanel(bool show)
{
    panelShown_ = show;
    if (!show)
        tender_->hideDue();
    if (items_->shown()) {
        openItemPanel(false);
    } else if (show) {
        ctx_.window.requestFocus({FocusTarget::Control::TenderField, 0});
    }
}

void BillPanel::openItemPanel(bool open)
{
    if (open)
        items_->open();
    else
        items_->close();
}

std::string BillPanel::itemPanelCaption() const
{
    if (!items_->shown())
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
    if (index != list_->current())
        items_->firstPage(); // each bill opens on the first page of sale items, no quantity asked
    list_->setCurrent(index);
    list_->setSelected(index);
    OpenBill& bill = list_->bill(index);
    bill.unseen = false;
    fillList(bill.items);
    double total = billTotal(bill.items);
    displayedStation_ = bill.kind == BillKind::Station ? 0 : bill.station;
    caption_ = list_->caption(index);
    totalText_ = moneyText(total);
    tender_->setTotal(total);
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
    if (list_->current() < 0)
        return;
    const OpenBill& bill = list_->bill(list_->current());
    fillList(bill.items);
    double total = billTotal(bill.items);
    totalText_ = moneyText(total);
    tender_->totalChanged(total);
}

bool BillPanel::stationSessionRuns(int stationNumber) const
{
    return stationNumber >= 1 && stationNumber <= ctx_.board.stationCount() &&
           !ctx_.board.isPhase(stationNumber - 1, Phase::Stopped);
}

void BillPanel::addStationExtras(int stationNumber, double amount)
{
    ctx_.board.addExtras(stationNumber - 1, amount);
    ctx_.board.sendSessionInfo(stationNumber - 1);
}

// --- Bill button ----------------------------------------------------------------

void BillPanel::onBillPressed()
{
    const int n = rememberedStation_;
    bool existingShown = false;
    bool provisionalShown = list_->current() < 0 && list_->provisional().has_value();

    if (n == 0 || (n == displayedStation_ && !sessionBillFlag_)) {
        if (displayedStation_ != 0) {
            if (provisionalShown)
                list_->dropProvisional();
            displayedStation_ = 0;
        }
        caption_ = std::string(kWalkInBillCaption);
        ctx_.window.billButtonEnabled = false;
    } else {
        caption_ = stationOpenBillCaption(n);
        if (provisionalShown) {
            list_->dropProvisional();
            provisionalWalkIn_ = false;
        }
        if (n <= ctx_.board.stationCount() && ctx_.board.station(n - 1).holds.has(Hold::OpenBill)) {
            int k = list_->find(stationOpenBillCaption(n));
            if (k >= 0) {
                showOpenBill(k);
                existingShown = true;
            }
        }
        displayedStation_ = n;
        sessionBillFlag_ = false;
    }

    bool walkInStillShown = provisionalWalkIn_ && list_->current() < 0 && list_->provisional().has_value();
    if (!existingShown && !walkInStillShown) {
        if (displayedStation_ == 0)
            provisionalWalkIn_ = true;
        items_->firstPage();
        listRows_.clear();
        listSelected_.clear();
        list_->setProvisional(caption_);
        list_->setSelected(list_->size());
        list_->setCurrent(-1);
        tender_->setTotal(0.0);
        totalText_ = std::string(kZeroMoney);
    }
    showBillPanel(true);
    openItemPanel(true);
    rememberedStation_ = 0;
    chargeReady_ = true;
}

// --- selector -------------------------------------------------------------------

void BillPanel::onSelectorChanged(int index)
{
    if (index < 0 || index >= list_->entryCount() || index == list_->selected())
        return;
    if (list_->provisional() && index == list_->size())
        return; // the provisional entry is the bill being shown already
    if (list_->current() < 0 && list_->provisional()) {
        list_->dropProvisional();
        provisionalWalkIn_ = false;
    }
    if (!panelShown_)
        showBillPanel(true);
    showOpenBill(index);
    chargeReady_ = true;
}

// --- item panel ----------------------------------------------------------------------

void BillPanel::onItemPanelButton()
{
    const bool wasOpen = items_->shown();
    // The button reads "Stop PC#n" (itemPanelCaption) for a running station's open bill.
    const bool stopsStation = items_->shown() && displayedStation_ != 0 && !sessionBillFlag_;
    const int station = displayedStation_;
    showBillPanel(true);
    chargeReady_ = true;
    if (!wasOpen) {
        openItemPanel(true);
        return;
    }
    if (stopsStation && ctx_.board.isPhase(station - 1, Phase::Started)) {
        ctx_.log.writeLogLine("STOP PC," + std::to_string(station - 1));
        ctx_.board.sendStationCommand(station - 1, stationlink::Command::Lock);
        ctx_.keeper.moneyChanged();
    }
    ctx_.window.requestFocus({FocusTarget::Control::TenderField, 0});
}

void BillPanel::onItemPressed(int row)
{
    std::optional<store::BillItem> line = items_->lineFor(row);
    if (!line)
        return;
    addBillItem(std::move(*line));
    chargeReady_ = true;
    items_->openQuantityField(row, static_cast<int>(list_->bill(list_->current()).items.size()) - 1);
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
    if (list_->current() < 0) {
        OpenBill bill{{std::move(line)}, true,           displayedStation_,
                      std::nullopt,      BillKind::Open, arrivalTime(ctx_.board)};
        std::string caption = list_->provisional()     ? *list_->provisional()
                              : displayedStation_ != 0 ? stationOpenBillCaption(displayedStation_)
                                                       : std::string(kWalkInBillCaption);
        if (displayedStation_ != 0 && displayedStation_ <= ctx_.board.stationCount())
            ctx_.board.station(displayedStation_ - 1).holds.set(Hold::OpenBill);
        list_->forgetProvisional();
        list_->setCurrent(list_->insert(std::move(bill), std::move(caption)));
        list_->setSelected(list_->current());
    } else {
        list_->bill(list_->current()).items.push_back(std::move(line));
    }
    ctx_.log.writeLogLine("ADD ITEM," + description + "," + price);
    if (provisionalWalkIn_)
        provisionalWalkIn_ = false;
    else if (displayedStation_ != 0 && stationSessionRuns(displayedStation_))
        addStationExtras(displayedStation_, amountOf(price));
    redisplayCurrent();
}

void BillPanel::setQuantityText(std::string text) { items_->setQuantityText(std::move(text)); }

void BillPanel::onQuantityEnter()
{
    if (items_->quantityRow() == 0)
        return;
    long long q = items_->quantity();
    if (q > 1 && list_->current() >= 0) {
        auto& lines = list_->bill(list_->current()).items;
        const int lineIndex = items_->quantityLine();
        if (lineIndex >= 0 && lineIndex < static_cast<int>(lines.size())) {
            store::BillItem& line = lines[static_cast<std::size_t>(lineIndex)];
            double unit = amountOf(line.priceText);
            line.description = quantityDescription(line.description, q);
            line.priceText = priceText(unit * static_cast<double>(q));
            // The line the quantity made, so that a later DELETE of it adds up.
            ctx_.log.writeLogLine("QUANTITY," + line.description + "," + line.priceText);
            if (displayedStation_ != 0 && stationSessionRuns(displayedStation_))
                addStationExtras(displayedStation_, unit * static_cast<double>(q - 1));
            redisplayCurrent();
            ctx_.keeper.moneyChanged();
        }
    }
    items_->closeQuantityField();
    // Not back on the item button: a further Enter must not add the item again.
    // On the bill list Enter does nothing; the next item is picked on purpose.
    ctx_.window.requestFocus({FocusTarget::Control::BillList, 0});
}

void BillPanel::onNextPage() { items_->nextPage(); }

void BillPanel::onPreviousPage() { items_->previousPage(); }

void BillPanel::rebuildItemPanel() { items_->rebuild(); }

// --- tender, charge and receipt -----------------------------------------------------

void BillPanel::onTenderCheck()
{
    tender_->check();
    chargeReady_ = true;
}

void BillPanel::onTenderEdited() { chargeReady_ = true; }

int BillPanel::unseenBillCount() const
{
    const auto& bills = list_->bills();
    return static_cast<int>(std::count_if(bills.begin(), bills.end(), [](const OpenBill& b) { return b.unseen; }));
}

bool BillPanel::confirmShortTender()
{
    const fields::MoneyField& field = tender_->field();
    if (field.isAtLeastMinimum(field.value()))
        return true;
    const double shortBy = field.minimum() - field.value();
    const bool yes = ctx_.prompts.askYesNo(shortTenderQuestion(shortBy));
    if (!yes)
        ctx_.window.requestFocus({FocusTarget::Control::TenderField, 0});
    return yes;
}

bool BillPanel::onChargePressed()
{
    if (!chargeShown() || !chargeReady_)
        return false;
    if (!confirmShortTender()) {
        ctx_.guard.settle();
        return false;
    }
    return chargeBill();
}

bool BillPanel::chargeBill()
{
    // Nothing on display (the last bill was charged and CHARGE is still the
    // default button): there is no bill to journal or log.
    if (list_->current() < 0 && !list_->provisional())
        return false;
    const int current = list_->current();
    if (!tender_->charge(current >= 0 ? &list_->bill(current) : nullptr, current, listRows_))
        return false;
    listRows_.clear();
    listSelected_.clear();

    const int stationShown = displayedStation_;
    if (list_->current() >= 0) {
        list_->remove(list_->current());
        // A running station's open bill paid before its session ended: the
        // session's own bill must not look for it any more, and the row's Extras
        // (the open bill's total) no longer ask for what was paid.
        if (stationShown != 0 && stationShown <= ctx_.board.stationCount()) {
            ctx_.board.station(stationShown - 1).holds.clear(Hold::OpenBill);
            if (stationSessionRuns(stationShown))
                addStationExtras(stationShown, -ctx_.board.table().state(stationShown - 1).extras.amount());
        }
        ctx_.keeper.moneyChanged();
    } else {
        list_->dropProvisional();
    }
    tender_->hideDue();
    list_->setCurrent(-1);
    list_->setSelected(list_->entryCount() > 0 ? 0 : -1);
    // The next bill waits for the operator: no default button, CHARGE without
    // effect until the operator acts on it, and the focus where Enter charges nothing.
    chargeReady_ = false;
    ctx_.window.defaultButton = DefaultButton::None;
    if (!list_->empty()) {
        showOpenBill(0);
        ctx_.window.requestFocus(
            {items_->shown() ? FocusTarget::Control::BillList : FocusTarget::Control::TenderField, 0});
    } else {
        showBillPanel(false);
        displayedStation_ = 0;
        provisionalWalkIn_ = false;
        caption_.clear();
        totalText_.clear();
    }
    ctx_.window.billButtonEnabled = true;
    ctx_.guard.settle();
    return true;
}

void BillPanel::printReceipt()
{
    if (!chargeShown() || !chargeReady_)
        return;
    // Bill work held back by the dialogs waits until this bill is charged.
    // Nothing tendered reads as the exact amount (the receipt shows the total
    // as tendered); a tender given but short is confirmed first.
    if (tender_->field().value() > 0.0 && !confirmShortTender()) {
        ctx_.guard.settle();
        return;
    }
    if (!ctx_.receiptPrinter.hasPrinter()) {
        if (ctx_.prompts.askYesNo(std::string(kNoReceiptPrinterQuestion)))
            chargeBill();
        else
            ctx_.guard.settle();
        return;
    }
    std::optional<ReceiptPage> page = ctx_.receiptPrinter.choosePrinter();
    if (!page) {
        ctx_.guard.settle();
        return;
    }
    tender_->settleForReceipt(totalText_);
    ReceiptContent content{ctx_.configuration.receiptLine1(),
                           ctx_.configuration.receiptLine2(),
                           listRows_,
                           totalText_,
                           tender_->field().text(),
                           tender_->dueAmount()};
    if (!ctx_.receiptPrinter.printPage(layOutReceipt(*page, content)) &&
        !ctx_.prompts.askYesNo(std::string(kReceiptFailedQuestion))) {
        ctx_.guard.settle();
        return;
    }
    chargeBill();
}

// --- Delete key on the bill list ----------------------------------------------------------

void BillPanel::setBillListSelection(const std::vector<int>& rows)
{
    listSelected_.assign(listRows_.size(), false);
    for (int r : rows)
        if (r >= 0 && r < static_cast<int>(listRows_.size()))
            listSelected_[static_cast<std::size_t>(r)] = true;
}

void BillPanel::onDeleteKey()
{
    if (list_->current() < 0)
        return;
    std::vector<store::BillItem> copy = list_->bill(list_->current()).items;
    bool deleted = false;
    for (int r = static_cast<int>(listRows_.size()) - 1; r >= 0; --r) {
        if (!listSelected_[static_cast<std::size_t>(r)])
            continue;
        const store::BillItem& row = listRows_[static_cast<std::size_t>(r)];
        ctx_.log.writeLogLine("DELETE," + row.description + "," + row.priceText);
        listRows_.erase(listRows_.begin() + r);
        listSelected_.erase(listSelected_.begin() + r);
        if (r < static_cast<int>(copy.size()))
            copy.erase(copy.begin() + r);
        deleted = true;
    }
    if (!deleted)
        return;
    items_->closeQuantityField();
    const int stationShown = displayedStation_;
    if (!copy.empty()) {
        list_->bill(list_->current()).items = std::move(copy);
        refreshAfterDeletion(false, stationShown);
        ctx_.keeper.moneyChanged();
        return;
    }
    ctx_.log.writeLogLine("DELETED BILL," + list_->caption(list_->current()));
    list_->remove(list_->current());
    list_->setCurrent(list_->empty() ? -1 : 0);
    list_->setSelected(list_->entryCount() > 0 ? 0 : -1);
    refreshAfterDeletion(true, stationShown);
    ctx_.keeper.moneyChanged();
}

void BillPanel::refreshAfterDeletion(bool wholeBill, int stationShown)
{
    double newTotal = 0.0;
    if (wholeBill && stationShown != 0 && stationShown <= ctx_.board.stationCount())
        ctx_.board.station(stationShown - 1).holds.clear(Hold::OpenBill);
    if (!list_->empty()) {
        if (wholeBill) {
            list_->setCurrent(-1); // so that the first bill is shown afresh
            showOpenBill(0);
            chargeReady_ = false; // another bill than the one the operator worked on
        } else {
            redisplayCurrent();
            newTotal = billTotal(list_->bill(list_->current()).items);
        }
    } else {
        openItemPanel(false);
        showBillPanel(false);
        list_->setCurrent(-1);
        displayedStation_ = 0;
        provisionalWalkIn_ = false;
        listRows_.clear();
        listSelected_.clear();
        caption_.clear();
        totalText_.clear();
    }
    if (stationShown != 0 && stationSessionRuns(stationShown)) {
        double extras = ctx_.board.table().state(stationShown - 1).extras.amount();
        ctx_.board.addExtras(stationShown - 1, newTotal - extras);
        ctx_.board.sendSessionInfo(stationShown - 1);
    }
}

// --- bills from the stations ------------------------------------------------------------

void BillPanel::addPrintItem(const PrintJobRecord& job)
{
    if (auto charge = pricePrintJob(job)) {
        addPrintCharge(*charge);
        ctx_.keeper.moneyChanged();
    }
}

std::optional<PrintCharge> BillPanel::pricePrintJob(const PrintJobRecord& job) const { return pricer_->price(job); }

void BillPanel::addPrintCharge(const PrintCharge& charge)
{
    const int n = charge.station;
    if (n < 1 || n > kMaxStations)
        return;
    ctx_.log.writeLogLine("ADD PRINT ITEM," + charge.line.description + "," + charge.line.priceText);

    // A job printed during a session joins that session's open bill, which the
    // session's own bill takes in when it closes, even when the job is put on
    // the bill only after that close was decided.
    const bool running = charge.running;
    const std::string caption = running ? stationOpenBillCaption(n) : stationBillCaption(n);
    int k = list_->find(caption);
    if (k < 0) {
        // The station's open bill may be on display still without a line: the
        // job becomes its first line instead of starting a second bill of that name.
        const bool provisionalTarget = list_->provisional() && *list_->provisional() == caption;
        if (provisionalTarget)
            list_->forgetProvisional();
        k = list_->insert(
            OpenBill{{}, true, n, std::nullopt, running ? BillKind::Open : BillKind::Station, arrivalTime(ctx_.board)},
            caption);
        if (provisionalTarget) {
            list_->setCurrent(k);
            list_->setSelected(k);
        }
        announceNewBill(list_->bill(k), k == list_->current());
        if (running)
            ctx_.board.station(n - 1).holds.set(Hold::OpenBill);
    }
    list_->bill(k).items.push_back(charge.line);
    if (k == list_->current())
        redisplayCurrent();
    // The row's Extras belong to the session the job was printed in, if it still runs.
    if (running && n <= ctx_.board.stationCount() && ctx_.board.station(n - 1).sessionSerial == charge.sessionSerial &&
        ctx_.board.isPhase(n - 1, Phase::Started))
        addStationExtras(n, charge.amount);
}

std::optional<std::vector<store::BillItem>> BillPanel::takeStationOpenBill(int stationNumber)
{
    int k = list_->find(stationOpenBillCaption(stationNumber));
    if (k < 0)
        return std::nullopt;
    std::vector<store::BillItem> lines = std::move(list_->bill(k).items);
    if (k == list_->current()) {
        listRows_.clear();
        listSelected_.clear();
        items_->closeQuantityField();
    }
    list_->remove(k);
    return lines;
}

void BillPanel::addSessionBill(OpenBill bill, const std::string& caption, bool show)
{
    if (list_->current() < 0)
        list_->dropProvisional();
    const double total = billTotal(bill.items);
    std::vector<store::BillItem> lines = bill.items;
    bill.arrivedAt = arrivalTime(ctx_.board);
    int k = list_->insert(std::move(bill), caption);
    announceNewBill(list_->bill(k), show);
    if (!show)
        return;
    chargeReady_ = false; // displayed by the station, not by the operator
    items_->closeQuantityField();
    list_->setCurrent(k);
    list_->setSelected(k);
    fillList(lines);
    caption_ = caption;
    totalText_ = moneyText(total);
    provisionalWalkIn_ = false;
    displayedStation_ = 0;
    rememberedStation_ = 0;
    tender_->hideDue();
    showBillPanel(true);
    tender_->setTotal(total);
    ctx_.window.requestFocus({FocusTarget::Control::TenderField, 0});
}

void BillPanel::moveStationOpenBill(int from, int to)
{
    int k = list_->find(stationOpenBillCaption(from));
    if (k >= 0) {
        list_->setCaption(k, stationOpenBillCaption(to));
        list_->bill(k).station = to;
        if (k == list_->current()) {
            displayedStation_ = to;
            caption_ = list_->caption(k);
        }
    } else if (list_->current() < 0 && list_->provisional() && displayedStation_ == from) {
        // The station's bill was opened but has no line yet: it follows the session too.
        list_->setProvisional(stationOpenBillCaption(to));
        caption_ = *list_->provisional();
        displayedStation_ = to;
    }
}

// A bill a station made: a sound, and until it is displayed a mark in the
// selector and the count of new bills.
void BillPanel::announceNewBill(OpenBill& bill, bool shown)
{
    bill.unseen = !shown;
    // Stations stopped together bring many bills at once: one sound a second.
    const std::time_t now = ctx_.board.clock().now();
    if (now != lastAnnouncement_) {
        lastAnnouncement_ = now;
        ctx_.beeper.announceBill();
    }
}

std::vector<std::string> BillPanel::selectorLabels() const
{
    std::vector<std::string> labels = selectorEntries();
    for (int k = 0; k < list_->size(); ++k) {
        const OpenBill& bill = list_->bill(k);
        std::string& label = labels[static_cast<std::size_t>(k)];
        if (!bill.arrivedAt.empty())
            label += arrivedAtSuffix(bill.arrivedAt);
        // A bill a station made that no one has looked at yet stands out.
        if (bill.unseen)
            label.insert(0, kNewBillMark);
    }
    // Bills kept over a restart carry no time, nor do two bills of one minute
    // differ by it: a label met again is numbered.
    std::map<std::string, int> met;
    for (std::string& label : labels)
        if (const int n = ++met[label]; n > 1)
            label += repeatedLabelSuffix(n);
    return labels;
}

// --- view -------------------------------------------------------------------------------

void BillPanel::describe(BillPanelView& view) const
{
    const bool shown = panelShown_;
    const bool tendering = chargeShown();
    const std::vector<std::string> entries = selectorEntries();

    view.title = {shown, kBillTitle};
    view.selector.entries = entries;
    view.selector.labels = selectorLabels();
    view.selector.unseen.assign(entries.size(), false);
    for (int k = 0; k < list_->size(); ++k)
        view.selector.unseen[static_cast<std::size_t>(k)] = list_->bill(k).unseen;
    view.selector.current = list_->selected();
    const int unseen = unseenBillCount();
    view.unpaid = {!list_->empty(), unpaidBillsText(list_->size(), unseen)};
    view.newBills = unseen > 0;
    view.selector.visible = entries.size() >= 2 || (!shown && !entries.empty());

    view.alarm.entries.assign(kAlarmChoices.begin(), kAlarmChoices.end());
    view.alarm.visible = shown && displayedStation_ >= 1 && displayedStation_ <= ctx_.board.stationCount();
    view.alarm.current = view.alarm.visible ? ctx_.board.station(displayedStation_ - 1).alarmChoice : 0;

    view.caption = {shown, caption_};
    view.list.visible = shown;
    view.list.enabled = !listRows_.empty();
    view.list.rows = listRows_;
    view.list.selected = listSelected_;
    view.totalLabel = {shown, kTotalLabel};
    view.totalDisplay = {shown, totalText_};
    tender_->describe(view, shown, tendering);
    view.charge.visible = tendering;
    view.printReceipt.visible = tendering;
    view.charge.enabled = chargeReady_;
    view.printReceipt.enabled = chargeReady_;
    view.itemPanelButton.visible = shown && !provisionalWalkIn_;
    view.itemPanelButton.caption = itemPanelCaption();
    items_->describe(view);
}

} // namespace console
