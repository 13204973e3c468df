#include "store/bill_journal.h"

#include "file_error_message.h"
#include "store/file_names.h"
#include "store/journal_format.h"
#include "store/journal_reader.h"

#include <algorithm>
#include <cerrno>

namespace store {

BillJournal::BillJournal(const std::filesystem::path& folder, const platform::Clock& clock, StoreNotifier& notifier)
    : path_(folder / kJournalFileName), clock_(clock), notifier_(notifier)
{
}

bool BillJournal::open()
{
    auto opened = platform::SharedFile::openOwned(path_);
    if (!opened) {
        file_.close();
        notifier_.fileFailed(path_, fileErrorMessage(kOpeningFileError, opened.error()));
        return false;
    }
    file_ = std::move(*opened);
    // Bills appended behind a torn one could never be read back: a journal
    // whose torn tail cannot be cut off is not used.
    if (!cutTornTail()) {
        notifier_.fileFailed(path_, fileErrorMessage(kOpeningFileError, platform::fileErrorFromErrno(errno)));
        file_.close();
        return false;
    }
    return true;
}

// A bill whose write was cut short (power lost mid-append) would make every later
// bill unreadable; it was never reported as journalled, so it is cut off. So are
// zeros at the end, left where the file's new length reached the disk but its
// bytes did not: a real bill always carries the time it was charged, so an
// all-zero head is never one. Anything larger than one bill at the end is left
// alone: that is not a torn append.
bool BillJournal::cutTornTail()
{
    JournalReader reader(file_);
    if (!reader.ok())
        return true;
    JournalReader::Head head;
    auto step = JournalReader::Step::Entry;
    std::uint64_t lastBillEnd = 0;
    while ((step = reader.nextHead(head)) == JournalReader::Step::Entry) {
        if (head.lineCount != 0 || head.chargedAt != 0)
            lastBillEnd = reader.nextOffset();
    }
    if (step != JournalReader::Step::Torn && step != JournalReader::Step::End)
        return true;
    if (lastBillEnd < reader.end() && reader.end() - lastBillEnd <= kLargestTornTail)
        return file_.truncate(lastBillEnd);
    return true;
}

bool BillJournal::openForAppend()
{
    if (file_.isOpen())
        return true;
    for (int tries = 0; tries < kOpenTries; ++tries)
        if (open())
            return true;
    notifier_.fileFailed(path_, "Failed to open bill file after 5 tries.");
    return false;
}

bool BillJournal::append(const std::vector<BillItem>& lines)
{
    if (!openForAppend())
        return false;
    auto entry = encodeBillEntry(clock_.now(), lines);
    // One write of the whole entry, pushed to disk; on failure the journal is put back
    // as it was, so no half bill is left behind.
    auto end = file_.size();
    if (!end || !file_.seek(*end) || !file_.write(entry) || !file_.flush()) {
        auto cause = platform::fileErrorFromErrno(errno);
        // A half entry that cannot be cut off here is cut off as a torn tail
        // when the journal is opened again for the next bill.
        if (end && !file_.truncate(*end))
            file_.close();
        notifier_.fileFailed(path_, fileErrorMessage(kWritingFileError, cause));
        return false;
    }
    return true;
}

std::optional<double> BillJournal::dayTotal()
{
    auto reader = platform::SharedFile::openReader(path_).value_or(platform::SharedFile{});
    if (!reader.isOpen())
        return std::nullopt;
    auto size = reader.size();
    if (!size)
        return std::nullopt;
    const std::time_t now = clock_.now();
    // The remembered place belongs to one day; after midnight the count starts over.
    if (!remembered_ || !remembered_->day.contains(now) || *size < remembered_->scan.scannedEnd)
        remembered_ = Remembered{LocalDay::containing(now), DayTotalScan{}};
    if (!continueDayTotal(reader, remembered_->day, DayTotalRule::FromFirstEntryOfDay, remembered_->scan)) {
        remembered_.reset();
        return std::nullopt;
    }
    return remembered_->scan.total;
}

BillJournal::EntryCheck BillJournal::findEntryAt(std::uint64_t offset, const std::vector<BillItem>& lines)
{
    if (!file_.isOpen())
        return EntryCheck::Unknown;
    const std::vector<std::byte> expected = encodeBillEntry(0, lines);
    auto size = file_.size();
    if (!size)
        return EntryCheck::Unknown;
    if (*size < offset || *size - offset < expected.size())
        return EntryCheck::Absent;
    std::vector<std::byte> found(expected.size());
    // append() places each entry at the end itself, so the position left
    // here does not matter.
    const bool read = file_.seek(offset) && file_.read(found) == std::optional<std::size_t>(found.size());
    if (!read)
        return EntryCheck::Unknown;
    // The line count, then the lines; the four bytes of the time are skipped.
    const bool same = std::equal(found.begin(), found.begin() + 4, expected.begin()) &&
                      std::equal(found.begin() + kEntryHeadSize, found.end(), expected.begin() + kEntryHeadSize);
    return same ? EntryCheck::Found : EntryCheck::Absent;
}

void BillJournal::close() { file_.close(); }

} // namespace store
