#include "open_bill_list.h"

namespace console {

std::vector<std::string> OpenBillList::selectorEntries() const
{
    std::vector<std::string> entries = captions_;
    if (provisional_)
        entries.push_back(*provisional_);
    return entries;
}

int OpenBillList::find(const std::string& caption) const
{
    for (std::size_t k = 0; k < captions_.size(); ++k)
        if (captions_[k] == caption)
            return static_cast<int>(k);
    return -1;
}

void OpenBillList::dropProvisional()
{
    if (!provisional_)
        return;
    if (selected_ == size())
        selected_ = -1;
    provisional_.reset();
}

int OpenBillList::insert(OpenBill bill, std::string caption)
{
    int index = size();
    bills_.push_back(std::move(bill));
    captions_.push_back(std::move(caption));
    if (provisional_ && selected_ == index)
        ++selected_;
    return index;
}

void OpenBillList::remove(int index)
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

std::vector<store::KeptBill> OpenBillList::keptBills() const
{
    std::vector<store::KeptBill> kept;
    kept.reserve(bills_.size());
    for (std::size_t k = 0; k < bills_.size(); ++k)
        kept.push_back(
            {captions_[k], bills_[k].station, bills_[k].itemMode, bills_[k].items, bills_[k].unsettledChargeAt});
    return kept;
}

} // namespace console
