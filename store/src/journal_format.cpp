#include "store/journal_format.h"

#include "store/text_number.h"

#include <algorithm>

namespace store {

std::vector<std::byte> encodeBillEntry(std::time_t chargedAt, const std::vector<BillItem>& items)
{
    std::vector<std::byte> bytes(kEntryHeadSize + items.size() * kBillLineSize);
    Bytes all(bytes);
    putI32(all, 0, static_cast<std::int32_t>(items.size()));
    putI32(all, 4, static_cast<std::int32_t>(chargedAt));
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto line = all.subspan(kEntryHeadSize + i * kBillLineSize, kBillLineSize);
        putI32(line, 0, parseIntText(items[i].stationText));
        putText(line, kLineDescriptionOffset, kLineDescriptionSize, items[i].description);
        putText(line, kLinePriceOffset, kLinePriceSize, items[i].priceText);
    }
    return bytes;
}

BillLine decodeBillLine(ConstBytes line)
{
    BillLine decoded;
    decoded.station = getI32(line, 0);
    decoded.description = getText(line, kLineDescriptionOffset, kLineDescriptionSize);
    decoded.priceText = getText(line, kLinePriceOffset, kLinePriceSize);
    return decoded;
}

double billLinePrice(ConstBytes line)
{
    auto field = line.subspan(kLinePriceOffset, kLinePriceSize);
    auto nul = std::find(field.begin(), field.end(), std::byte{0});
    return parseMoneyText(
        std::string_view(reinterpret_cast<const char*>(field.data()), static_cast<std::size_t>(nul - field.begin())));
}

} // namespace store
