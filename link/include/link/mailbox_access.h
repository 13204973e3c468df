#pragma once
// Scoped, locked access to one station's MailboxWord. The lock is held for the
// lifetime of the object, so keep it short: the listener waits for it to relay.
// Any thread; one object per thread at a time (it holds the lock).

#include "link/station_words.h"

#include <mutex>

namespace stationlink {

class MailboxAccess {
public:
    // Locks `lock` and gives access to `word`. With a null word (no such
    // station) it locks nothing and reads and writes a word of its own.
    MailboxAccess(std::mutex* lock, MailboxWord* word);
    MailboxAccess(const MailboxAccess&) = delete;
    MailboxAccess& operator=(const MailboxAccess&) = delete;

    MailboxWord& word() { return *word_; }
    const MailboxWord& word() const { return *word_; }

private:
    MailboxWord scratch_;
    MailboxWord* word_;
    std::unique_lock<std::mutex> guard_;
};

} // namespace stationlink
