#include "store/printer_table.h"

namespace store {

namespace {
constexpr std::size_t kServerOffset = 8;
constexpr std::size_t kNameSize = 256;
constexpr std::size_t kPrinterOffset = 264;
constexpr std::size_t kPriceOffset = 520;
} // namespace

void PrinterCodec::encode(const PrinterEntry& entry, Bytes record)
{
    putU32(record, 0, 0);
    putU32(record, 4, 0);
    putText(record, kServerOffset, kNameSize, entry.serverName);
    putText(record, kPrinterOffset, kNameSize, entry.printerName);
    putDouble(record, kPriceOffset, entry.pagePrice);
}

PrinterEntry PrinterCodec::decode(ConstBytes record)
{
    PrinterEntry entry;
    entry.serverName = getText(record, kServerOffset, kNameSize);
    entry.printerName = getText(record, kPrinterOffset, kNameSize);
    entry.pagePrice = getDouble(record, kPriceOffset);
    return entry;
}

double PrinterTable::lookupPagePrice(std::string_view printer) const
{
    for (const auto& entry : entries())
        if (entry.printerName == printer)
            return entry.pagePrice;
    return -1.0;
}

std::string PrinterTable::printServerName() const
{
    return entries().empty() ? std::string() : entries().front().serverName;
}

} // namespace store
