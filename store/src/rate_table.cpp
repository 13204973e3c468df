#include "store/rate_table.h"

namespace store {

namespace {
constexpr std::size_t kDurationOffset = 8;
constexpr std::size_t kDurationSize = 12;
constexpr std::size_t kCountOffset = 20;
constexpr std::size_t kPriceOffset = 24;
} // namespace

void RateCodec::encode(const RateBlock& entry, Bytes record)
{
    putU32(record, 0, 0);
    putU32(record, 4, 0);
    putText(record, kDurationOffset, kDurationSize, entry.blockDuration);
    putI32(record, kCountOffset, entry.blockCount);
    putDouble(record, kPriceOffset, entry.price);
}

RateBlock RateCodec::decode(ConstBytes record)
{
    RateBlock block;
    block.blockDuration = getText(record, kDurationOffset, kDurationSize);
    block.blockCount = getI32(record, kCountOffset);
    block.price = getDouble(record, kPriceOffset);
    return block;
}

int durationSeconds(std::string_view hhmmss)
{
    auto digit = [&](std::size_t i) {
        if (i >= hhmmss.size() || hhmmss[i] < '0' || hhmmss[i] > '9')
            return 0;
        return hhmmss[i] - '0';
    };
    return (digit(0) * 10 + digit(1)) * 3600 + (digit(3) * 10 + digit(4)) * 60 + digit(6) * 10 + digit(7);
}

} // namespace store
