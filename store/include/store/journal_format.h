#pragma once
// The bills journal "BriskoBills": entries of an 8-byte head (line count, time
// charged as 32-bit seconds since 1970 UTC) followed by 92-byte lines (station
// number, 75-byte description, 13-byte price text). No file header.

#include "store/bill_item.h"
#include "store/byte_layout.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace store {

inline constexpr std::size_t kEntryHeadSize = 8;
inline constexpr std::size_t kBillLineSize = 92;
inline constexpr std::size_t kLineDescriptionOffset = 4;
inline constexpr std::size_t kLineDescriptionSize = 75;
inline constexpr std::size_t kLinePriceOffset = 79;
inline constexpr std::size_t kLinePriceSize = 13;

struct BillLine {
    std::int32_t station = 0;
    std::string description;
    std::string priceText;

    friend bool operator==(const BillLine&, const BillLine&) = default;
};

// The bytes of one entry: the head, then one line per item (station number read
// from its text, 0 when that is not a number; texts cut to their fields).
std::vector<std::byte> encodeBillEntry(std::time_t chargedAt, const std::vector<BillItem>& items);
BillLine decodeBillLine(ConstBytes line);
// The decimal value of a line's price text, 0 when it is not a number.
double billLinePrice(ConstBytes line);

} // namespace store
