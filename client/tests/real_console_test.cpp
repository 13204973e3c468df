// The real client link against the console's real link server on loopback:
// the station is the third entry of the console's stations list.
#include "client/station_key.h"
#include "link/cafe_key.h"
#include "link/station_words.h"
#include "link/link_server.h"
#include "platform/local_time.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace client::test {

namespace {

constexpr int kStation = 2;

std::unique_ptr<stationlink::LinkServer> startConsole(std::uint16_t port,
                                                      std::optional<stationlink::CafeKey> key = std::nullopt)
{
    stationlink::LinkSettings settings;
    settings.listenAddress = kTestServer;
    settings.port = port;
    settings.key = key;
    auto server = std::make_unique<stationlink::LinkServer>(settings);
    server->setStationAddresses({{{127, 9, 9, 1}}, {{127, 9, 9, 2}}, kTestStation});
    if (!server->start(3))
        return nullptr;
    return server;
}

std::time_t sessionStart() { return *platform::localDateTime(2006, 8, 11, 10, 54, 34); }

} // namespace

class RealConsoleTest : public ::testing::Test {
protected:
    TempFolder folder;
    RecordingWorkstation workstation;
    TestHost host;
    // A fixed port, so that the console can come back on it (its connections
    // then allow the address to be reused).
    std::unique_ptr<stationlink::LinkServer> console = startConsole(unusedPort());
    std::unique_ptr<ClientEngine> engine;
    stationlink::StationEvents events; // every event the console has seen from the station

    void SetUp() override
    {
        ASSERT_TRUE(console);
        writeFile(folder.path() / "TambloConfig", std::string("\x7F\x01\x01\x01", 4));
        startClient();
    }

    // A new client engine on the test's folder (the one before it, if any,
    // gone first, its files closed as by the system), started.
    void startClient()
    {
        engine.reset();
        LinkSettings link;
        link.ownAddress = kTestStation;
        link.mainPort = console->mainPort();
        link.connectWait = 200ms;
        engine = std::make_unique<ClientEngine>(host, workstation,
                                                EngineSettings{StationFolders::allIn(folder.path()), true, link});
        engine->start(testScreen());
    }

    // The console's event poll, reduced to remembering what arrived.
    void pollConsole()
    {
        if (!console || !console->takeEventForConsole(kStation))
            return;
        auto mailbox = console->lockMailbox(kStation);
        events |= mailbox.word().takeEvents();
    }
    bool seen(stationlink::Event event) { return events.has(event); }
    bool until(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s)
    {
        return tickUntil(
            *engine,
            [&] {
                pollConsole();
                return done();
            },
            limit);
    }
    void connectAndStartSession()
    {
        ASSERT_TRUE(until([&] { return seen(stationlink::Event::Connected); }));
        console->sendStationCommand(kStation, stationlink::Command::Unlock);
        ASSERT_TRUE(until([&] { return !engine->state().locked && seen(stationlink::Event::Started); }));
        console->sendSessionInfo(
            kStation, stationlink::SessionInfoRecord::fromFigures("01:05:10", "2.50", "1.00", "3.50", sessionStart()));
        ASSERT_TRUE(until([&] { return engine->state().sessionStamp == "20060811105434"; }));
    }
};

TEST_F(RealConsoleTest, SessionRoadFromUnlockToQuit)
{
    connectAndStartSession();
    auto& s = engine->state();
    EXPECT_EQ(s.duration, "01:05");
    EXPECT_EQ(s.accessCost, "\x80"
                            "2.50");
    EXPECT_EQ(s.extras, "\x80"
                        "1.00");
    EXPECT_EQ(s.total, "\x80"
                       "3.50");

    console->sendStationCommand(kStation, stationlink::Command::Lock);
    ASSERT_TRUE(until([&] { return s.locked; }));
    EXPECT_EQ(s.sessionStamp, "");

    // A second session, ended by the customer on the panel.
    events = {};
    console->sendStationCommand(kStation, stationlink::Command::Unlock);
    ASSERT_TRUE(until([&] { return !s.locked && seen(stationlink::Event::Started); }));
    engine->onLeftButtonDown(100, 120);
    ASSERT_EQ(engine->onLeftButtonUp(100, 120), PanelClick::OpenEndSessionDialog);
    engine->confirmEndSession();
    ASSERT_TRUE(until([&] { return seen(stationlink::Event::Stopped); }));

    console->sendStationCommand(kStation, stationlink::Command::Quit);
    TickOutcome outcome = TickOutcome::Nothing;
    ASSERT_TRUE(
        until([&] { return outcome == TickOutcome::Close || (outcome = engine->tick()) == TickOutcome::Close; }));
    ASSERT_TRUE(until([&] { return seen(stationlink::Event::Disconnected); }));
    EXPECT_EQ(workstation.shutdownCalls, 0);
    EXPECT_TRUE(contains(logLines(folder.path()), "OnClose() called."));
}

TEST_F(RealConsoleTest, ShutdownIsAnsweredAndAskedOfTheSystem)
{
    workstation.shutdownFailure = "Access is denied.";
    ASSERT_TRUE(until([&] { return seen(stationlink::Event::Connected); }));
    console->sendStationCommand(kStation, stationlink::Command::Shutdown);
    TickOutcome outcome = TickOutcome::Nothing;
    ASSERT_TRUE(
        until([&] { return outcome == TickOutcome::Close || (outcome = engine->tick()) == TickOutcome::Close; }));
    EXPECT_EQ(workstation.shutdownCalls, 1);
    EXPECT_EQ(host.messages, std::vector<std::string>{"Access is denied."}); // the system's refusal, shown
    ASSERT_TRUE(until([&] { return seen(stationlink::Event::Disconnected); }));
    EXPECT_TRUE(contains(logLines(folder.path()), "Read data: SHUTDOWN"));
}

TEST_F(RealConsoleTest, ConsoleRestartIsSurvivedAndTheSessionReclaimed)
{
    connectAndStartSession();
    auto port = console->mainPort();
    console->stop(); // "SERVERDOWN" to the station, then every socket closed
    console.reset();

    // The console comes back a little later on the same port.
    std::unique_ptr<stationlink::LinkServer> restarted;
    std::atomic<bool> back = false;
    std::jthread restart([&] {
        std::this_thread::sleep_for(700ms);
        restarted = startConsole(port);
        back = true;
    });
    events = {};
    // No tick waits for the console, so the restarted one is taken over between ticks.
    ASSERT_TRUE(until(
        [&] {
            if (back && !console)
                console = std::move(restarted);
            return console && seen(stationlink::Event::Started);
        },
        20s));
    ASSERT_TRUE(console);
    EXPECT_EQ(console->stationStartTime(kStation), sessionStart());
    EXPECT_FALSE(engine->state().locked);

    auto lines = logLines(folder.path());
    EXPECT_TRUE(contains(lines, "Read data: SERVERDOWN"));
    EXPECT_TRUE(contains(lines, "Resetting send socket."));
    // While the console was away: the attempt lines, one round per attempt.
    EXPECT_TRUE(contains(lines, "success (WOULDBLOCK)."));
    EXPECT_TRUE(contains(lines, "Select timed out."));
    EXPECT_TRUE(contains(lines, "Error:WSAEWOULDBLOCK"));
    EXPECT_EQ(lines.back(), "Sending STARTED message success.");
}

// A client killed during a session and started again (its files closed as by
// the system) reclaims the session; once it has ended, a restart stays locked.
TEST_F(RealConsoleTest, ClientRestartedDuringASessionReclaimsItButNeverAnEndedOne)
{
    connectAndStartSession();
    EXPECT_EQ(readFile(folder.path() / "TambloSession"), "20060811105434");

    events = {};
    startClient();
    EXPECT_FALSE(engine->state().locked);
    ASSERT_TRUE(until([&] { return seen(stationlink::Event::Started); }));
    EXPECT_EQ(console->stationStartTime(kStation), sessionStart());
    EXPECT_TRUE(contains(logLines(folder.path()), "Sending STARTED message success."));

    console->sendStationCommand(kStation, stationlink::Command::Lock);
    ASSERT_TRUE(until([&] { return engine->state().locked; }));
    EXPECT_EQ(readFile(folder.path() / "TambloSession"), "");
    // A late figure message names the ended session: it is not taken up again.
    console->sendSessionInfo(
        kStation, stationlink::SessionInfoRecord::fromFigures("01:06:10", "2.60", "1.00", "3.60", sessionStart()));
    ASSERT_TRUE(until([&] { return engine->state().duration == "01:06"; }));
    EXPECT_EQ(engine->state().sessionStamp, "");
    EXPECT_EQ(readFile(folder.path() / "TambloSession"), "");

    events = {};
    startClient();
    EXPECT_TRUE(engine->state().locked);
    ASSERT_TRUE(until([&] { return seen(stationlink::Event::Connected); }));
    for (int i = 0; i < 30; ++i)
        engine->tick();
    pollConsole();
    EXPECT_FALSE(seen(stationlink::Event::Started));
    EXPECT_TRUE(engine->state().locked);

    // A session ended on the panel is forgotten as well.
    console->sendStationCommand(kStation, stationlink::Command::Unlock);
    ASSERT_TRUE(until([&] { return !engine->state().locked; }));
    console->sendSessionInfo(kStation, stationlink::SessionInfoRecord::fromFigures("00:01:00", "0.10", "0.00", "0.10",
                                                                                   sessionStart() + 3600));
    ASSERT_TRUE(until([&] { return readFile(folder.path() / "TambloSession") == "20060811115434"; }));
    engine->confirmEndSession();
    EXPECT_EQ(readFile(folder.path() / "TambloSession"), "");
}

// 127.0.0.1 has zero octets, and a console there is reached like any other. A
// station given no address of its own announces the one its connection comes
// from, which is what the console knows it by (here 127.0.0.1 itself; never
// the host name's address, 127.0.1.1 on Debian).
TEST(RealConsoleOnLoopback, AConsoleOn127_0_0_1IsReachedFromTheAddressTheStationConnectsFrom)
{
    stationlink::LinkSettings settings;
    settings.listenAddress = platform::Ipv4Address::loopback();
    settings.port = 0;
    stationlink::LinkServer console(settings);
    console.setStationAddresses({platform::Ipv4Address::loopback()});
    ASSERT_TRUE(console.start(1));

    TempFolder folder;
    writeFile(folder.path() / "TambloConfig", std::string("\x7F\x00\x00\x01", 4));
    RecordingWorkstation workstation;
    TestHost host;
    LinkSettings link; // no own address
    link.mainPort = console.mainPort();
    link.connectWait = 200ms;
    ClientEngine engine(host, workstation, EngineSettings{StationFolders::allIn(folder.path()), true, link});
    engine.start(testScreen());

    stationlink::StationEvents events;
    ASSERT_TRUE(tickUntil(
        engine,
        [&] {
            if (console.takeEventForConsole(0)) {
                auto mailbox = console.lockMailbox(0);
                events |= mailbox.word().events();
                mailbox.word().take(stationlink::Event::Connected);
            }
            return engine.link().isConnected() && events.has(stationlink::Event::Connected);
        },
        10s));

    console.sendStationCommand(0, stationlink::Command::Unlock);
    ASSERT_TRUE(tickUntil(
        engine, [&] { return !engine.state().locked; }, 10s));
    console.stop();
}

} // namespace client::test

namespace client::test {

// The station holds the cafe's key: the cafe's console is obeyed over TLS, and
// a console that answers at the same address without the key (a fake one, run
// while the counter PC is off) is never obeyed, whatever it sends.
TEST_F(RealConsoleTest, WithTheCafesKeyOnlyTheCafesConsoleIsObeyed)
{
    const auto key = stationlink::CafeKey::generate();
    ASSERT_TRUE(key);
    ASSERT_TRUE(storeStationKey(folder.path(), "not a key")) << "a typo is refused";
    ASSERT_FALSE(storeStationKey(folder.path(), key->code()));
    const std::uint16_t port = console->mainPort();
    console.reset();

    console = startConsole(port, *stationlink::CafeKey::generate()); // the fake: another key
    ASSERT_TRUE(console);
    startClient();
    for (int n = 0; n < 50; ++n) {
        console->sendStationCommand(kStation, stationlink::Command::Unlock);
        ASSERT_FALSE(until([&] { return !engine->state().locked; }, 40ms));
    }
    EXPECT_FALSE(seen(stationlink::Event::Connected));
    EXPECT_TRUE(contains(logLines(folder.path()), "The console at 127.1.1.1 could not prove the cafe's key."));
    console.reset();

    console = startConsole(port, *key);
    ASSERT_TRUE(console);
    connectAndStartSession();
    EXPECT_EQ(console->stationKeying(kStation), stationlink::StationKeying::Keyed);
}

} // namespace client::test
