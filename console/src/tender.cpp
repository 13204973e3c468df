#include "tender.h"

#include "console/bill_panel.h"
#include "console/console_view.h"
#include "console/money_text.h"
#include "console/operator_interfaces.h"
#include "console/texts.h"
#include "modal_guard.h"
#include "money_keeper.h"
#include "store/activity_log.h"
#include "store/bill_journal.h"
#include "window_controls.h"

namespace console {

Tender::Tender(TenderContext context) : ctx_(context)
{
    // Two decimals from the start, so that typed digits shift in as on a till.
    field_.setValue(0.0, 2);
}

void Tender::check()
{
    const double tender = field_.value();
    dueShown_ = true;
    dueAmount_ = field_.differenceText(tender);
    if (field_.isAtLeastMinimum(tender)) {
        dueLabel_ = std::string(kChangeLabel);
        ctx_.window.requestFocus({FocusTarget::Control::ChargeButton, 0});
        ctx_.window.defaultButton = DefaultButton::Charge;
    } else {
        ctx_.beeper.beep();
        dueLabel_ = std::string(kDueLabel);
        ctx_.window.requestFocus({FocusTarget::Control::TenderField, 0});
    }
}

void Tender::totalChanged(double total)
{
    field_.setMinimum(total);
    if (dueShown_) {
        double tender = field_.value();
        dueLabel_ = std::string(field_.isAtLeastMinimum(tender) ? kChangeLabel : kDueLabel);
        dueAmount_ = field_.differenceText(tender);
    }
}

bool Tender::charge(OpenBill* stored, int index, const std::vector<store::BillItem>& lines)
{
    const double due = field_.minimum();
    // The journal first: a bill that cannot be recorded is not charged and stays
    // open. (Its messages hold back any bill work until the charge is decided.)
    bool paidBefore = false;
    if (stored != nullptr) {
        const auto at = ctx_.journal.openForAppend() ? ctx_.journal.length() : std::nullopt;
        // A charge a crash cut short, which the journal could not tell about at
        // the start: it is looked up now, so that it is never charged twice.
        if (at && stored->unsettledChargeAt) {
            const auto check = ctx_.journal.findEntryAt(*stored->unsettledChargeAt, stored->items);
            if (check == store::BillJournal::EntryCheck::Unknown) {
                ctx_.guard.settle();
                return false;
            }
            paidBefore = check == store::BillJournal::EntryCheck::Found;
            stored->unsettledChargeAt.reset();
        }
        if (!at || (!paidBefore && !ctx_.keeper.beforeCharge(index, *at))) {
            ctx_.guard.settle();
            return false;
        }
    }
    // A bill the journal already holds is taken off the list as charged, once.
    const bool journalled = paidBefore || ctx_.journal.append(lines);
    if (stored != nullptr && !paidBefore)
        ctx_.keeper.afterCharge();
    if (!journalled) {
        ctx_.keeper.moneyChanged();
        ctx_.guard.settle();
        return false;
    }
    ctx_.log.writeLogLine("TENDER," + priceText(field_.value()));
    ctx_.log.writeLogLine("CHARGE," + priceText(due));
    field_.setValue(0.0, 2);
    return true;
}

void Tender::settleForReceipt(const std::string& totalText)
{
    const double tender = field_.value();
    if (!field_.text().empty() && field_.isAtLeastMinimum(tender)) {
        dueAmount_ = field_.differenceText(tender);
    } else {
        field_.setText(totalText);
        dueAmount_ = priceText(0.0);
    }
}

void Tender::describe(BillPanelView& view, bool shown, bool tendering) const
{
    view.tenderLabel = {tendering, kTenderLabel};
    view.tenderField = {tendering, field_.text()};
    view.dueLabel = {shown && dueShown_, dueLabel_};
    view.dueAmount = {shown && dueShown_, dueAmount_};
}

} // namespace console
