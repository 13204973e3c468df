// Power lost during a write: every file the console writes is rebuilt the way a
// cut at each byte of its last write would leave it, and read back with the
// console's own loaders. The result is the old state or the new one, and the
// next write lands cleanly.

#include "platform/clock.h"
#include "store/activity_log.h"
#include "store/bill_journal.h"
#include "store/client_table.h"
#include "store/configuration.h"
#include "store/journal_format.h"
#include "store/journal_reader.h"
#include "store/printer_table.h"
#include "store/rate_table.h"
#include "store/sale_item_table.h"
#include "store_test_kit.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <numeric>

using namespace store;
using namespace store::test;

namespace {

std::vector<std::byte> prefix(const std::vector<std::byte>& bytes, std::size_t length)
{
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)};
}

std::string textOf(const std::vector<std::byte>& bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

ino_t inodeOf(const fs::path& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// Every entry of a journal file, or nothing when the walk does not end cleanly
// at the end of the file.
struct JournalWalk {
    bool clean = false;
    std::vector<std::vector<BillLine>> bills;
    double total = 0.0;
};

JournalWalk walkJournal(const fs::path& path)
{
    JournalWalk walk;
    auto file = platform::SharedFile::openReader(path).value_or(platform::SharedFile{});
    JournalReader reader(file);
    JournalReader::Head head;
    auto step = JournalReader::Step::Entry;
    while ((step = reader.nextHead(head)) == JournalReader::Step::Entry) {
        auto& bill = walk.bills.emplace_back();
        for (auto line = reader.nextLine(); !line.empty(); line = reader.nextLine()) {
            bill.push_back(decodeBillLine(line));
            walk.total += billLinePrice(line);
        }
    }
    walk.clean = step == JournalReader::Step::End;
    return walk;
}

} // namespace

// --- the bills journal --------------------------------------------------------------

class JournalPowerLoss : public ::testing::Test {
protected:
    TempFolder folder;
    RecordingNotifier notifier;
    platform::ManualClock clock{localTime(2024, 6, 3, 18, 0)};
    fs::path path() const { return folder / "BriskoBills"; }

    const std::vector<BillItem> lastBill{
        {"4", "01 hrs 02 mins 03 secs", "3.50"}, {"", "Coffee x 2", "3.00"}, {"4", "Pages (3): plan.pdf", "0.30"}};
    const std::vector<BillItem> nextBill{{"7", "00 hrs 10 mins 00 secs", "1.50"}};

    std::vector<std::byte> before, after;

    // Three charged bills, then the one whose append the power cut interrupts.
    void SetUp() override
    {
        BillJournal journal(folder.path(), clock, notifier);
        ASSERT_TRUE(journal.open());
        ASSERT_TRUE(journal.append({{"1", "00 hrs 31 mins 01 secs", "2.00"}}));
        ASSERT_TRUE(journal.append({}));
        ASSERT_TRUE(journal.append({{"2", "00 hrs 05 mins 00 secs", "1.50"}, {"", "Tea", "0.90"}}));
        before = readBytes(path());
        ASSERT_TRUE(journal.append(lastBill));
        after = readBytes(path());
        ASSERT_EQ(after.size(), before.size() + 8 + std::size_t{3} * 92);
    }

    // Reopens the journal on `cut`; the old or the new state, then one more bill.
    void checkReopened(const std::vector<std::byte>& cut, std::size_t length)
    {
        SCOPED_TRACE("cut after " + std::to_string(length) + " bytes");
        writeBytes(path(), cut);
        const bool whole = length == after.size();
        const double expected = whole ? 2.00 + 1.50 + 0.90 + 6.80 : 2.00 + 1.50 + 0.90;

        BillJournal cold(folder.path(), clock, notifier);
        EXPECT_NEAR(cold.dayTotal().value(), expected, 1e-9) << "a reader before the console opens it";

        BillJournal journal(folder.path(), clock, notifier);
        ASSERT_TRUE(journal.open());
        EXPECT_EQ(readBytes(path()), whole ? after : before) << "the torn tail is cut off on opening";
        EXPECT_NEAR(journal.dayTotal().value(), expected, 1e-9);
        ASSERT_TRUE(journal.append(nextBill));
        EXPECT_NEAR(journal.dayTotal().value(), expected + 1.50, 1e-9);

        const JournalWalk walk = walkJournal(path());
        EXPECT_TRUE(walk.clean);
        ASSERT_EQ(walk.bills.size(), whole ? 5u : 4u);
        EXPECT_EQ(walk.bills.back(), (std::vector<BillLine>{{7, "00 hrs 10 mins 00 secs", "1.50"}}));
        EXPECT_NEAR(walk.total, expected + 1.50, 1e-9);
        EXPECT_EQ(walk.bills[2].size(), 2u) << "the bills before the cut are all there";
        EXPECT_TRUE(notifier.messages.empty());
    }
};

TEST_F(JournalPowerLoss, ACutAtEveryByteOfAnAppendKeepsEveryEarlierBill)
{
    for (std::size_t length = before.size(); length <= after.size(); ++length) {
        checkReopened(prefix(after, length), length);
        if (HasFatalFailure())
            return;
    }
}

// The file's new length reached the disk but its new bytes did not: the tail
// reads as zeros, which must not turn into bills.
TEST_F(JournalPowerLoss, ATailOfZerosLeftByALostWriteIsCutOff)
{
    for (std::size_t length = before.size() + 1; length < after.size(); ++length) {
        auto cut = before;
        cut.resize(length, std::byte{0});
        writeBytes(path(), cut);
        BillJournal journal(folder.path(), clock, notifier);
        ASSERT_TRUE(journal.open());
        ASSERT_EQ(readBytes(path()), before) << "zeros after " << length - before.size() << " bytes";
        ASSERT_TRUE(journal.append(nextBill));
        const JournalWalk walk = walkJournal(path());
        ASSERT_TRUE(walk.clean);
        ASSERT_EQ(walk.bills.size(), 4u);
        ASSERT_NEAR(journal.dayTotal().value(), 2.00 + 1.50 + 0.90 + 1.50, 1e-9);
    }
}

// --- the activity log ------------------------------------------------------------------

TEST(ActivityLogPowerLoss, ACutLineNeverMergesWithTheNextOne)
{
    TempFolder folder;
    RecordingNotifier notifier;
    platform::ManualClock clock(localTime(2024, 6, 3, 18, 0));
    const fs::path path = folder / "BriskoLog";
    {
        ActivityLog log(folder.path(), clock, notifier);
        ASSERT_TRUE(log.open());
        log.writeLogLine("STARTING,0");
        log.writeLogLine("STARTED,0");
    }
    const std::string before = textOf(readBytes(path));
    {
        ActivityLog log(folder.path(), clock, notifier);
        ASSERT_TRUE(log.open());
        log.writeLogLine("ADD ITEM,00 hrs 31 mins 01 secs,2.00");
    }
    const auto after = readBytes(path);
    const std::string next = "0306241800,CHARGE,2.00\n";

    for (std::size_t length = before.size(); length <= after.size(); ++length) {
        SCOPED_TRACE("cut after " + std::to_string(length) + " bytes");
        writeBytes(path, prefix(after, length));
        ActivityLog log(folder.path(), clock, notifier);
        ASSERT_TRUE(log.open());
        log.writeLogLine("CHARGE,2.00");
        log.close();
        const std::string expected = (length == after.size() ? textOf(after) : before) + next;
        ASSERT_EQ(textOf(readBytes(path)), expected);
    }

    // Zeros where the last line's bytes never arrived are cut off as well.
    auto zeros = readBytes(path);
    zeros.resize(zeros.size() + 17, std::byte{0});
    writeBytes(path, zeros);
    const std::string whole = textOf(readBytes(path)).substr(0, zeros.size() - 17);
    ActivityLog log(folder.path(), clock, notifier);
    ASSERT_TRUE(log.open());
    log.writeLogLine("CHARGE,1.00");
    log.close();
    EXPECT_EQ(textOf(readBytes(path)), whole + "0306241800,CHARGE,1.00\n");
    EXPECT_TRUE(notifier.messages.empty());
}

// --- the record files and the configuration ----------------------------------------------

// One file rewritten whole: how to write a state with the console's own table,
// and how to read one back with its own loader.
struct RewrittenFile {
    const char* name;
    std::function<void(const fs::path&, int version)> save; // version 0: old, 1: new
    std::function<std::string(const fs::path&)> load;       // a printable image of what loads
    bool sameBytesEachSave = true;                          // false where each save draws a fresh seed
};

void PrintTo(const RewrittenFile& file, std::ostream* out) { *out << file.name; }

class RewrittenFilePowerLoss : public ::testing::TestWithParam<RewrittenFile> {};

// A rewrite builds the new content beside the old file and renames it over the
// old one. A cut leaves either the old file with a partial or complete new file
// beside it, or the new file alone; the old file itself is never written.
TEST_P(RewrittenFilePowerLoss, ACutBeforeOrAfterTheRenameLoadsTheOldOrTheNewTable)
{
    const RewrittenFile& file = GetParam();
    TempFolder folder;
    const fs::path path = folder.path() / file.name;
    fs::path temp = path;
    temp += ".new";

    file.save(folder.path(), 0);
    const auto oldBytes = readBytes(path);
    const std::string oldState = file.load(folder.path());
    fs::create_hard_link(path, folder / "kept");
    const ino_t oldInode = inodeOf(path);

    file.save(folder.path(), 1);
    const auto newBytes = readBytes(path);
    const std::string newState = file.load(folder.path());
    ASSERT_NE(oldState, newState);
    EXPECT_NE(inodeOf(path), oldInode) << "the new content is a new file renamed into place";
    EXPECT_EQ(readBytes(folder / "kept"), oldBytes) << "the old file was not written in place";
    EXPECT_FALSE(fs::exists(temp));
    fs::remove(folder / "kept");

    // Before the rename: the old file, and the new one cut at any length beside it.
    for (std::size_t length = 0; length <= newBytes.size(); ++length) {
        writeBytes(path, oldBytes);
        writeBytes(temp, prefix(newBytes, length));
        ASSERT_EQ(file.load(folder.path()), oldState) << "new file cut after " << length << " bytes";
    }
    // The next save replaces the left-over new file and takes the name.
    file.save(folder.path(), 1);
    if (file.sameBytesEachSave) {
        EXPECT_EQ(readBytes(path), newBytes);
    }
    EXPECT_NE(file.load(folder.path()), oldState);
    EXPECT_FALSE(fs::exists(temp));

    // After the rename: the new file alone.
    writeBytes(path, newBytes);
    EXPECT_EQ(file.load(folder.path()), newState);
}

namespace {

RecordingNotifier quiet;

template <class Table>
Table openTable(const fs::path& folder)
{
    if constexpr (std::is_constructible_v<Table, const fs::path&, StoreNotifier&>)
        return Table(folder, quiet);
    else
        return Table(folder);
}

template <class Table>
void saveTable(const fs::path& folder, const std::function<void(Table&)>& fill)
{
    Table table = openTable<Table>(folder);
    ASSERT_TRUE(table.load());
    fill(table);
    ASSERT_TRUE(table.save());
}

std::string clientsImage(const fs::path& folder)
{
    ClientTable table(folder, quiet);
    if (!table.load())
        return "unloaded";
    std::string image;
    for (const auto& e : table.entries())
        image += e.computerName + "@" + e.address.toString() + ";";
    return image;
}

std::string ratesImage(const fs::path& folder)
{
    RateTable table(folder);
    if (!table.load())
        return "unloaded";
    std::string image;
    for (const auto& r : table.rows())
        image += r.blockDuration + "x" + std::to_string(r.blockCount) + "=" + std::to_string(r.price) + ";";
    return image;
}

std::string saleItemsImage(const fs::path& folder)
{
    SaleItemTable table(folder);
    if (!table.load())
        return "unloaded";
    std::string image;
    for (const auto& s : table.items())
        image += s.description + "=" + std::to_string(s.price) + (s.fixedPrice ? "f;" : "v;");
    return image;
}

std::string printersImage(const fs::path& folder)
{
    PrinterTable table(folder);
    if (!table.load())
        return "unloaded";
    std::string image;
    for (const auto& p : table.entries())
        image += p.serverName + "/" + p.printerName + "=" + std::to_string(p.pagePrice) + ";";
    return image;
}

std::string configurationImage(const fs::path& folder)
{
    Configuration configuration(folder, quiet);
    if (!configuration.load())
        return "unloaded";
    const auto& bytes = configuration.passwordRecord().bytes();
    return textOf(std::vector<std::byte>(bytes.begin(), bytes.end())) + "|" + configuration.receiptLine1() + "|" +
           configuration.receiptLine2();
}

const RewrittenFile kRewrittenFiles[] = {
    {"BriskoClient",
     [](const fs::path& folder, int version) {
         saveTable<ClientTable>(folder, [version](ClientTable& t) {
             t.entries() = {{"PC1", {{192, 168, 0, 11}}}, {"PC2", {{192, 168, 0, 12}}}};
             if (version == 1) {
                 t.entries()[1].address = {{10, 0, 0, 12}};
                 t.entries().push_back({"PC3", {{10, 0, 0, 13}}});
             }
         });
     },
     clientsImage},
    {"BriskoRate",
     [](const fs::path& folder, int version) {
         saveTable<RateTable>(folder, [version](RateTable& t) {
             t.rows() = {{"00:30:00", 1, 1.50}, {"00:15:00", 2, 0.50}, {"01:00:00", -1, 2.00}};
             if (version == 1)
                 t.rows().pop_back(); // a table that shrank
         });
     },
     ratesImage},
    {"BriskoPOS",
     [](const fs::path& folder, int version) {
         saveTable<SaleItemTable>(folder, [version](SaleItemTable& t) {
             t.items() = {{"Coffee", 1.50, true}, {"Sandwich", 0.0, false}};
             if (version == 1)
                 t.items()[0].price = 1.75;
         });
     },
     saleItemsImage},
    {"BriskoPrinter",
     [](const fs::path& folder, int version) {
         saveTable<PrinterTable>(folder, [version](PrinterTable& t) {
             t.entries() = {{"SERVER", "Laser", 0.10}};
             if (version == 1)
                 t.entries().push_back({"SERVER", "Colour", 0.50});
         });
     },
     printersImage},
    {"BriskoConfig",
     [](const fs::path& folder, int version) {
         Configuration configuration(folder, quiet);
         ASSERT_TRUE(configuration.load());
         if (version == 0) {
             ASSERT_TRUE(configuration.setPassword("counter"));
             configuration.setReceiptLine1("Corner Cafe");
         } else {
             ASSERT_TRUE(configuration.setPassword("new password"));
             configuration.setReceiptLine2("Thank you");
         }
         ASSERT_TRUE(configuration.save());
     },
     configurationImage, false},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(ConsoleFiles, RewrittenFilePowerLoss, ::testing::ValuesIn(kRewrittenFiles),
                         [](const auto& test) { return std::string(test.param.name); });
