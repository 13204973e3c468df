#pragma once
// Told whenever the money the console holds may have changed (a bill line, a
// session's start or stop, an alarm), and asked before a bill goes into the
// journal, so that the state on disk always matches what the operator sees.
// The engine's OpenStateKeeper writes it to "BriskoOpen". Window thread only.

#include <cstdint>

namespace console {

class MoneyKeeper {
public:
    virtual ~MoneyKeeper() = default;
    virtual void moneyChanged() = 0;
    // Open bill `index` is about to be appended to the journal at
    // `journalOffset`. False when that could not be put on disk first: the
    // bill is then not charged (it stays unpaid).
    virtual bool beforeCharge(int index, std::uint64_t journalOffset) = 0;
    // The journal append is over, whether it succeeded or not.
    virtual void afterCharge() = 0;
};

} // namespace console
