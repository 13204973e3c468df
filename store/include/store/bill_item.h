#pragma once
// One bill line as the bill panel shows it: station number text, description,
// price text.
// A plain value type.

#include <string>

namespace store {

struct BillItem {
    std::string stationText;
    std::string description;
    std::string priceText;

    friend bool operator==(const BillItem&, const BillItem&) = default;
};

} // namespace store
