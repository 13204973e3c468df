#pragma once
// The unpaid bills and their selector: the stored bills with their captions,
// the provisional entry of a bill opened but still without a line (always the
// last entry), the entry the selector shows and the stored bill on display.
// Window thread only.

#include "console/bill_panel.h"
#include "store/open_state.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace console {

class OpenBillList {
public:
    const std::vector<OpenBill>& bills() const { return bills_; }
    OpenBill& bill(int index) { return bills_[static_cast<std::size_t>(index)]; }
    const OpenBill& bill(int index) const { return bills_[static_cast<std::size_t>(index)]; }
    int size() const { return static_cast<int>(bills_.size()); }
    bool empty() const { return bills_.empty(); }
    const std::string& caption(int index) const { return captions_[static_cast<std::size_t>(index)]; }
    void setCaption(int index, std::string caption) { captions_[static_cast<std::size_t>(index)] = std::move(caption); }
    // The stored bill with this caption, or -1.
    int find(const std::string& caption) const;

    // Selector entries: the stored bills' captions, then the provisional one if any.
    std::vector<std::string> selectorEntries() const;
    int entryCount() const { return size() + (provisional_ ? 1 : 0); }
    const std::optional<std::string>& provisional() const { return provisional_; }
    void setProvisional(std::string caption) { provisional_ = std::move(caption); }
    // The provisional entry becomes a stored bill: the caller selects it.
    void forgetProvisional() { provisional_.reset(); }
    // Drops the provisional entry, and the selection when it was on it.
    void dropProvisional();

    // Stored bills come before the provisional entry, which stays last (and
    // selected). Returns the new bill's index.
    int insert(OpenBill bill, std::string caption);
    // The selection and the displayed bill follow the bills after it.
    void remove(int index);

    // The stored bill on display (-1: none, or the provisional one).
    int current() const { return current_; }
    void setCurrent(int index) { current_ = index; }
    // The selector's entry (-1: none).
    int selected() const { return selected_; }
    void setSelected(int index) { selected_ = index; }

    // The bills as kept on disk.
    std::vector<store::KeptBill> keptBills() const;

private:
    std::vector<OpenBill> bills_;
    std::vector<std::string> captions_; // selector entries of the stored bills
    std::optional<std::string> provisional_;
    int selected_ = -1;
    int current_ = -1;
};

} // namespace console
