// A cafe on a network of its own: the headless console in one Linux network
// namespace, real station programs in three others, joined through a bridge.
// Cables are pulled during sessions and the console is killed and started
// again while a station is away; the sessions must come back with their start
// times, the charges must follow the rates to the second, and the time each
// station takes to be "Started" again (and to receive its figures) is printed.
//
// Needs root; skips with a message where namespaces cannot be made.

#include "headless_driver.h"
#include "netns_network.h"
#include "tamblo_station.h"

#include "console_harness.h"

#include "console/money_text.h"
#include "store/rate_table.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <thread>

namespace console::test {

namespace {

using Steady = std::chrono::steady_clock;

// One cent a second: every second changes the charge, so a wrong second shows.
const std::vector<store::RateBlock> kRates = {{"00:00:01", -1, 0.01}};

double secondsSince(Steady::time_point t) { return std::chrono::duration<double>(Steady::now() - t).count(); }

// "HH:MM:SS" -> seconds; -1 when it is not that.
int clockSeconds(const std::string& text)
{
    int h = 0, m = 0, s = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%2d:%2d:%2d%c", &h, &m, &s, &tail) != 3)
        return -1;
    return h * 3600 + m * 60 + s;
}

// A start time shown "HH:MM:SS" today: seconds until now.
int secondsSinceStart(const std::string& start)
{
    const int startOfDay = clockSeconds(start);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    int elapsed = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec - startOfDay;
    return elapsed < 0 ? elapsed + 86400 : elapsed;
}

// "%H hrs %M mins %S secs" -> seconds.
int billedSeconds(const std::string& description)
{
    int h = 0, m = 0, s = 0;
    if (std::sscanf(description.c_str(), "%d hrs %d mins %d secs", &h, &m, &s) != 3)
        return -1;
    return h * 3600 + m * 60 + s;
}

std::string chargeFor(int seconds) { return accessCostText(store::ComputeAccessCharge(kRates, seconds)); }

// "select 1,2,...,N": every station of the cafe.
std::string selectAllCommand(int stations)
{
    std::string command = "select ";
    for (int k = 0; k < stations; ++k) {
        if (k > 0)
            command += ',';
        command += std::to_string(k + 1);
    }
    return command;
}

// A cable pulled and plugged in again: when the station's row was "Started"
// and when the station received its figures again, counted from the plug.
struct Recovery {
    Recovery(int index, std::string description)
        : station(index), what(std::move(description)), plugged(Steady::time_point::max())
    {
    }
    int station = 0; // index
    std::string what;
    Steady::time_point plugged; // max() while the cable is still out
    int messagesAtPlug = 0;
    std::string tcpAtPlug; // the counter's retransmission state when the cable came back
    std::optional<double> started;
    std::optional<double> figures;
    bool done() const { return started && figures; }
};

class CafeOnANetwork {
public:
    CafeOnANetwork(const std::string& tag, platform::Ipv4Address counter, std::vector<platform::Ipv4Address> stations)
        : counter_(counter), addresses_(stations), network_(tag, counter, stations)
    {
        if (!network_.ready())
            return;
        std::vector<store::ClientEntry> clients;
        for (std::size_t k = 0; k < stations.size(); ++k)
            clients.push_back({"PC" + std::to_string(k + 1), stations[k]});
        writeClients(folder_.path(), clients);
        store::RateTable rates(folder_.path());
        EXPECT_TRUE(rates.load());
        rates.rows() = kRates;
        EXPECT_TRUE(rates.save());
    }

    NetnsNetwork& network() { return network_; }
    HeadlessDriver& console() { return *console_; }
    TambloStation& station(int k) { return *stations_.at(static_cast<std::size_t>(k)); }
    int stationCount() const { return static_cast<int>(addresses_.size()); }
    platform::Ipv4Address address(int k) const { return addresses_.at(static_cast<std::size_t>(k)); }
    const std::filesystem::path& folder() const { return folder_.path(); }

    bool startConsole()
    {
        console_ = std::make_unique<HeadlessDriver>(
            BRISKO_HEADLESS,
            std::vector<std::string>{"--dir", folder_.path().string(), "--listen", counter_.toString() + ":32000"},
            NetnsNetwork::inside(network_.counterNamespace()), folder_.path() / "console-stderr.txt");
        return console_->waitReady().has_value();
    }

    // kill -9, then a new console on the same folder.
    bool restartConsole()
    {
        console_->process().kill(SIGKILL);
        console_.reset();
        return startConsole();
    }

    void startStations()
    {
        for (int k = 0; k < stationCount(); ++k)
            stations_.push_back(std::make_unique<TambloStation>(TAMBLO,
                                                                NetnsNetwork::inside(network_.stationNamespace(k)),
                                                                addresses_[static_cast<std::size_t>(k)], counter_));
    }

    std::optional<HeadlessState> waitRows(const std::function<bool(const HeadlessState&)>& done,
                                          std::chrono::seconds limit = std::chrono::seconds(20))
    {
        return console_->waitState(done, limit);
    }

    bool allRows(const HeadlessState& s, const std::string& status) const
    {
        if (static_cast<int>(s.rows.size()) != stationCount())
            return false;
        for (const HeadlessRow& row : s.rows)
            if (row.status != status)
                return false;
        return true;
    }

    std::string describe()
    {
        std::string out;
        for (const std::string& line : console_->command("state"))
            out += "  console: " + line + "\n";
        for (const std::string& line : console_->unsolicited())
            out += "  console said: " + line + "\n";
        for (int k = 0; k < static_cast<int>(stations_.size()); ++k) {
            const std::string log = station(k).log();
            out += "  station " + std::to_string(k + 1) + " log (tail):\n" +
                   log.substr(log.size() > 1500 ? log.size() - 1500 : 0) + "\n";
        }
        return out;
    }

private:
    platform::Ipv4Address counter_;
    std::vector<platform::Ipv4Address> addresses_;
    NetnsNetwork network_; // removed last: the programs in it end first
    TempFolder folder_;
    std::vector<std::unique_ptr<TambloStation>> stations_;
    std::unique_ptr<HeadlessDriver> console_;
};

class NetnsCafe : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        if (!NetnsNetwork::available(why))
            GTEST_SKIP() << "No simulated cafe network: " << why;
    }

    // Every running row's charge is the rate for its shown duration, and the
    // duration is the time since its start, to the second (one tick of slack).
    static void checkBilling(const HeadlessState& s, const std::string& when)
    {
        for (std::size_t k = 0; k < s.rows.size(); ++k) {
            const HeadlessRow& row = s.rows[k];
            if (row.status != "Started" || row.duration == "?" || row.duration.empty())
                continue;
            const int shown = clockSeconds(row.duration);
            EXPECT_EQ(row.access, chargeFor(shown)) << when << ": station " << k + 1 << " at " << row.duration;
            const int since = secondsSinceStart(row.start);
            EXPECT_LE(std::abs(since - shown), 2)
                << when << ": station " << k + 1 << " started " << row.start << " shows " << row.duration;
        }
    }

    // Watches until `until` and until every recovery is complete (at most
    // `limit` beyond `until`), checking the charges and that every started
    // row keeps the start time it had.
    static void watch(CafeOnANetwork& cafe, const std::vector<Recovery*>& recoveries, Steady::time_point until,
                      const std::vector<std::string>& startTimes, const std::string& when,
                      std::chrono::seconds limit = std::chrono::seconds(180))
    {
        const auto hardEnd = until + limit;
        for (;;) {
            const auto now = Steady::now();
            bool pending = false;
            for (Recovery* r : recoveries)
                pending = pending || (now >= r->plugged && !r->done());
            if ((now >= until && !pending) || now >= hardEnd)
                return;
            const auto s = cafe.console().state();
            ASSERT_TRUE(s) << when << ": the console does not answer";
            checkBilling(*s, when);
            for (std::size_t k = 0; k < s->rows.size(); ++k) {
                if (s->rows[k].status == "Started") {
                    EXPECT_EQ(s->rows[k].start, startTimes[k]) << when << ": station " << k + 1;
                }
            }
            for (Recovery* r : recoveries) {
                if (Steady::now() < r->plugged)
                    continue;
                if (!r->started && s->rows[static_cast<std::size_t>(r->station)].status == "Started")
                    r->started = secondsSince(r->plugged);
                if (!r->figures && cafe.station(r->station).messagesReceived() > r->messagesAtPlug)
                    r->figures = secondsSince(r->plugged);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }

    static void plug(CafeOnANetwork& cafe, Recovery& r)
    {
        r.tcpAtPlug = cafe.network().tcpState(cafe.address(r.station));
        ASSERT_TRUE(cafe.network().plugCable(r.station));
        r.messagesAtPlug = cafe.station(r.station).messagesReceived();
        r.plugged = Steady::now();
    }

    static void report(const Recovery& r)
    {
        const auto figure = [](const std::optional<double>& v) {
            char text[32];
            std::snprintf(text, sizeof text, "%.2f s", v.value_or(-1.0));
            return v ? std::string(text) : std::string("never");
        };
        std::printf("[reconnect] station %d, %s: \"Started\" after %s, figures after %s (target under 5 s)\n"
                    "[reconnect]   the counter's connection when plugged in: %s\n",
                    r.station + 1, r.what.c_str(), figure(r.started).c_str(), figure(r.figures).c_str(),
                    r.tcpAtPlug.empty() ? "none" : r.tcpAtPlug.c_str());
        std::fflush(stdout);
    }

    // Stops every station with one press, checks the pooled bill line by line
    // against the start times, charges it and reads it back from the journal.
    static void stopBillAndCharge(CafeOnANetwork& cafe, const std::vector<std::string>& startTimes)
    {
        ASSERT_TRUE(cafe.console().ok(selectAllCommand(cafe.stationCount())));
        std::vector<int> expectedSeconds;
        for (const std::string& start : startTimes)
            expectedSeconds.push_back(secondsSinceStart(start));
        ASSERT_TRUE(cafe.console().ok("stop"));
        const auto billed = cafe.waitRows([](const HeadlessState& s) { return !s.bills.empty(); });
        ASSERT_TRUE(billed) << cafe.describe();
        ASSERT_EQ(billed->bills.size(), 1u);
        const HeadlessBill& bill = billed->bills[0];
        ASSERT_EQ(static_cast<int>(bill.lines.size()), cafe.stationCount()) << cafe.describe();
        for (const HeadlessLine& line : bill.lines) {
            const int k = std::stoi(line.station) - 1;
            const int seconds = billedSeconds(line.description);
            EXPECT_EQ(line.price, chargeFor(seconds)) << line.description;
            EXPECT_NEAR(seconds, expectedSeconds[static_cast<std::size_t>(k)], 2) << "station " << k + 1;
        }
        ASSERT_TRUE(cafe.console().ok("tender 100.00"));
        ASSERT_TRUE(cafe.console().ok("charge"));
        ASSERT_TRUE(cafe.console().ok("quit"));
        ASSERT_TRUE(cafe.console().process().waitExit(std::chrono::seconds(10)));
        const auto journal = readJournal(cafe.folder());
        ASSERT_EQ(journal.size(), 1u);
        EXPECT_EQ(journal[0].lines.size(), bill.lines.size());
    }

    static std::vector<std::string> startAll(CafeOnANetwork& cafe)
    {
        EXPECT_TRUE(cafe.console().ok(selectAllCommand(cafe.stationCount())));
        EXPECT_TRUE(cafe.console().ok("start"));
        const auto started = cafe.waitRows([&](const HeadlessState& s) { return cafe.allRows(s, "Started"); });
        std::vector<std::string> starts;
        if (started)
            for (const HeadlessRow& row : started->rows)
                starts.push_back(row.start);
        return starts;
    }

    static void bringUp(CafeOnANetwork& cafe)
    {
        ASSERT_TRUE(cafe.network().ready()) << cafe.network().error();
        ASSERT_TRUE(cafe.startConsole()) << cafe.describe();
        cafe.startStations();
        ASSERT_TRUE(cafe.waitRows([&](const HeadlessState& s) { return cafe.allRows(s, "Stopped"); }))
            << cafe.describe();
    }
};

TEST_F(NetnsCafe, SessionsSurvivePulledCablesAndAConsoleRestartedWhileAStationIsAway)
{
    CafeOnANetwork cafe("a", {{10, 99, 0, 1}}, {{{10, 99, 0, 11}}, {{10, 99, 0, 12}}, {{10, 99, 0, 13}}});
    bringUp(cafe);
    if (HasFatalFailure())
        return;
    const std::vector<std::string> starts = startAll(cafe);
    ASSERT_EQ(starts.size(), 3u) << cafe.describe();

    // Station 3 away; the console killed and started again meanwhile. The
    // stations still on the network reclaim their sessions at once.
    Recovery restart{2, "10 s pull, the console restarted meanwhile"};
    ASSERT_TRUE(cafe.network().pullCable(2));
    const auto away = Steady::now();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    ASSERT_TRUE(cafe.restartConsole()) << cafe.describe();
    const auto back = cafe.waitRows([](const HeadlessState& s) {
        return s.rows.size() == 3 && s.rows[0].status == "Started" && s.rows[1].status == "Started";
    });
    ASSERT_TRUE(back) << cafe.describe();
    EXPECT_EQ(back->rows[2].status, "Disconnected");

    // Meanwhile station 1's cable goes out for 5 s and station 2's for 60 s.
    Recovery short5{0, "5 s pull"};
    Recovery long60{1, "60 s pull"};
    ASSERT_TRUE(cafe.network().pullCable(0));
    ASSERT_TRUE(cafe.network().pullCable(1));
    const auto pulled = Steady::now();
    watch(cafe, {}, pulled + std::chrono::seconds(5), starts, "stations 1, 2 and 3 away");
    plug(cafe, short5);
    watch(cafe, {&short5}, away + std::chrono::seconds(10), starts, "stations 2 and 3 away");
    plug(cafe, restart);
    watch(cafe, {&short5, &restart}, pulled + std::chrono::seconds(60), starts, "station 2 away");
    plug(cafe, long60);
    watch(cafe, {&short5, &restart, &long60}, Steady::now(), starts, "after the pulls");
    report(short5);
    report(restart);
    report(long60);
    EXPECT_TRUE(short5.done() && restart.done() && long60.done()) << cafe.describe();

    stopBillAndCharge(cafe, starts);
}

TEST_F(NetnsCafe, AddressesWithZeroOctetsOnBothSidesCarrySessions)
{
    CafeOnANetwork cafe("z", {{10, 0, 0, 1}}, {{{10, 0, 0, 11}}});
    bringUp(cafe);
    if (HasFatalFailure())
        return;
    const std::vector<std::string> starts = startAll(cafe);
    ASSERT_EQ(starts.size(), 1u) << cafe.describe();
    Recovery pull{0, "5 s pull, zero octets"};
    ASSERT_TRUE(cafe.network().pullCable(0));
    const auto pulled = Steady::now();
    watch(cafe, {}, pulled + std::chrono::seconds(5), starts, "zero-octet station away");
    plug(cafe, pull);
    watch(cafe, {&pull}, Steady::now(), starts, "zero-octet station back");
    report(pull);
    EXPECT_TRUE(pull.done()) << cafe.describe();
    stopBillAndCharge(cafe, starts);
}

// A pull longer than the counter's patience: the counter's kernel gives the
// connection up (after about 15 minutes with the usual settings; here the
// counter's namespace is told to give up after a few retries, so that it
// happens within seconds). The station, which may have nothing to send, must
// notice and connect again once the cable is back, or the customer would go
// on unbilled at an unlocked station.
TEST_F(NetnsCafe, AStationWhoseCounterGaveTheLinkUpConnectsAgainAfterThePull)
{
    CafeOnANetwork cafe("g", {{10, 99, 0, 1}}, {{{10, 99, 0, 11}}});
    ASSERT_TRUE(cafe.network().ready()) << cafe.network().error();
    std::string setting;
    for (const std::string& word : NetnsNetwork::inside(cafe.network().counterNamespace()))
        setting += word + " ";
    ASSERT_EQ(std::system((setting + "sysctl -qw net.ipv4.tcp_retries2=3").c_str()), 0);
    bringUp(cafe);
    if (HasFatalFailure())
        return;
    const std::vector<std::string> starts = startAll(cafe);
    ASSERT_EQ(starts.size(), 1u) << cafe.describe();

    Recovery pull{0, "pull past the counter's patience"};
    ASSERT_TRUE(cafe.network().pullCable(0));
    ASSERT_TRUE(cafe.waitRows([](const HeadlessState& s) { return s.rows.at(0).status == "Disconnected"; },
                              std::chrono::seconds(90)))
        << "the counter did not give the connection up" << cafe.describe();
    std::this_thread::sleep_for(std::chrono::seconds(20));
    plug(cafe, pull);
    watch(cafe, {&pull}, Steady::now(), starts, "station back after the counter gave up", std::chrono::seconds(150));
    report(pull);
    EXPECT_TRUE(pull.done()) << cafe.describe();
    stopBillAndCharge(cafe, starts);
}

// Ten minutes without a cable. Kept out of the default run: it adds ten
// minutes to a suite of about six, and it shows nothing the 60 s pull does
// not. Measured here: figures again 0.6 s after a 10-minute pull, 0.5 to 0.6 s
// after 60 s. Nothing in the link times out between the two (an unanswered
// command is only dropped after 10 s) and TCP keeps the connection until its
// retries run out (net.ipv4.tcp_retries2 = 15, about 15 minutes).
// Runs only with BRISKO_LONG_TESTS=1 (ctest -L long).
TEST_F(NetnsCafe, LongTenMinutePull)
{
    if (std::getenv("BRISKO_LONG_TESTS") == nullptr)
        GTEST_SKIP() << "the 10-minute pull runs only with BRISKO_LONG_TESTS=1";
    CafeOnANetwork cafe("l", {{10, 99, 0, 1}}, {{{10, 99, 0, 11}}, {{10, 99, 0, 12}}});
    bringUp(cafe);
    if (HasFatalFailure())
        return;
    const std::vector<std::string> starts = startAll(cafe);
    ASSERT_EQ(starts.size(), 2u) << cafe.describe();
    // BRISKO_LONG_PULL_MINUTES sets another length (for trying longer pulls).
    const char* minutesText = std::getenv("BRISKO_LONG_PULL_MINUTES");
    const int minutes = minutesText != nullptr ? std::atoi(minutesText) : 10;
    Recovery pull{0, std::to_string(minutes) + " min pull"};
    ASSERT_TRUE(cafe.network().pullCable(0));
    const auto pulled = Steady::now();
    watch(cafe, {}, pulled + std::chrono::minutes(minutes), starts, "station 1 away for a long time");
    plug(cafe, pull);
    watch(cafe, {&pull}, Steady::now(), starts, "station 1 back", std::chrono::seconds(300));
    report(pull);
    EXPECT_TRUE(pull.done()) << cafe.describe();
    stopBillAndCharge(cafe, starts);
}

} // namespace

} // namespace console::test
