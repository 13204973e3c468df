#include "store/journal_format.h"

#include "store/text_number.h"

#include <algorithm>

namespace store {

namespace {
constexpr std::size_t kReadChunk = std::size_t{1} << 20;
}

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

JournalReader::JournalReader(platform::SharedFile& file, std::uint64_t start)
    : file_(file), pos_(start)
{
    auto size = file_.size();
    ok_ = size.has_value();
    end_ = size.value_or(0);
}

bool JournalReader::fill(std::size_t count)
{
    if (pos_ >= bufferStart_ && pos_ + count <= bufferStart_ + bufferLength_)
        return true;
    if (pos_ >= end_ || count > end_ - pos_)
        return false;
    if (count > bufferCapacity_) {
        // Big reads, but no bigger than what is left to read.
        bufferCapacity_ = static_cast<std::size_t>(std::max<std::uint64_t>(count, std::min<std::uint64_t>(kReadChunk, end_ - pos_)));
        buffer_ = std::make_unique_for_overwrite<std::byte[]>(bufferCapacity_);
        bufferLength_ = 0;
    }
    if (!file_.seek(pos_))
        return false;
    auto want = static_cast<std::size_t>(std::min<std::uint64_t>(bufferCapacity_, end_ - pos_));
    auto got = file_.read(std::span(buffer_.get(), want));
    if (!got)
        return false;
    bufferStart_ = pos_;
    bufferLength_ = *got;
    return bufferLength_ >= count;
}

JournalReader::Step JournalReader::nextHead(Head& head)
{
    pos_ += remaining_ * kBillLineSize;
    remaining_ = 0;
    if (pos_ >= end_)
        return Step::End;
    if (end_ - pos_ < kEntryHeadSize)
        return Step::Torn;
    if (!fill(kEntryHeadSize))
        return Step::Error;
    auto bytes = ConstBytes(buffer_.get() + (pos_ - bufferStart_), kEntryHeadSize);
    head.offset = pos_;
    head.lineCount = getI32(bytes, 0);
    head.chargedAt = getI32(bytes, 4);
    if (head.lineCount < 0)
        return Step::Damaged;
    if (kEntryHeadSize + static_cast<std::uint64_t>(head.lineCount) * kBillLineSize > end_ - pos_)
        return Step::Torn;
    pos_ += kEntryHeadSize;
    remaining_ = static_cast<std::uint64_t>(head.lineCount);
    return Step::Entry;
}

ConstBytes JournalReader::nextLine()
{
    if (remaining_ == 0 || !fill(kBillLineSize))
        return {};
    auto line = ConstBytes(buffer_.get() + (pos_ - bufferStart_), kBillLineSize);
    pos_ += kBillLineSize;
    --remaining_;
    return line;
}

} // namespace store
