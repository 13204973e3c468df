// brisko-admin, run as a program on folders written through the store.

#include "platform/clock.h"
#include "platform/shared_file.h"
#include "store/bill_journal.h"
#include "store/client_table.h"
#include "store/configuration.h"
#include "store/journal_format.h"
#include "store/open_state_file.h"
#include "store/printer_table.h"
#include "store/rate_table.h"
#include "store/sale_item_table.h"
#include "store_test_kit.h"
#include "testsupport/whole_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <cstdio>
#include <sys/wait.h>

using namespace store;
using namespace store::test;

namespace {

struct Run {
    int status = -1;
    std::string out;
};

Run admin(const fs::path& dir, const std::string& arguments)
{
    std::string command =
        std::string(BRISKO_ADMIN_PATH) + " --dir '" + dir.string() + "' " + arguments + " 2>/dev/null";
    Run run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class AdminTest : public ::testing::Test {
protected:
    TempFolder folder;
    RecordingNotifier notifier;

    void writeCafe()
    {
        ClientTable clients(folder.path(), notifier);
        ASSERT_TRUE(clients.load());
        clients.entries() = {{"PC01", {{192, 168, 1, 11}}}, {"PC02", {{192, 168, 1, 12}}}};
        ASSERT_TRUE(clients.save());
        RateTable rates(folder.path());
        ASSERT_TRUE(rates.load());
        rates.rows() = {{"00:30:00", 1, 1.5}, {"00:15:00", 2, 0.5}, {"01:00:00", -1, 2.0}};
        ASSERT_TRUE(rates.save());
        SaleItemTable items(folder.path());
        ASSERT_TRUE(items.load());
        items.items() = {{"Tea & Cake", 3.2, true}, {"Repairs", 0.0, false}};
        ASSERT_TRUE(items.save());
        PrinterTable printers(folder.path());
        ASSERT_TRUE(printers.load());
        printers.entries() = {{"DESK", "Laser", 0.1}};
        ASSERT_TRUE(printers.save());
        Configuration config(folder.path(), notifier);
        ASSERT_TRUE(config.load());
        ASSERT_TRUE(config.save());

        platform::ManualClock clock(localTime(2024, 6, 14, 10, 5, 7));
        BillJournal journal(folder.path(), clock, notifier);
        ASSERT_TRUE(journal.open());
        ASSERT_TRUE(journal.append({{"1", "00 hrs 45 mins 10 secs", "2.00"}, {"1", "Say \"hi\", twice", "1.50"}}));
        clock.set(localTime(2024, 6, 15, 9, 0));
        ASSERT_TRUE(journal.append({{"2", "Coffee", "1.25"}}));
    }
};

} // namespace

TEST_F(AdminTest, ListsTheTablesAndCharges)
{
    writeCafe();
    auto rates = admin(folder.path(), "rates");
    EXPECT_EQ(rates.status, 0);
    EXPECT_EQ(rates.out, "1 00:30:00 1 1.50\n2 00:15:00 2 0.50\n3 01:00:00 etc. 2.00\n");
    EXPECT_EQ(admin(folder.path(), "clients").out, "1\tPC01\t192.168.1.11\n2\tPC02\t192.168.1.12\n");
    EXPECT_EQ(admin(folder.path(), "items").out, "1\tTea & Cake\t3.20\tfixed\n2\tRepairs\t0.00\tvaries\n");
    EXPECT_EQ(admin(folder.path(), "printers").out, "1\tDESK\tLaser\t0.10\n");
    EXPECT_EQ(admin(folder.path(), "charge 7261").out, "6.50\n");
    EXPECT_EQ(admin(folder.path(), "charge -3").out, "0.00\n");
    EXPECT_EQ(admin(folder.path(), "check").status, 0);
    EXPECT_EQ(admin(folder.path(), "check").out, "");
}

// A backup taken while the console holds its files, in the middle of writing
// a bill and a log line: the copy holds every whole bill and line, and check
// finds nothing wrong with it.
TEST_F(AdminTest, ABackupWhileTheConsoleWritesIsAWholeCafe)
{
    writeCafe();
    testsupport::writeFile(folder.path() / "BriskoLog", "1406241005,STARTING,0\n1406241005,CHARGE,2.");
    const std::string journalBefore = testsupport::readFile(folder.path() / "BriskoBills");
    {
        // A bill half written: its head and part of a line.
        std::ofstream torn(folder.path() / "BriskoBills", std::ios::binary | std::ios::app);
        torn << std::string(8 + 40, '\x01');
    }
    auto held = platform::SharedFile::openOwned(folder.path() / "BriskoBills").value_or(platform::SharedFile{});
    ASSERT_TRUE(held.isOpen()) << "the console's hold on the journal";

    TempFolder backups;
    const auto copy = backups.path() / "monday";
    auto run = admin(folder.path(), "backup '" + copy.string() + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("files copied to " + copy.string()), std::string::npos) << run.out;
    EXPECT_EQ(testsupport::readFile(copy / "BriskoBills"), journalBefore);
    EXPECT_EQ(testsupport::readFile(copy / "BriskoLog"), "1406241005,STARTING,0\n");
    EXPECT_EQ(admin(copy, "check").status, 0) << admin(copy, "check").out;
    EXPECT_EQ(admin(copy, "journal").out, admin(folder.path(), "journal").out);
    EXPECT_EQ(admin(copy, "clients").out, "1\tPC01\t192.168.1.11\n2\tPC02\t192.168.1.12\n");
    EXPECT_EQ(admin(folder.path(), "backup '" + folder.path().string() + "'").status, 2) << "not over the data";
}

// Without --dir the console's own folder is read, wherever the command runs.
TEST_F(AdminTest, WithoutDirTheConsolesFolderIsRead)
{
    writeCafe();
    TempFolder home;
    std::filesystem::create_directories(home.path() / ".config" / "brisko");
    testsupport::writeFile(home.path() / ".config" / "brisko" / "brisko.conf",
                           "data-folder=" + folder.path().string() + "\n");
    const std::string command = "cd / && env -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME='" + home.path().string() + "' " +
                                BRISKO_ADMIN_PATH + " clients";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[256] = {};
    const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, pipe);
    EXPECT_EQ(::pclose(pipe), 0);
    EXPECT_EQ(std::string(buffer, n), "1\tPC01\t192.168.1.11\n2\tPC02\t192.168.1.12\n");
}

TEST_F(AdminTest, JournalAsTextAndAsCsv)
{
    writeCafe();
    auto text = admin(folder.path(), "journal");
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, "2024-06-14 10:05:07\t1\t00 hrs 45 mins 10 secs\t2.00\n"
                        "2024-06-14 10:05:07\t1\tSay \"hi\", twice\t1.50\n"
                        "2024-06-15 09:00:00\t2\tCoffee\t1.25\n");
    EXPECT_EQ(admin(folder.path(), "journal --csv").out, "Date,Station,Description,Price\r\n"
                                                         "2024-06-14 10:05:07,1,00 hrs 45 mins 10 secs,2.00\r\n"
                                                         "2024-06-14 10:05:07,1,\"Say \"\"hi\"\", twice\",1.50\r\n"
                                                         "2024-06-15 09:00:00,2,Coffee,1.25\r\n");
}

TEST_F(AdminTest, DayTotalForADateForTodayAndWhenUnavailable)
{
    auto missing = admin(folder.path(), "day-total");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "Report Unavailable\n");

    writeCafe();
    EXPECT_EQ(admin(folder.path(), "day-total --date 2024-06-14").out, "3.50\n");
    EXPECT_EQ(admin(folder.path(), "day-total --date 2024-06-15").out, "1.25\n");
    EXPECT_EQ(admin(folder.path(), "day-total --date 2024-06-16").out, "0.00\n");
    EXPECT_EQ(admin(folder.path(), "day-total").out, "0.00\n");
    {
        platform::SystemClock clock;
        BillJournal journal(folder.path(), clock, notifier);
        ASSERT_TRUE(journal.open());
        ASSERT_TRUE(journal.append({{"2", "Soda", "0.80"}}));
    }
    auto today = admin(folder.path(), "day-total");
    EXPECT_EQ(today.status, 0);
    EXPECT_EQ(today.out, "0.80\n");
}

TEST_F(AdminTest, ReportsGroupTheTakingsOfTheChosenDays)
{
    writeCafe();
    {
        // A session from 10:40 to 12:10 the next day: its time goes to the hours it was used in.
        platform::ManualClock clock(localTime(2024, 6, 15, 12, 10));
        BillJournal journal(folder.path(), clock, notifier);
        ASSERT_TRUE(journal.open());
        ASSERT_TRUE(journal.append(
            {{"2", "01 hrs 30 mins 00 secs", "3.00"}, {"2", "Pages (2): cv.pdf", "0.20"}, {"2", "Coffee", "1.25"}}));
    }
    const std::string days = "--from 2024-06-14 --to 2024-06-15";
    auto byDay = admin(folder.path(), "report " + days);
    EXPECT_EQ(byDay.status, 0);
    EXPECT_EQ(byDay.out, "Takings by Day, 2024-06-14 to 2024-06-15 (2 days)\n"
                         "Day                        Bills  Sessions  Session time      Takings\n"
                         "2024-06-14                     1         1          0:45         3.50\n"
                         "2024-06-15                     2         1          1:30         5.70\n"
                         "Total                          3         2          2:15         9.20\n");
    EXPECT_EQ(admin(folder.path(), "report --by item --csv " + days).out,
              "Sold,Bills,Sessions,Session minutes,Takings\r\n"
              "Session time,2,2,135,5.00\r\n"
              "Coffee,2,0,0,2.50\r\n"
              "\"Say \"\"hi\"\", twice\",1,0,0,1.50\r\n"
              "Printing,1,0,0,0.20\r\n"
              "Total,3,2,135,9.20\r\n");
    // By the hour: 5 minutes of the first day's session and 20 of the 90, then 60 and 10, over two days.
    const auto byHour = admin(folder.path(), "report --by hour --csv " + days).out;
    EXPECT_NE(byHour.find("10:00,1,1,25,3.50,0.2\r\n"), std::string::npos) << byHour;
    EXPECT_NE(byHour.find("11:00,0,0,60,0.00,0.5\r\n"), std::string::npos) << byHour;
    EXPECT_NE(byHour.find("12:00,1,1,10,4.45,0.1\r\n"), std::string::npos) << byHour;
    EXPECT_EQ(admin(folder.path(), "report --by station --from 2024-06-15 --to 2024-06-15 --csv").out,
              "Station,Bills,Sessions,Session minutes,Takings\r\n2,2,1,90,5.70\r\nTotal,2,1,90,5.70\r\n");

    EXPECT_EQ(admin(folder.path(), "report --by year").status, 2);
    EXPECT_EQ(admin(folder.path(), "report --from 2024-06-15 --to 2024-06-14").status, 2);
    EXPECT_EQ(admin(folder.path(), "report --from").status, 2);
}

TEST_F(AdminTest, CheckReportsEveryProblem)
{
    writeCafe();
    std::vector<ClientEntry> many(120, ClientEntry{"PC", {}});
    writeBytes(folder / "BriskoClient", encodeRecords<ClientCodec>(many));
    auto rates = encodeRecords<RateCodec>({{"00:10:00", 1, 1.0}, {"00:00:00", -1, 1.0}, {"1:5", 1, 1.0}});
    rates.resize(rates.size() + 3);
    writeBytes(folder / "BriskoRate", rates);
    auto config = readBytes(folder / "BriskoConfig");
    config[20] ^= std::byte{0x40};
    writeBytes(folder / "BriskoConfig", config);
    auto journal = readBytes(folder / "BriskoBills");
    journal.resize(journal.size() - 1);
    writeBytes(folder / "BriskoBills", journal);

    auto check = admin(folder.path(), "check");
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, "BriskoConfig: Invalid Configuration file\n"
                         "BriskoClient: 120 stations, more than 99\n"
                         "BriskoRate: size 99 is not a whole number of 32-byte records\n"
                         "BriskoRate: rate 2 repeats with zero duration\n"
                         "BriskoRate: rate 3 has block duration \"1:5\", not hh:mm:ss\n"
                         "BriskoBills: entry at offset 192 is incomplete (the file ends at 291)\n");
    EXPECT_EQ(admin(folder.path(), "journal").status, 1);
}

// The owner's way back in: a damaged password record is replaced by the empty
// password, the receipt lines stay, and the log tells it happened.
TEST_F(AdminTest, ResetPasswordLetsTheOwnerBackInAndIsLogged)
{
    EXPECT_EQ(admin(folder.path(), "reset-password").status, 1) << "no cafe in an empty folder";
    EXPECT_FALSE(fs::exists(folder.path() / "BriskoConfig"));

    writeCafe();
    {
        Configuration config(folder.path(), notifier);
        ASSERT_TRUE(config.load());
        ASSERT_TRUE(config.setPassword("lost"));
        config.setReceiptLine1("Corner Cafe");
        ASSERT_TRUE(config.save());
    }
    auto bytes = readBytes(folder / "BriskoConfig");
    bytes[20] ^= std::byte{0x40};
    writeBytes(folder / "BriskoConfig", bytes);

    {
        // Not while a console holds the file.
        Configuration held(folder.path(), notifier);
        ASSERT_TRUE(held.load());
        ASSERT_TRUE(held.save());
        EXPECT_EQ(admin(folder.path(), "reset-password").status, 1);
    }
    const auto reset = admin(folder.path(), "reset-password");
    EXPECT_EQ(reset.status, 0);
    EXPECT_NE(reset.out.find("The password is now empty"), std::string::npos);
    Configuration config(folder.path(), notifier);
    ASSERT_TRUE(config.load());
    EXPECT_TRUE(config.verifyOperatorPassword(""));
    EXPECT_EQ(config.receiptLine1(), "Corner Cafe");
    std::ifstream in(folder / "BriskoLog", std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(log.find(",PASSWORD RESET,\n"), std::string::npos) << log;
}

TEST_F(AdminTest, ReadsWhileTheConsoleHoldsTheFilesAndNeverCreatesOrChangesOne)
{
    auto empty = admin(folder.path(), "rates");
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(admin(folder.path(), "check").status, 0);
    EXPECT_TRUE(fs::is_empty(folder.path()));

    writeCafe();
    RateTable rates(folder.path());
    ASSERT_TRUE(rates.load());
    platform::SystemClock clock;
    BillJournal journal(folder.path(), clock, notifier);
    ASSERT_TRUE(journal.open());
    auto before = readBytes(folder / "BriskoRate");
    EXPECT_EQ(admin(folder.path(), "charge 1861").out, "2.00\n");
    EXPECT_EQ(admin(folder.path(), "journal").status, 0);
    EXPECT_EQ(readBytes(folder / "BriskoRate"), before);
    EXPECT_TRUE(rates.save()); // the console's hold was not disturbed
}

TEST_F(AdminTest, BadArgumentsGiveTheUsageAndStatus2)
{
    for (const char* arguments :
         {"", "charge", "charge abc", "charge 12 13", "charge 99999999999", "frobnicate", "journal --xml",
          "day-total --date 2024-02-30", "day-total --date today", "rates extra", "--dir"}) {
        SCOPED_TRACE(arguments);
        auto run = admin(folder.path(), arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(AdminTest, OpenListsEveryLineOfTheUnpaidAndOpenBills)
{
    writeCafe();
    OpenState state;
    state.bills = {
        {"Comp#: 1", 1, false, {{"1", "00 hrs 10 mins 00 secs", "1.50"}}, std::nullopt},
        {"Open Bill: Comp#: 2", 2, true, {{"", "Coffee x 2", "3.00"}, {"2", "Pages (3): map", "0.30"}}, std::nullopt}};
    KeptStation waiting;
    waiting.index = 3;
    waiting.sessionBill = {3, 1, true, 1, 0, "Comp#: 4, 5", 0, 4, {{"4", "00 hrs 05 mins 00 secs", "1.50"}}};
    state.stations = {waiting};
    {
        OpenStateFile file(folder.path(), notifier);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.keep(state));
        // Read while the console holds the file.
        const auto run = admin(folder.path(), "open");
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, "Comp#: 1\t1\t00 hrs 10 mins 00 secs\t1.50\n"
                           "Open Bill: Comp#: 2\t2\tCoffee x 2\t3.00\n"
                           "Open Bill: Comp#: 2\t2\tPages (3): map\t0.30\n"
                           "Comp#: 4, 5\t4\t00 hrs 05 mins 00 secs\t1.50\n");
    }
    EXPECT_EQ(OpenStateFile::read(folder.path())->state, state) << "nothing changed";

    auto bytes = readBytes(folder.path() / "BriskoOpen");
    bytes.resize(bytes.size() - 5);
    writeBytes(folder.path() / "BriskoOpen", bytes);
    const auto damaged = admin(folder.path(), "open");
    EXPECT_EQ(damaged.status, 1) << "what can be read is listed, and the damage reported";
    EXPECT_EQ(damaged.out.substr(0, 9), "Comp#: 1\t");
    EXPECT_NE(admin(folder.path(), "check").out.find("BriskoOpen: "), std::string::npos);
}
