#pragma once
// Reading the bills journal "BriskoBills" entry by entry, through one handle
// of the caller's. One thread at a time, like the handle.

#include "platform/shared_file.h"
#include "store/byte_layout.h"
#include "store/journal_format.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>

namespace store {

// Walks the entries of a journal through large reads, up to the length the file
// had when the reader was made. The walk ends with End after the last whole entry,
// Torn at an entry cut short by the end of the file (a write that did not finish),
// Damaged at a head with a negative line count, Error when reading failed.
class JournalReader {
public:
    enum class Step { Entry, End, Torn, Damaged, Error };
    struct Head {
        std::uint64_t offset = 0; // of the entry's head
        std::int32_t lineCount = 0;
        std::time_t chargedAt = 0;
    };

    explicit JournalReader(platform::SharedFile& file, std::uint64_t start = 0);

    bool ok() const { return ok_; } // the file's length could be read
    std::uint64_t end() const { return end_; }
    // Offset of the next head (after the current entry's remaining lines); after
    // Torn or Damaged, the offset of that entry.
    std::uint64_t nextOffset() const { return pos_ + remaining_ * kBillLineSize; }

    // Moves past what is left of the current entry and reads the next head.
    Step nextHead(Head& head);
    // The next line of the current entry; empty when the entry has no more lines or
    // the read failed. Valid until the next call.
    ConstBytes nextLine();

private:
    bool fill(std::size_t count);

    platform::SharedFile& file_;
    std::unique_ptr<std::byte[]> buffer_; // allocated at the first read
    std::size_t bufferCapacity_ = 0;
    std::uint64_t bufferStart_ = 0;
    std::size_t bufferLength_ = 0;
    std::uint64_t pos_ = 0;
    std::uint64_t remaining_ = 0;
    std::uint64_t end_ = 0;
    bool ok_ = false;
};

} // namespace store
