#pragma once
// Summing a day's takings from the bills journal. A scan can be continued later
// from where it stopped, since the journal only ever grows.
// A scan belongs to one thread at a time, like the file it reads.

#include "platform/shared_file.h"
#include "store/local_day.h"

#include <cstdint>

namespace store {

enum class DayTotalRule {
    // The console's rule: from the first entry dated that day, every later entry counts.
    FromFirstEntryOfDay,
    // Only entries dated that day count (for days other than today).
    OnlyEntriesOfDay,
};

struct DayTotalScan {
    bool found = false;            // the day's first entry has been seen
    std::uint64_t firstOffset = 0; // its offset, once found
    std::uint64_t scannedEnd = 0;  // entries before this offset have been taken into account
    double total = 0.0;
};

// Walks the entries from scan.scannedEnd to the end of the file, adding to the scan.
// False when the journal could not be read; a torn entry at the end stops the walk
// before it (it is looked at again next time).
bool continueDayTotal(platform::SharedFile& reader, const LocalDay& day, DayTotalRule rule, DayTotalScan& scan);

} // namespace store
