#pragma once
// The bills journal "BriskoBills": every charged bill is appended and pushed to
// disk; the day's takings are summed from it through a second, read-only handle.

#include "platform/clock.h"
#include "platform/shared_file.h"
#include "store/bill_item.h"
#include "store/day_total.h"
#include "store/store_notifier.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace store {

class BillJournal {
public:
    static constexpr int kOpenTries = 5;
    // A torn entry at the end no longer than this is a bill whose write was cut
    // short; it is cut off when the journal is opened.
    static constexpr std::uint64_t kLargestTornTail = std::uint64_t{64} * 1024;

    BillJournal(const std::filesystem::path& folder, const platform::Clock& clock, StoreNotifier& notifier);

    // Opens (creates) the journal, holding it against other writers. A failure shows
    // "Error (%d) opening file." with the cause number. The result is for the
    // callers that act on it: the operator has been told either way.
    bool open();
    // Makes sure the journal is open for the next append: up to five opening
    // tries, each failure with its message, then "Failed to open bill file after
    // 5 tries.".
    [[nodiscard]] bool openForAppend();
    // Appends one entry (head, then a line per item) at the end and flushes it. Up to
    // five opening tries, each failure with its message, then "Failed to open bill
    // file after 5 tries.". Returns whether the bill reached the journal.
    [[nodiscard]] bool append(const std::vector<BillItem>& lines);
    // The money taken since the first bill of today; nullopt when the journal cannot
    // be read. Remembers how far it got (and for which day) so that later calls read
    // only what was added; a new day starts over.
    std::optional<double> dayTotal();
    void close();
    bool isOpen() const { return file_.isOpen(); }

    // The journal's length now: where the next entry will start.
    std::optional<std::uint64_t> length() const { return file_.size(); }
    // Whether a whole entry with exactly these lines starts at `offset` (the
    // time it was charged is not compared). Tells, after a crash, whether a bill
    // being charged reached the journal. Unknown when the journal is not open or
    // cannot be read.
    enum class EntryCheck { Found, Absent, Unknown };
    EntryCheck findEntryAt(std::uint64_t offset, const std::vector<BillItem>& lines);

private:
    // False when a torn tail was found but could not be cut off.
    bool cutTornTail();

    std::filesystem::path path_;
    const platform::Clock& clock_;
    StoreNotifier& notifier_;
    platform::SharedFile file_;
    struct Remembered {
        LocalDay day;
        DayTotalScan scan;
    };
    std::optional<Remembered> remembered_;
};

} // namespace store
