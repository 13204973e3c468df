#pragma once
// The tender side of the bill panel: the tender field with the due or change
// worked out against the displayed bill's total, and CHARGE's part in the
// journal: a stored bill is marked on disk with the place its entry will take
// before it is appended, so that after a crash it is either still unpaid or
// found in the journal, never both and never neither. Window thread only.

#include "console/texts.h"
#include "fields/money_field.h"
#include "store/bill_item.h"

#include <string>
#include <vector>

namespace store {
class ActivityLog;
class BillJournal;
} // namespace store

namespace console {

class Beeper;
class ModalGuard;
class MoneyKeeper;
struct BillPanelView;
struct OpenBill;
struct WindowControls;

struct TenderContext {
    WindowControls& window;
    Beeper& beeper;
    store::BillJournal& journal;
    store::ActivityLog& log;
    MoneyKeeper& keeper;
    ModalGuard& guard;
};

class Tender {
public:
    explicit Tender(TenderContext context);

    fields::MoneyField& field() { return field_; }
    const fields::MoneyField& field() const { return field_; }
    double amountDue() const { return field_.minimum(); }

    // Enter in the tender field: the change, and the focus on CHARGE; or the
    // amount still due, with a beep.
    void check();
    // The displayed bill's total to pay, the due or change hidden.
    void setTotal(double total)
    {
        field_.setMinimum(total);
        dueShown_ = false;
    }
    // The displayed bill's total changed: a due or change shown is worked out again.
    void totalChanged(double total);
    void hideDue() { dueShown_ = false; }

    // CHARGE's journal part for the displayed lines: `stored` is the open bill
    // `index` on display, or null for a bill without a stored entry. False when
    // the bill could not reach the journal and stays open (the operator was
    // told; bill work held back has run). On success "CHARGE" is logged and
    // the field cleared.
    bool charge(OpenBill* stored, int index, const std::vector<store::BillItem>& lines);

    // Print Receipt: the tender (the total, when none or too little was given)
    // and the change printed on the receipt.
    void settleForReceipt(const std::string& totalText);
    const std::string& dueAmount() const { return dueAmount_; }

    // The tender and due rows of the panel.
    void describe(BillPanelView& view, bool shown, bool tendering) const;

private:
    TenderContext ctx_;
    fields::MoneyField field_;
    bool dueShown_ = false;
    std::string dueLabel_{kDueLabel};
    std::string dueAmount_;
};

} // namespace console
