#include "console/bill_panel.h"

#include "money_keeper.h"
#include "window_controls.h"
#include "modal_guard.h"
#include "console/money_text.h"
#include "station_board.h"
#include "console/texts.h"
#include "console/operator_interfaces.h"

#include "store/activity_log.h"
#include "store/bill_journal.h"
#include "store/configuration.h"

// Taking the money: the tender check, charging into the journal, receipts.

namespace console {

void BillPanel::onTenderCheck()
{
    const double tender = tender_.value();
    dueShown_ = true;
    dueAmount_ = tender_.differenceText(tender);
    if (tender_.isAtLeastMinimum(tender)) {
        dueLabel_ = std::string(kChangeLabel);
        ctx_.window.requestFocus({FocusTarget::Control::ChargeButton, 0});
        ctx_.window.defaultButton = DefaultButton::Charge;
    } else {
        ctx_.beeper.beep();
        dueLabel_ = std::string(kDueLabel);
        ctx_.window.requestFocus({FocusTarget::Control::TenderField, 0});
    }
}

bool BillPanel::chargeBill()
{
    // Nothing on display (the last bill was charged and CHARGE is still the
    // default button): there is no bill to journal or log.
    if (current_ < 0 && !provisional_)
        return false;
    const double due = tender_.minimum();
    // The journal first: a bill that cannot be recorded is not charged and stays
    // open. (Its messages hold back any bill work until the charge is decided.)
    // A stored bill is marked on disk with the place its entry will take, so
    // that after a crash at any step it is either still unpaid or found in the
    // journal, never both and never neither.
    const bool stored = current_ >= 0;
    bool paidBefore = false;
    if (stored) {
        const auto at = ctx_.journal.openForAppend() ? ctx_.journal.length() : std::nullopt;
        OpenBill& bill = bills_[static_cast<std::size_t>(current_)];
        // A charge a crash cut short, which the journal could not tell about at
        // the start: it is looked up now, so that it is never charged twice.
        if (at && bill.unsettledChargeAt) {
            const auto check = ctx_.journal.findEntryAt(*bill.unsettledChargeAt, bill.items);
            if (check == store::BillJournal::EntryCheck::Unknown) {
                ctx_.guard.settle();
                return false;
            }
            paidBefore = check == store::BillJournal::EntryCheck::Found;
            bill.unsettledChargeAt.reset();
        }
        if (!at || (!paidBefore && !ctx_.keeper.beforeCharge(current_, *at))) {
            ctx_.guard.settle();
            return false;
        }
    }
    // A bill the journal already holds is taken off the list as charged, once.
    const bool journalled = paidBefore || ctx_.journal.append(listRows_);
    if (stored && !paidBefore)
        ctx_.keeper.afterCharge();
    if (!journalled) {
        ctx_.keeper.moneyChanged();
        ctx_.guard.settle();
        return false;
    }
    ctx_.log.writeLogLine("CHARGE," + priceText(due));
    tender_.setValue(0.0, 2);
    listRows_.clear();
    listSelected_.clear();

    const int stationShown = displayedStation_;
    if (current_ >= 0) {
        removeStoredBill(current_);
        // A running station's open bill paid before its session ended: the
        // session's own bill must not look for it any more, and the row's Extras
        // (the open bill's total) no longer ask for what was paid.
        if (stationShown != 0 && stationShown <= ctx_.board.stationCount()) {
            ctx_.board.station(stationShown - 1).openBillMark = false;
            if (stationSessionRuns(stationShown))
                addStationExtras(stationShown,
                                 -amountOf(ctx_.board.table().text(stationShown - 1, Column::Extras)));
        }
        ctx_.keeper.moneyChanged();
    } else {
        dropProvisional();
    }
    dueShown_ = false;
    current_ = -1;
    selected_ = entryCount() > 0 ? 0 : -1;
    if (!bills_.empty()) {
        showOpenBill(0);
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
    // Bill work held back by the print dialog waits until this bill is charged.
    std::optional<ReceiptPage> page = ctx_.receiptPrinter.choosePrinter();
    if (!page) {
        ctx_.guard.settle();
        return;
    }
    const double tender = tender_.value();
    if (!tender_.text().empty() && tender_.isAtLeastMinimum(tender)) {
        dueAmount_ = tender_.differenceText(tender);
    } else {
        tender_.setText(totalText_);
        dueAmount_ = priceText(0.0);
    }
    ReceiptContent content{ctx_.configuration.receiptLine1(), ctx_.configuration.receiptLine2(), listRows_,
                           totalText_, tender_.text(), dueAmount_};
    ctx_.receiptPrinter.printPage(layOutReceipt(*page, content));
    chargeBill();
}

} // namespace console
