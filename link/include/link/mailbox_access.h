#pragma once
// Scoped, locked access to one station's MailboxWord. The lock is held for the
// lifetime of the object, so keep it short: the listener waits for it to relay.
// Any thread; one object per thread at a time (it holds the lock).

#include <cstdint>
#include <mutex>

namespace stationlink {

class MailboxAccess {
public:
    // Locks `lock` and gives access to `word`. With a null word (no such
    // station) it locks nothing and reads and writes a word of its own.
    MailboxAccess(std::mutex* lock, std::uint32_t* word);
    MailboxAccess(const MailboxAccess&) = delete;
    MailboxAccess& operator=(const MailboxAccess&) = delete;

    std::uint32_t& word() { return *word_; }
    std::uint32_t value() const { return *word_; }
    bool has(std::uint32_t flags) const { return (*word_ & flags) == flags; }
    void set(std::uint32_t flags) { *word_ |= flags; }
    // Takes flags out by the clearing rule (LINK_PENDING stays only while other flags remain).
    void clear(std::uint32_t flags);

private:
    std::uint32_t scratch_ = 0;
    std::uint32_t* word_;
    std::unique_lock<std::mutex> guard_;
};

} // namespace stationlink
