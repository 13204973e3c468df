// The power locks the station holds with each state, a shutdown announced
// during a session (the console hears "STOP" first), and logind's locks on a
// machine without logind.
#include "client/logind_power_locks.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace client::test {

namespace {

struct Held {
    bool powerKeys;
    bool shutdownDelay;
    bool operator==(const Held&) const = default;
};

class RecordingPowerLocks final : public PowerLocks {
public:
    std::vector<Held> calls;
    bool announce = false;

    void hold(bool powerKeys, bool shutdownDelay) override { calls.push_back({powerKeys, shutdownDelay}); }
    bool shutdownAnnounced() override { return std::exchange(announce, false); }
    Held last() const { return calls.empty() ? Held{false, false} : calls.back(); }
};

class PowerLocksTest : public ::testing::Test {
protected:
    TempFolder folder;
    RecordingWorkstation workstation;
    TestHost host;
    RecordingPowerLocks locks;
    platform::TcpSocket mainListener = platform::TcpSocket::listenOn(kTestServer, 0, 5).value_or(platform::TcpSocket{});
    std::unique_ptr<ClientEngine> engine;

    void startEngine(bool configured)
    {
        if (configured)
            writeFile(folder.path() / "TambloConfig", std::string("\x7F\x01\x01\x01", 4));
        LinkSettings link;
        link.ownAddress = kTestStation;
        link.mainPort = *mainListener.localPort();
        link.connectWait = 300ms;
        engine = std::make_unique<ClientEngine>(host, workstation,
                                                EngineSettings{StationFolders::allIn(folder.path()), true, link});
        engine->setPowerLocks(&locks);
        engine->start(testScreen());
    }
    void typeLine(const std::string& text)
    {
        for (char c : text)
            engine->onCharacter(c);
        engine->onCharacter('\r');
    }
};

} // namespace

TEST_F(PowerLocksTest, TheKeysAreHeldWhileLockedAndReleasedInSetupMode)
{
    startEngine(false);
    EXPECT_EQ(locks.last(), (Held{true, false}));
    typeLine(kSetupCode);
    ASSERT_TRUE(engine->state().setupMode);
    EXPECT_EQ(locks.last(), (Held{false, false}));
    engine->confirmEndSession(); // EXIT SETUP
    EXPECT_EQ(locks.last(), (Held{true, false}));
    // Announced while locked: nothing to tell, the station stays locked.
    locks.announce = true;
    EXPECT_EQ(engine->tick(), TickOutcome::ShowAndRepaint);
    EXPECT_TRUE(engine->state().locked);
    EXPECT_EQ(locks.last(), (Held{true, false}));
}

TEST_F(PowerLocksTest, AShutdownDuringASessionTellsTheConsoleStopBeforeItGoesOn)
{
    startEngine(true);
    std::atomic<bool> unlocked = false;
    std::string stop;
    std::jthread console([&] {
        auto h = acceptStation(mainListener);
        h.station.send("UNLOCK");
        EXPECT_EQ(readWithin(h.station, 5s), "OK");
        h.station.send("01:05\x80"
                       "2.50,\x80"
                       "1.00,\x80"
                       "3.50,20060811105434");
        EXPECT_EQ(readWithin(h.station, 5s), "OK");
        unlocked = true;
        stop = readWithin(h.station, 5s).value_or("?");
    });
    ASSERT_TRUE(tickUntil(*engine, [&] { return unlocked && engine->state().sessionStamp == "20060811105434"; }));
    EXPECT_EQ(locks.last(), (Held{false, true}));

    locks.announce = true;
    engine->tick();
    console.join();
    EXPECT_EQ(stop, "STOP");
    EXPECT_TRUE(engine->state().locked);
    EXPECT_EQ(readFile(folder.path() / "TambloSession"), ""); // never reclaimed after the restart
    EXPECT_EQ(locks.last(), (Held{true, false}));             // the delay is let go
    EXPECT_TRUE(contains(logLines(folder.path()), "The system is shutting down."));
}

TEST(LogindPowerLocks, WithoutLogindOneLineIsLoggedAndNothingElseHappens)
{
    TempFolder folder;
    ClientLog log(folder.path() / kLogFileName);
    LogindPowerLocks locks(log);
    platform::LogindLocks probe;
    if (!probe.connect())
        GTEST_SKIP() << "systemd-logind runs here";
    locks.hold(true, false);
    locks.hold(false, true);
    locks.hold(true, false);
    EXPECT_FALSE(locks.shutdownAnnounced());
    EXPECT_EQ(locks.descriptor(), -1);
    auto lines = logLines(folder.path());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("systemd-logind is not running (", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("): the power keys and shutdown are not held."), std::string::npos);
}

TEST(LogindPowerLocks, WhereLogindRunsTheLocksAreTakenAndGiven)
{
    platform::LogindLocks locks;
    if (auto problem = locks.connect())
        GTEST_SKIP() << "no systemd-logind here: " << *problem;
    using Lock = platform::LogindLocks::Lock;
    EXPECT_EQ(locks.hold(Lock::PowerKeys, true, "Tamblo test", "test"), std::nullopt);
    EXPECT_TRUE(locks.holds(Lock::PowerKeys));
    EXPECT_EQ(locks.hold(Lock::ShutdownDelay, true, "Tamblo test", "test"), std::nullopt);
    EXPECT_TRUE(locks.holds(Lock::ShutdownDelay));
    EXPECT_EQ(locks.hold(Lock::PowerKeys, false, "Tamblo test", "test"), std::nullopt);
    EXPECT_FALSE(locks.holds(Lock::PowerKeys));
    EXPECT_GE(locks.descriptor(), 0);
    EXPECT_FALSE(locks.takeShutdownAnnouncement());
}

} // namespace client::test
