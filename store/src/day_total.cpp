#include "store/day_total.h"

#include "store/journal_format.h"
#include "store/journal_reader.h"

namespace store {

bool continueDayTotal(platform::SharedFile& reader, const LocalDay& day, DayTotalRule rule, DayTotalScan& scan)
{
    JournalReader journal(reader, scan.scannedEnd);
    if (!journal.ok())
        return false;
    JournalReader::Head head;
    for (;;) {
        auto step = journal.nextHead(head);
        if (step == JournalReader::Step::Error)
            return false;
        if (step != JournalReader::Step::Entry)
            return true; // the end, or an entry that cannot be read (yet): stop before it
        bool counts = false;
        if (rule == DayTotalRule::FromFirstEntryOfDay) {
            if (!scan.found && day.contains(head.chargedAt)) {
                scan.found = true;
                scan.firstOffset = head.offset;
            }
            counts = scan.found;
        } else {
            counts = day.contains(head.chargedAt);
        }
        if (counts) {
            double total = scan.total;
            for (std::int32_t i = 0; i < head.lineCount; ++i) {
                auto line = journal.nextLine();
                if (line.empty())
                    return false;
                total += billLinePrice(line);
            }
            scan.total = total;
        }
        scan.scannedEnd = journal.nextOffset();
    }
}

} // namespace store
