#include "store/sale_item_table.h"

#include "store/text_number.h"

namespace store {

namespace {
constexpr std::size_t kDescriptionOffset = 8;
constexpr std::size_t kDescriptionSize = 32;
constexpr std::size_t kPriceOffset = 40;
constexpr std::size_t kFixedOffset = 48;
} // namespace

void SaleItemCodec::encode(const SaleItem& entry, Bytes record)
{
    putU32(record, 0, 0);
    putU32(record, 4, 0);
    putText(record, kDescriptionOffset, kDescriptionSize, entry.description);
    putDouble(record, kPriceOffset, entry.price);
    record[kFixedOffset] = std::byte{entry.fixedPrice ? std::uint8_t{1} : std::uint8_t{0}};
    for (std::size_t i = kFixedOffset + 1; i < kRecordSize; ++i)
        record[i] = std::byte{0};
}

SaleItem SaleItemCodec::decode(ConstBytes record)
{
    SaleItem item;
    item.description = getText(record, kDescriptionOffset, kDescriptionSize);
    item.price = getDouble(record, kPriceOffset);
    item.fixedPrice = record[kFixedOffset] != std::byte{0};
    return item;
}

std::string SaleItemTable::caption(int i, bool buttonForm) const
{
    if (!valid(i))
        return {};
    const auto& description = items()[static_cast<std::size_t>(i)].description;
    if (!buttonForm)
        return description;
    std::string doubled;
    doubled.reserve(description.size() + 4);
    for (char c : description) {
        doubled += c;
        if (c == '&')
            doubled += '&';
    }
    return doubled;
}

std::string SaleItemTable::priceText(int i) const
{
    return valid(i) ? formatMoney(items()[static_cast<std::size_t>(i)].price) : std::string();
}

bool SaleItemTable::fixedPrice(int i) const { return valid(i) && items()[static_cast<std::size_t>(i)].fixedPrice; }

} // namespace store
