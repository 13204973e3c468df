#include "store/journal_reader.h"

#include <algorithm>

namespace store {

namespace {
constexpr std::size_t kReadChunk = std::size_t{1} << 20;
}

JournalReader::JournalReader(platform::SharedFile& file, std::uint64_t start) : file_(file), pos_(start)
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
        bufferCapacity_ =
            static_cast<std::size_t>(std::max<std::uint64_t>(count, std::min<std::uint64_t>(kReadChunk, end_ - pos_)));
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
