#include "console/bill_panel.h"

#include "money_keeper.h"
#include "window_controls.h"
#include "console/money_text.h"
#include "station_board.h"
#include "console/texts.h"

#include "store/activity_log.h"
#include "store/client_table.h"
#include "store/printer_table.h"

#include "platform/ipv4.h"

#include <algorithm>
#include <cctype>

// Bills that come from the stations: print jobs, finished sessions, and the
// open bill a swap moves to another station.

namespace console {

namespace {

// The station (number from 1) that sent a print job, or -1. Print servers often
// record the sending machine by its IPv4 address rather than its name, so an
// address that equals a station's address counts too. The counter computer
// itself ("localhost") is no station, and a station without an address set
// (0.0.0.0) never matches by address.
int printingStation(const store::ClientTable& clients, const std::string& machine)
{
    std::string bare = machine.starts_with("\\\\") ? machine.substr(2) : machine;
    std::transform(bare.begin(), bare.end(), bare.begin(), [](unsigned char c) { return std::tolower(c); });
    if (bare == "localhost")
        return -1;
    if (int n = clients.findByComputerName(machine); n >= 1)
        return n;
    const auto address = platform::Ipv4Address::parse(bare);
    if (!address || address->isAny())
        return -1;
    const int i = clients.findByAddress(*address);
    return i < 0 ? -1 : i + 1;
}

} // namespace

void BillPanel::addPrintItem(const PrintJobRecord& job)
{
    if (auto charge = pricePrintJob(job)) {
        addPrintCharge(*charge);
        ctx_.keeper.moneyChanged();
    }
}

std::optional<PrintCharge> BillPanel::pricePrintJob(const PrintJobRecord& job) const
{
    const int n = printingStation(ctx_.clients, job.machine);
    const double pagePrice = ctx_.printers.lookupPagePrice(job.printer);
    if (n < 1 || n > ctx_.board.stationCount() || pagePrice < 0.0)
        return std::nullopt;
    const double amount = job.pages * pagePrice;
    return PrintCharge{n,
                       {std::to_string(n), "Pages (" + std::to_string(job.pages) + "): " + job.document,
                        priceText(amount)},
                       amount,
                       ctx_.board.isStatus(n - 1, kStatusStarted),
                       ctx_.board.station(n - 1).sessionSerial};
}

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
    int k = findCaption(caption);
    if (k < 0) {
        // The station's open bill may be on display still without a line: the
        // job becomes its first line instead of starting a second bill of that name.
        const bool provisionalTarget = provisional_ && *provisional_ == caption;
        if (provisionalTarget)
            provisional_.reset();
        k = insertStoredBill(OpenBill{{}, true, n, std::nullopt, running ? BillKind::Open : BillKind::Station}, caption);
        if (provisionalTarget) {
            current_ = k;
            selected_ = k;
        }
        if (running)
            ctx_.board.station(n - 1).openBillMark = true;
    }
    bills_[static_cast<std::size_t>(k)].items.push_back(charge.line);
    if (k == current_)
        redisplayCurrent();
    // The row's Extras belong to the session the job was printed in, if it still runs.
    if (running && n <= ctx_.board.stationCount() && ctx_.board.station(n - 1).sessionSerial == charge.sessionSerial &&
        ctx_.board.isStatus(n - 1, kStatusStarted))
        addStationExtras(n, charge.amount);
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
    ctx_.window.requestFocus({FocusTarget::Control::TenderField, 0});
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

} // namespace console
