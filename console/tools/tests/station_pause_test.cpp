// The headless console and the real station program on loopback, one process
// each: the station is paused (SIGSTOP) while the operator starts and stops
// its session, and a station without the cafe's key meets a cafe that has one.
// The money is checked to the second in the journal, the station's lock state
// in its own log.

#include "headless_driver.h"
#include "tamblo_station.h"

#include "console_harness.h"

#include "console/money_text.h"
#include "console/texts.h"
#include "link/cafe_key.h"
#include "link/station_words.h"
#include "link/link_server.h"
#include "store/rate_table.h"
#include "testsupport/process_tree.h"
#include "testsupport/test_account.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace console::test {

namespace {

// One cent a second: every second changes the charge, so a wrong second shows.
const std::vector<store::RateBlock> kRates = {{"00:00:01", -1, 0.01}};
const platform::Ipv4Address kStationAddress{{127, 0, 0, 2}};
constexpr auto kPause = std::chrono::seconds(12);

// "%H hrs %M mins %S secs" -> seconds.
int billedSeconds(const std::string& description)
{
    int h = 0, m = 0, s = 0;
    if (std::sscanf(description.c_str(), "%d hrs %d mins %d secs", &h, &m, &s) != 3)
        return -1;
    return h * 3600 + m * 60 + s;
}

// The last of UNLOCK and LOCK the station obeyed, by its log.
std::string lastLockCommand(const std::string& log)
{
    std::istringstream in(log);
    std::string line, last;
    while (std::getline(in, line)) {
        if (line.ends_with('\r')) // the log's lines end in CR LF
            line.pop_back();
        for (const std::string command : {"UNLOCK", "LOCK"})
            if (line == "Read data: " + command)
                last = command;
    }
    return last;
}

class StationPause : public ::testing::Test {
protected:
    TempFolder folder;
    std::uint16_t port = freePort();
    std::unique_ptr<HeadlessDriver> console;
    std::unique_ptr<TambloStation> station;

    void SetUp() override
    {
        writeClients(folder.path(), {{"PC01", kStationAddress}});
        store::RateTable rates(folder.path());
        ASSERT_TRUE(rates.load());
        rates.rows() = kRates;
        ASSERT_TRUE(rates.save());
    }

    void startConsole()
    {
        console = std::make_unique<HeadlessDriver>(
            BRISKO_HEADLESS,
            std::vector<std::string>{"--dir", folder.path().string(), "--listen", "127.0.0.1:" + std::to_string(port)},
            std::vector<std::string>{}, folder.path() / "console-stderr.txt");
        ASSERT_TRUE(console->waitReady().has_value());
    }
    void startStation(const std::string& key = {})
    {
        station = std::make_unique<TambloStation>(TAMBLO, std::vector<std::string>{}, kStationAddress,
                                                  platform::Ipv4Address::loopback(), port, key);
        ASSERT_TRUE(station->running());
    }
    std::optional<HeadlessState> waitRow(const std::function<bool(const HeadlessRow&)>& done,
                                         std::chrono::seconds limit = std::chrono::seconds(15))
    {
        return console->waitState([&](const HeadlessState& s) { return !s.rows.empty() && done(s.rows[0]); }, limit);
    }
    void signalStation(int signal) { ASSERT_EQ(::kill(station->process().pid(), signal), 0); }
};

} // namespace

// A station that does not answer (paused, or a cable pulled) while the
// operator presses Start and later Stop: each command is shown as still on its
// way, the late answer is honoured, and the session is billed from the Start
// to the Stop the operator pressed, not to the late answers.
TEST_F(StationPause, LateAnswersAreHonouredAndTheSessionIsBilledFromStartToStop)
{
    ASSERT_NO_FATAL_FAILURE(startConsole());
    ASSERT_NO_FATAL_FAILURE(startStation());
    ASSERT_TRUE(waitRow([](const HeadlessRow& r) { return r.status == "Stopped"; }));

    signalStation(SIGSTOP);
    const std::time_t started = std::time(nullptr);
    ASSERT_TRUE(console->ok("select 1"));
    ASSERT_TRUE(console->ok("start"));
    auto late = waitRow([](const HeadlessRow& r) { return r.note == kStartNotAnsweredNote; });
    ASSERT_TRUE(late) << station->log();
    EXPECT_EQ(late->rows[0].status, "Starting");
    std::this_thread::sleep_until(std::chrono::system_clock::from_time_t(started) + kPause);
    signalStation(SIGCONT);
    auto running = waitRow([](const HeadlessRow& r) { return r.status == "Started" && r.note.empty(); });
    ASSERT_TRUE(running) << station->log();
    EXPECT_EQ(running->rows[0].start, startClockText(started));
    EXPECT_EQ(lastLockCommand(station->log()), "UNLOCK");

    std::this_thread::sleep_for(std::chrono::seconds(3));
    signalStation(SIGSTOP);
    const std::time_t stopped = std::time(nullptr);
    ASSERT_TRUE(console->ok("stop"));
    late = waitRow([](const HeadlessRow& r) { return r.note == kStopNotAnsweredNote; });
    ASSERT_TRUE(late);
    EXPECT_EQ(late->rows[0].status, "Started");
    std::this_thread::sleep_until(std::chrono::system_clock::from_time_t(stopped) + kPause);
    signalStation(SIGCONT);
    auto billed = console->waitState([](const HeadlessState& s) { return !s.bills.empty(); }, std::chrono::seconds(15));
    ASSERT_TRUE(billed) << station->log();
    EXPECT_EQ(billed->rows[0].status, "Stopped");
    EXPECT_EQ(lastLockCommand(station->log()), "LOCK");

    // Billed from the press of Start to the press of Stop: the 12 s of the
    // paused Start count (the customer had the PC from then on, or could have),
    // the 12 s of the paused Stop do not.
    ASSERT_EQ(billed->bills[0].lines.size(), 1u);
    const HeadlessLine line = billed->bills[0].lines[0];
    const int seconds = billedSeconds(line.description);
    EXPECT_NEAR(seconds, static_cast<int>(stopped - started), 1) << line.description;
    EXPECT_EQ(line.price, accessCostText(store::ComputeAccessCharge(kRates, seconds)));
    ASSERT_TRUE(console->ok("tender 5.00"));
    ASSERT_TRUE(console->ok("charge"));
    ASSERT_TRUE(console->ok("quit"));
    ASSERT_TRUE(console->process().waitExit(std::chrono::seconds(10)));
    const auto journal = readJournal(folder.path());
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal[0].lines.at(0).description, line.description);
    EXPECT_EQ(journal[0].lines.at(0).priceText, line.price);
}

// A cafe with a key: a station without it is refused and the log says why;
// given the key, the same station is served.
TEST_F(StationPause, AStationWithoutTheCafesKeyIsRefusedUntilItIsGivenTheKey)
{
    const auto key = stationlink::CafeKey::generate();
    ASSERT_TRUE(key);
    testsupport::writeFile(folder.path() / "BriskoKey", key->code() + "\n");
    ASSERT_NO_FATAL_FAILURE(startConsole());
    ASSERT_NO_FATAL_FAILURE(startStation());
    ASSERT_TRUE(console->waitState(
        [&](const HeadlessState&) { return hasEvent(logEvents(folder.path()), "LINK REFUSED,127.0.0.2,no key"); },
        std::chrono::seconds(15)));
    EXPECT_EQ(console->state()->rows.at(0).status, "Disconnected");

    station.reset();
    ASSERT_NO_FATAL_FAILURE(startStation(key->code()));
    ASSERT_TRUE(waitRow([](const HeadlessRow& r) { return r.status == "Stopped"; })) << station->log();
    ASSERT_TRUE(console->ok("select 1"));
    ASSERT_TRUE(console->ok("start"));
    EXPECT_TRUE(waitRow([](const HeadlessRow& r) { return r.status == "Started"; }));
    EXPECT_EQ(lastLockCommand(station->log()), "UNLOCK");
}

} // namespace console::test

namespace console::test {

// A program poses as the console while the counter PC is off and unlocks a
// station that holds no key. When the real console comes back it holds no
// session for the station, which reclaims none: the station is locked at once.
TEST_F(StationPause, AStationAFakeConsoleUnlockedIsLockedWhenItReachesTheRealOne)
{
    ASSERT_NO_FATAL_FAILURE(startStation());
    {
        stationlink::LinkSettings fake;
        fake.listenAddress = platform::Ipv4Address::loopback();
        fake.port = port;
        stationlink::LinkServer impostor(fake);
        impostor.setStationAddresses({kStationAddress});
        ASSERT_TRUE(impostor.start(1));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (lastLockCommand(station->log()) != "UNLOCK" && std::chrono::steady_clock::now() < deadline) {
            impostor.sendStationCommand(0, stationlink::Command::Unlock);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        ASSERT_EQ(lastLockCommand(station->log()), "UNLOCK") << station->log();
    }
    ASSERT_NO_FATAL_FAILURE(startConsole());
    ASSERT_TRUE(waitRow([](const HeadlessRow& r) { return r.status == "Stopped"; }));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (lastLockCommand(station->log()) != "LOCK" && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(lastLockCommand(station->log()), "LOCK") << station->log();
    EXPECT_TRUE(console->state()->bills.empty());
}

// The station as its service runs it (the supervisor as root, the lock under
// an account of its own) and the customer as a third account with a shell:
// nothing the customer does during the session to the station's processes
// and files stops the lock or changes the money, which is billed to the
// second from Start to Stop.
TEST_F(StationPause, AServiceStationUnderTheCustomersAttacksIsBilledToTheSecond)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root, for the service's and the customer's accounts";
    testsupport::TestAccount service("tsvc", false);
    testsupport::TestAccount customer("tkiosk", true);
    ASSERT_TRUE(service.made() && customer.made());
    ASSERT_NO_FATAL_FAILURE(startConsole());
    station = TambloStation::asService(TAMBLO_SUPERVISOR, {"--run-as", service.name(), "--kiosk-user", customer.name()},
                                       service.name(), kStationAddress, platform::Ipv4Address::loopback(), port);
    ASSERT_TRUE(station->running());
    ASSERT_TRUE(waitRow([](const HeadlessRow& r) { return r.status == "Stopped"; })) << station->log();

    const std::time_t started = std::time(nullptr);
    ASSERT_TRUE(console->ok("select 1"));
    ASSERT_TRUE(console->ok("start"));
    ASSERT_TRUE(waitRow([](const HeadlessRow& r) { return r.status == "Started"; })) << station->log();
    const pid_t supervisor = station->process().pid();
    const pid_t tamblo = testsupport::childOf(supervisor, "tamblo");
    ASSERT_GT(tamblo, 0);

    for (pid_t target : {tamblo, supervisor})
        for (const char* signal : {"TERM", "KILL", "STOP", "HUP"})
            EXPECT_NE(customer.run("kill -" + std::string(signal) + " " + std::to_string(target)), 0) << signal;
    const std::string files = station->folder().string();
    // An old stamp copied back, a dead console address, the log and the code removed.
    EXPECT_NE(customer.run("echo 20000101000000 > " + files + "/TambloSession"), 0);
    EXPECT_NE(customer.run("printf '\\001\\002\\003\\004' > " + files + "/TambloConfig"), 0);
    EXPECT_NE(customer.run("rm -f " + files + "/Tamblo.log " + files + "/TambloSetup"), 0);
    EXPECT_EQ(testsupport::childOf(supervisor, "tamblo"), tamblo);

    std::this_thread::sleep_for(std::chrono::seconds(3));
    const std::time_t stopped = std::time(nullptr);
    ASSERT_TRUE(console->ok("stop"));
    auto billed = console->waitState([](const HeadlessState& s) { return !s.bills.empty(); }, std::chrono::seconds(15));
    ASSERT_TRUE(billed) << station->log();
    EXPECT_EQ(lastLockCommand(station->log()), "LOCK");
    ASSERT_EQ(billed->bills.size(), 1u);
    ASSERT_EQ(billed->bills[0].lines.size(), 1u);
    const HeadlessLine line = billed->bills[0].lines[0];
    const int seconds = billedSeconds(line.description);
    EXPECT_NEAR(seconds, static_cast<int>(stopped - started), 1) << line.description;
    EXPECT_EQ(line.price, accessCostText(store::ComputeAccessCharge(kRates, seconds)));
    station.reset();
}

} // namespace console::test
