// The bills journal: entry layout, appending with its retries, and the day total.

#include "platform/clock.h"
#include "store/bill_journal.h"
#include "store/journal_format.h"
#include "store/journal_reader.h"
#include "store_test_kit.h"

#include <gtest/gtest.h>

using namespace store;
using namespace store::test;

class BillJournalTest : public ::testing::Test {
protected:
    TempFolder folder;
    RecordingNotifier notifier;
    platform::ManualClock clock{localTime(2024, 3, 9, 21, 15)};
    fs::path path() const { return folder / "BriskoBills"; }

    void appendAt(BillJournal& journal, std::time_t when, const std::vector<BillItem>& lines)
    {
        clock.set(when);
        ASSERT_TRUE(journal.append(lines));
    }
};

TEST_F(BillJournalTest, EntryIsItsHeadAndOneLinePerItemByteForByte)
{
    BillJournal journal(folder.path(), clock, notifier);
    ASSERT_TRUE(journal.open());
    ASSERT_TRUE(journal.append({{"3", "00 hrs 45 mins 10 secs", "2.00"},
                                {"x3", "Tea & Cake", "12.50"},
                                {"12", std::string(80, 'd'), "1234567890123456"}}));
    auto bytes = readBytes(path());
    ASSERT_EQ(bytes.size(), 8u + 3u * 92u);

    std::vector<std::byte> expected(284);
    placeLittleEndian(expected, 0, 3, 4);
    placeLittleEndian(expected, 4, static_cast<std::uint64_t>(clock.now()), 4);
    placeLittleEndian(expected, 8, 3, 4);
    place(expected, 8 + 4, "00 hrs 45 mins 10 secs");
    place(expected, 8 + 79, "2.00");
    place(expected, 100 + 4, "Tea & Cake"); // station text not a number: 0
    place(expected, 100 + 79, "12.50");
    placeLittleEndian(expected, 192, 12, 4);
    place(expected, 192 + 4, std::string(74, 'd'));
    place(expected, 192 + 79, "123456789012");
    EXPECT_EQ(bytes, expected);

    EXPECT_TRUE(journal.append({})); // an empty bill is a head alone
    EXPECT_EQ(fs::file_size(path()), 284u + 8u);
}

TEST_F(BillJournalTest, DayTotalOfANewJournalIsZeroAndOfAMissingOneUnavailable)
{
    BillJournal journal(folder.path(), clock, notifier);
    EXPECT_EQ(journal.dayTotal(), std::nullopt) << "no journal yet";
    ASSERT_TRUE(journal.open());
    EXPECT_EQ(journal.dayTotal(), 0.0);
}

TEST_F(BillJournalTest, DayTotalCountsTodaysBillsAcrossMidnight)
{
    BillJournal journal(folder.path(), clock, notifier);
    ASSERT_TRUE(journal.open());
    appendAt(journal, localTime(2024, 3, 8, 10, 0), {{"1", "yesterday", "100.00"}});
    appendAt(journal, localTime(2024, 3, 8, 23, 59, 59), {{"2", "yesterday late", "50.00"}});
    appendAt(journal, localTime(2024, 3, 9, 0, 0), {{"1", "Coffee", "12.50"}, {"1", "not a price", "free"}});
    appendAt(journal, localTime(2024, 3, 9, 18, 30), {{"4", "Pages (2): a.pdf", "0.20"}});
    clock.set(localTime(2024, 3, 9, 21, 0));
    EXPECT_DOUBLE_EQ(journal.dayTotal().value(), 12.70);

    // More bills later the same day are added to what was counted before.
    appendAt(journal, localTime(2024, 3, 9, 22, 0), {{"2", "Soda", "1.30"}});
    EXPECT_DOUBLE_EQ(journal.dayTotal().value(), 14.00);

    // After midnight the total starts at the new day's first bill, not yesterday's.
    clock.set(localTime(2024, 3, 10, 0, 30));
    EXPECT_EQ(journal.dayTotal(), 0.0);
    appendAt(journal, localTime(2024, 3, 10, 1, 0), {{"3", "Tea", "0.90"}});
    EXPECT_DOUBLE_EQ(journal.dayTotal().value(), 0.90);

    // A second console's reader gives the same from a cold start.
    BillJournal cold(folder.path(), clock, notifier);
    EXPECT_DOUBLE_EQ(cold.dayTotal().value(), 0.90);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(BillJournalTest, LockedJournalShowsFiveErrorsThenGivesUp)
{
    BillJournal owner(folder.path(), clock, notifier);
    ASSERT_TRUE(owner.open());
    BillJournal second(folder.path(), clock, notifier);
    EXPECT_FALSE(second.open());
    notifier.messages.clear();
    notifier.failedFiles.clear();

    EXPECT_FALSE(second.append({{"1", "Coffee", "1.00"}}));
    std::vector<std::string> expected(5, "Error (11) opening file.");
    expected.push_back("Failed to open bill file after 5 tries.");
    EXPECT_EQ(notifier.messages, expected);
    // Each one names the journal, for the administrator's log.
    EXPECT_EQ(notifier.failedFiles, std::vector<std::string>(6, "BriskoBills"));
    EXPECT_EQ(fs::file_size(path()), 0u);
    // Reading the total does not need the lock.
    EXPECT_EQ(second.dayTotal(), 0.0);
}

TEST_F(BillJournalTest, TornLastBillIsCutOffWhenOpenedAndIgnoredByTheTotal)
{
    {
        BillJournal journal(folder.path(), clock, notifier);
        ASSERT_TRUE(journal.open());
        ASSERT_TRUE(journal.append({{"1", "Coffee", "2.00"}}));
    }
    auto whole = readBytes(path());
    auto torn = whole;
    auto second = encodeBillEntry(clock.now(), {{"2", "Tea", "1.00"}, {"2", "Cake", "3.00"}});
    torn.insert(torn.end(), second.begin(), second.begin() + 150); // power lost mid-append
    writeBytes(path(), torn);

    BillJournal reader(folder.path(), clock, notifier);
    EXPECT_DOUBLE_EQ(reader.dayTotal().value(), 2.00);

    BillJournal journal(folder.path(), clock, notifier);
    ASSERT_TRUE(journal.open());
    EXPECT_EQ(readBytes(path()), whole);
    ASSERT_TRUE(journal.append({{"3", "Soda", "1.50"}}));
    EXPECT_DOUBLE_EQ(journal.dayTotal().value(), 3.50);
}

TEST(JournalReaderTest, WalksEntriesAndStopsAtDamage)
{
    TempFolder folder;
    auto bytes = encodeBillEntry(100, {{"1", "a", "1.00"}});
    auto empty = encodeBillEntry(200, {});
    bytes.insert(bytes.end(), empty.begin(), empty.end());
    auto damaged = encodeBillEntry(300, {});
    placeLittleEndian(damaged, 0, 0xFFFFFFFF, 4); // line count -1
    bytes.insert(bytes.end(), damaged.begin(), damaged.end());
    writeBytes(folder / "BriskoBills", bytes);

    auto file = platform::SharedFile::openReader(folder / "BriskoBills").value_or(platform::SharedFile{});
    JournalReader reader(file);
    JournalReader::Head head;
    ASSERT_EQ(reader.nextHead(head), JournalReader::Step::Entry);
    EXPECT_EQ(head.chargedAt, 100);
    EXPECT_EQ(decodeBillLine(reader.nextLine()), (BillLine{1, "a", "1.00"}));
    EXPECT_TRUE(reader.nextLine().empty());
    ASSERT_EQ(reader.nextHead(head), JournalReader::Step::Entry);
    EXPECT_EQ(head.lineCount, 0);
    EXPECT_EQ(reader.nextHead(head), JournalReader::Step::Damaged);
    EXPECT_EQ(reader.nextOffset(), 108u);
}
