#include "console/bill_panel.h"

#include "money_keeper.h"
#include "window_controls.h"
#include "console/money_text.h"
#include "station_board.h"
#include "console/texts.h"

#include "store/activity_log.h"

// The Delete key on the bill list, and the panel's refresh afterwards.

namespace console {

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
        ctx_.log.writeLogLine("DELETE," + row.description + "," + row.priceText);
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
        ctx_.keeper.moneyChanged();
        return;
    }
    ctx_.log.writeLogLine("DELETED BILL," + captions_[static_cast<std::size_t>(current_)]);
    removeStoredBill(current_);
    current_ = bills_.empty() ? -1 : 0;
    selected_ = entryCount() > 0 ? 0 : -1;
    refreshAfterDeletion(true, stationShown);
    ctx_.keeper.moneyChanged();
}

void BillPanel::refreshAfterDeletion(bool wholeBill, int stationShown)
{
    double newTotal = 0.0;
    if (wholeBill && stationShown != 0 && stationShown <= ctx_.board.stationCount())
        ctx_.board.station(stationShown - 1).openBillMark = false;
    if (!bills_.empty()) {
        if (wholeBill) {
            current_ = -1; // so that the first bill is shown afresh
            showOpenBill(0);
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
        ctx_.board.updateStationMoney(stationShown - 1, "", newTotal - extras);
        ctx_.board.sendSessionInfo(stationShown - 1);
    }
}

} // namespace console
