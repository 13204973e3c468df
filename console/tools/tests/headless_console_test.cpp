// brisko-headless as a child process: a session with one real station engine
// on loopback, driven and read back through the command language.

#include "headless_driver.h"

#include "simulated_station.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

namespace console::test {

namespace {

class HeadlessConsole : public ::testing::Test {
protected:
    TempFolder folder;
    std::unique_ptr<HeadlessDriver> console;
    std::unique_ptr<SimulatedStation> station;

    void SetUp() override
    {
        writeClients(folder.path(), 1);
        writeStandardRates(folder.path());
        writeSaleItems(folder.path(), {{"Coffee", 1.50, true}});
        console = std::make_unique<HeadlessDriver>(
            BRISKO_HEADLESS, std::vector<std::string>{"--dir", folder.path().string(), "--listen", "127.0.0.1:0"});
        console->setIdle([this] {
            if (station)
                station->tick();
        });
        const auto port = console->waitReady();
        ASSERT_TRUE(port.has_value());
        station = std::make_unique<SimulatedStation>(0, static_cast<std::uint16_t>(*port));
        ASSERT_TRUE(waitStatus("Stopped"));
    }

    bool waitStatus(const std::string& status)
    {
        return console
            ->waitState([&](const HeadlessState& s) { return s.rows.at(0).status == status; }, std::chrono::seconds(10))
            .has_value();
    }

    void startSession()
    {
        ASSERT_TRUE(console->ok("select 1"));
        ASSERT_TRUE(console->ok("start"));
        ASSERT_TRUE(waitStatus("Started"));
        ASSERT_FALSE(station->locked());
    }
};

TEST_F(HeadlessConsole, ASessionIsStartedStoppedAndChargedIntoTheJournal)
{
    startSession();
    // The money tick runs on the real clock: within a second the first block is due.
    const auto running = console->waitState([](const HeadlessState& s) { return s.rows.at(0).access == "1.50"; },
                                            std::chrono::seconds(5));
    ASSERT_TRUE(running);
    EXPECT_EQ(running->rows.at(0).total, "1.50");
    EXPECT_EQ(running->rows.at(0).start.size(), 8u); // "%H:%M:%S"
    EXPECT_TRUE(running->bills.empty());

    ASSERT_TRUE(console->ok("stop"));
    const auto billed =
        console->waitState([](const HeadlessState& s) { return !s.bills.empty(); }, std::chrono::seconds(10));
    ASSERT_TRUE(billed);
    EXPECT_TRUE(station->locked());
    EXPECT_EQ(billed->rows.at(0).status, "Stopped");
    ASSERT_EQ(billed->bills.size(), 1u);
    EXPECT_EQ(billed->bills[0].caption, "Comp#: 1");
    ASSERT_EQ(billed->bills[0].lines.size(), 1u);
    const HeadlessLine line = billed->bills[0].lines[0];
    EXPECT_EQ(line.station, "1");
    EXPECT_EQ(line.description.rfind("00 hrs 00 mins ", 0), 0u) << line.description;
    EXPECT_EQ(line.price, "1.50"); // the first block's price

    ASSERT_TRUE(console->ok("tender 5.00"));
    ASSERT_TRUE(console->ok("charge"));
    const auto charged = console->state();
    ASSERT_TRUE(charged);
    EXPECT_TRUE(charged->bills.empty());

    ASSERT_TRUE(console->ok("quit"));
    const auto status = console->process().waitExit(std::chrono::seconds(10));
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    const auto journal = readJournal(folder.path());
    ASSERT_EQ(journal.size(), 1u);
    ASSERT_EQ(journal[0].lines.size(), 1u);
    EXPECT_EQ(journal[0].lines[0].description, line.description);
    EXPECT_EQ(journal[0].lines[0].priceText, "1.50");
}

TEST_F(HeadlessConsole, ARunningStationsOpenBillTakesItemsAndAnAlarm)
{
    startSession();
    ASSERT_TRUE(console->ok("bill"));
    ASSERT_TRUE(console->ok("item 0"));
    ASSERT_TRUE(console->ok("quantity 3"));
    ASSERT_TRUE(console->ok("alarm 1")); // "00:10"
    const auto s = console->state();
    ASSERT_TRUE(s);
    EXPECT_EQ(s->rows.at(0).extras, "4.50");
    ASSERT_EQ(s->bills.size(), 1u);
    EXPECT_EQ(s->bills[0].caption, "Open Bill: Comp#: 1");
    EXPECT_EQ(s->bills[0].station, 1);
    ASSERT_EQ(s->bills[0].lines.size(), 1u);
    EXPECT_EQ(s->bills[0].lines[0].description, "Coffee x 3");
    EXPECT_EQ(s->bills[0].lines[0].price, "4.50");
    ASSERT_EQ(s->alarms.size(), 1u);
    EXPECT_EQ(s->alarms[0].station, 1);
    EXPECT_EQ(s->alarms[0].choice, 1);
}

TEST_F(HeadlessConsole, CommandsThatCannotRunAreRefusedWithTheirReason)
{
    EXPECT_EQ(console->command("frobnicate").back(), "error unknown command frobnicate");
    EXPECT_EQ(console->command("select 2").back(), "error not a list of station numbers: 2");
    EXPECT_EQ(console->command("select x").back(), "error not a list of station numbers: x");
    ASSERT_TRUE(console->ok("select"));
    EXPECT_EQ(console->command("start").back(), "error start is disabled");
    EXPECT_EQ(console->command("show 0").back(), "error no selector entry 0");
    EXPECT_EQ(console->command("quantity 2").back(), "error no quantity field is open");
    // The refusals changed nothing: the station still waits, unlocked by nobody.
    ASSERT_TRUE(console->ok("select 1"));
    ASSERT_TRUE(console->ok("start"));
    EXPECT_TRUE(waitStatus("Started"));
}

TEST_F(HeadlessConsole, EndOfInputClosesTheFilesAndLetsAnotherConsoleOpenTheFolder)
{
    console->process().closeInput();
    const auto status = console->process().waitExit(std::chrono::seconds(10));
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    HeadlessDriver again(BRISKO_HEADLESS,
                         std::vector<std::string>{"--dir", folder.path().string(), "--listen", "127.0.0.1:0"});
    EXPECT_TRUE(again.waitReady().has_value());
}

} // namespace

} // namespace console::test
