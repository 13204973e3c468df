#pragma once
// The bill panel: the unpaid bills and their selector (OpenBillList), the
// displayed bill with its lines, the item panel for sale items (ItemPanel),
// the tender field with the due/change display and charging into the journal
// (Tender), receipts, print jobs charged to a station's bill (PrintJobPricer),
// and the Delete key on the bill list. BillPanel is the face the engine and
// the window call; it runs each action across its parts.
// Window thread only; the window shows what view() describes.

#include "console/console_view.h"
#include "console/print_job_record.h"
#include "store/bill_item.h"
#include "store/open_state.h"

#include "fields/money_field.h"

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace store {
class ActivityLog;
class BillJournal;
class ClientTable;
class Configuration;
class PrinterTable;
class SaleItemTable;
} // namespace store

namespace console::configuration {
class OperatorPrompts;
}

namespace console {

class Beeper;
class ItemPanel;
class ModalGuard;
class MoneyKeeper;
class OpenBillList;
class PriceFieldPrompt;
class PrintJobPricer;
class ReceiptPrinter;
class StationBoard;
class Tender;
struct WindowControls;

// What an unpaid bill is. A station's finished bill belongs to no running
// station: it does not stand for the station while it is displayed.
enum class BillKind {
    Open,    // "Open Bill" over the counter, or "Open Bill: Comp#: n" of running station n
    Station, // "Comp#: ...": the bill of a finished session (or group), or of print jobs of a stopped station
};

// An unpaid bill.
struct OpenBill {
    std::vector<store::BillItem> items;
    bool itemMode = false; // show the item panel when displayed
    int station = 0;       // running station it belongs to, or the last station of a session bill, or 0
    // A charge cut short by a crash whose journal could not be read at the
    // restart: where its entry would be. It is settled before the bill is charged.
    std::optional<std::uint64_t> unsettledChargeAt;
    BillKind kind = BillKind::Open;
    // When the bill came in ("%H:%M"), shown beside its caption where the
    // operator picks it; empty for bills kept over a restart.
    std::string arrivedAt;
    // Made by a station (a session's end, an alarm, a pooled stop, a print
    // job) and not yet displayed: the panel announces it until it is.
    bool unseen = false;
};

// A print job priced when the tick took it: the line for station `station`'s
// bill, and whether that station's session ran then (and which session).
struct PrintCharge {
    int station = 0;
    store::BillItem line;
    double amount = 0.0;
    bool running = false;
    unsigned sessionSerial = 0;
};

struct BillPanelContext {
    StationBoard& board;
    store::ActivityLog& log;
    const store::SaleItemTable& saleItems;
    const store::PrinterTable& printers;
    const store::ClientTable& clients;
    const store::Configuration& configuration;
    store::BillJournal& journal;
    WindowControls& window;
    PriceFieldPrompt& pricePrompt;
    ReceiptPrinter& receiptPrinter;
    Beeper& beeper;
    configuration::OperatorPrompts& prompts; // the short-tender and receipt questions
    ModalGuard& guard;                       // bill work held back while a dialog was up runs after the panel's own
    MoneyKeeper& keeper;                     // told of every change to the bills, and asked before a charge
};

class BillPanel {
public:
    static constexpr int kItemRows = 5;

    explicit BillPanel(BillPanelContext context);
    ~BillPanel();
    BillPanel(const BillPanel&) = delete;
    BillPanel& operator=(const BillPanel&) = delete;

    // --- operator actions -------------------------------------------------
    // The Bill button: opens a bill for the remembered running station, or one without a station.
    void onBillPressed();
    // Another entry picked in the open-bill selector.
    void onSelectorChanged(int index);
    // The item-panel button ("Add Items" / "Tender" / "Stop PC#n").
    void onItemPanelButton();
    // Item button of page row 0..4 (wide or narrow).
    void onItemPressed(int row);
    void onNextPage();
    void onPreviousPage();
    // The open quantity field's text as the operator edits it, and Enter in it.
    // The field opens with "1" selected; the first text handed back ends that.
    void setQuantityText(std::string text);
    void onQuantityEnter();
    // The tender field; the window forwards keys to it. Enter runs the tender check.
    fields::MoneyField& tenderField();
    void onTenderCheck();
    // The operator typed into the tender field.
    void onTenderEdited();
    // The CHARGE button, as the operator presses it: nothing while the bill on
    // display has not been acted on since it appeared (so that a second Enter
    // or click meant for the bill just charged never charges the next one),
    // and a tender short of the amount due is charged only when the operator
    // confirms it. False when nothing was charged.
    bool onChargePressed();
    // CHARGE's work: journals and removes the displayed bill. Returns false when
    // no bill is displayed, or when the bill could not reach the journal: it
    // then stays open.
    bool chargeBill();
    // Print Receipt & Charge, as the operator presses it. Without a usable
    // printer, or when the page fails, the operator chooses between charging
    // without a receipt and leaving the bill open.
    void printReceipt();
    // Rows selected in the bill list, and the Delete key released on it.
    void setBillListSelection(const std::vector<int>& rows);
    void onDeleteKey();

    // --- calls from the station side ----------------------------------------
    // A finished print job, charged to the bill of the station that printed it.
    void addPrintItem(const PrintJobRecord& job);
    // The same in two steps: the job priced now (nullopt when it is charged to
    // nobody), and the line put on its bill, perhaps later.
    std::optional<PrintCharge> pricePrintJob(const PrintJobRecord& job) const;
    void addPrintCharge(const PrintCharge& charge);
    // Removes station n's open bill ("Open Bill: Comp#: n") and returns its lines.
    std::optional<std::vector<store::BillItem>> takeStationOpenBill(int stationNumber);
    // A completed session bill; displayed when `show`.
    void addSessionBill(OpenBill bill, const std::string& caption, bool show);
    // A swap moved station `from`'s open bill to station `to`.
    void moveStationOpenBill(int from, int to);
    // The sale items changed: the page is reset when it lies beyond them.
    void rebuildItemPanel();
    // The open bills as kept on disk, and put back after a restart (the first
    // one is then displayed).
    std::vector<store::KeptBill> keptBills() const;
    void restoreOpenBills(std::vector<store::KeptBill> bills);
    // The remembered running station of the Bill button (0 = none).
    void setRememberedStation(int stationNumber) { rememberedStation_ = stationNumber; }

    // --- state -----------------------------------------------------------------
    bool storedBillDisplayed() const { return currentIndex() >= 0; }
    int currentIndex() const;
    int displayedStation() const { return displayedStation_; }
    bool walkInBeingEntered() const { return provisionalWalkIn_; }
    bool sessionBillFlag() const { return sessionBillFlag_; }
    bool itemPanelShown() const;
    bool panelShown() const { return panelShown_; }
    // CHARGE and Print Receipt & Charge are on screen (the panel is tendering).
    bool chargeShown() const { return panelShown_ && !itemPanelShown(); }
    // The operator has acted on the bill on display: CHARGE and Print Receipt
    // & Charge take effect.
    bool chargeReady() const { return chargeReady_; }
    // Bills a station made that have not been displayed yet.
    int unseenBillCount() const;
    int quantityRow() const;
    int pageStart() const;
    int rememberedStation() const { return rememberedStation_; }
    const std::vector<OpenBill>& openBills() const;
    // Selector entries: the stored bills' captions, then the provisional one if any.
    std::vector<std::string> selectorEntries() const;
    bool hasProvisionalEntry() const;
    double amountDue() const;

    // Fills the panel's part of the view.
    void describe(BillPanelView& view) const;

private:
    void showBillPanel(bool show);
    void openItemPanel(bool open);
    void showOpenBill(int index);
    void fillList(const std::vector<store::BillItem>& items);
    void redisplayCurrent();
    void addBillItem(store::BillItem line);
    void refreshAfterDeletion(bool wholeBill, int stationShown);
    bool stationSessionRuns(int stationNumber) const;
    void addStationExtras(int stationNumber, double amount);
    std::string itemPanelCaption() const;
    bool confirmShortTender();
    void announceNewBill(OpenBill& bill, bool shown);
    std::vector<std::string> selectorLabels() const;

    BillPanelContext ctx_;
    std::unique_ptr<OpenBillList> list_;
    std::unique_ptr<ItemPanel> items_;
    std::unique_ptr<Tender> tender_;
    std::unique_ptr<PrintJobPricer> pricer_;

    // The displayed bill.
    int displayedStation_ = 0;
    bool provisionalWalkIn_ = false;
    bool panelShown_ = false;
    bool sessionBillFlag_ = false;
    int rememberedStation_ = 0;
    bool chargeReady_ = false;
    std::time_t lastAnnouncement_ = 0;
    std::string caption_;
    std::vector<store::BillItem> listRows_;
    std::vector<bool> listSelected_;
    std::string totalText_;
};

} // namespace console
