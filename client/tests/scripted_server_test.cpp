// The real client link against a console scripted with raw sockets on
// loopback: the exact bytes on the wire and the exact log lines.
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

namespace client::test {

namespace {
template <std::size_t N>
std::string bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}
const std::string kSessionInfo = "01:05\x80"
                                 "2.50,\x80"
                                 "1.00,\x80"
                                 "3.50,20060811105434";
} // namespace

class ScriptedServerTest : public ::testing::Test {
protected:
    TempFolder folder;
    RecordingWorkstation workstation;
    TestHost host;
    platform::TcpSocket mainListener = platform::TcpSocket::listenOn(kTestServer, 0, 5).value_or(platform::TcpSocket{});
    std::unique_ptr<ClientEngine> engine;

    void SetUp() override
    {
        ASSERT_TRUE(mainListener.isValid());
        writeFile(folder.path() / "TambloConfig", std::string("\x7F\x01\x01\x01", 4));
        startEngine(*mainListener.localPort());
    }

    void startEngine(std::uint16_t mainPort, std::chrono::milliseconds connectWait = 300ms,
                     platform::Ipv4Address own = kTestStation)
    {
        LinkSettings link;
        link.ownAddress = own;
        link.mainPort = mainPort;
        link.connectWait = connectWait;
        link.replyWait = 2s;
        engine = std::make_unique<ClientEngine>(host, workstation,
                                                EngineSettings{StationFolders::allIn(folder.path()), true, link});
        engine->start(testScreen());
    }

    std::vector<std::string> log() { return logLines(folder.path()); }
    bool until(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s)
    {
        return tickUntil(*engine, done, limit);
    }
    bool unlockedWithFigures() { return !engine->state().locked && engine->state().sessionStamp == "20060811105434"; }

    // Console side: handshake, UNLOCK and one session info message, each answered "OK".
    static platform::TcpSocket startSession(platform::TcpSocket& listener, std::string* connectText = nullptr,
                                            platform::Ipv4Address* peer = nullptr)
    {
        auto h = acceptStation(listener);
        if (connectText)
            *connectText = h.connectText;
        if (peer)
            *peer = h.peer;
        if (!h.station.isValid())
            return {};
        h.station.send("UNLOCK");
        EXPECT_EQ(readWithin(h.station, 5s), "OK");
        h.station.send(kSessionInfo);
        EXPECT_EQ(readWithin(h.station, 5s), "OK");
        return std::move(h.station);
    }

    // Console side: a session started, its connection ended by
    // `endConnection`, then the station's first message on its new connection
    // in `reclaim`. False when none came within 10 s of ticks.
    bool reclaimAfter(const std::function<void(platform::TcpSocket&)>& endConnection, std::string& reclaim)
    {
        std::jthread console([&] {
            auto station = startSession(mainListener);
            endConnection(station);
            auto again = acceptStation(mainListener);
            reclaim = readWithin(again.station, 5s).value_or("");
        });
        bool came = until([&] { return !reclaim.empty(); }, 10s);
        console.join();
        return came;
    }
};

TEST_F(ScriptedServerTest, HandshakeUnlockAndSessionInfo)
{
    std::string connectText;
    platform::Ipv4Address peer;
    std::atomic<bool> done = false;
    std::jthread console([&] {
        auto station = startSession(mainListener, &connectText, &peer);
        done = true;
        readWithin(station, 300ms); // hold the connection while the station looks
    });
    ASSERT_TRUE(until([&] { return done && unlockedWithFigures(); }));
    console.join();

    EXPECT_EQ(connectText, "CONNECT127.2.2.5");
    EXPECT_EQ(peer, kTestStation); // every connection leaves from the station's own address

    auto& s = engine->state();
    EXPECT_EQ(s.duration, "01:05");
    EXPECT_EQ(s.accessCost, "\x80"
                            "2.50");
    EXPECT_EQ(s.extras, "\x80"
                        "1.00");
    EXPECT_EQ(s.total, "\x80"
                       "3.50");
    EXPECT_TRUE(s.panelOnTop);
    EXPECT_FALSE(workstation.keysDisabled);
    EXPECT_TRUE(workstation.cursorVisible);
    EXPECT_EQ(workstation.placements.back().rect, s.panel);

    auto lines = log();
    auto port = std::to_string(engine->link().stationPort());
    std::vector<std::string> expected = {
        "Found Shell_TrayWnd, hiding.", "Non-blocking set.  connecting...",
        "success (WOULDBLOCK).",        "Select succeeded.",
        "Trying send success.",
    };
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5), expected);
    EXPECT_TRUE(contains(lines, "TRYING RECV SUCCESS port:" + port + " sending OK success."));
    EXPECT_EQ(count(lines, "Non-blocking set.  connecting..."), 2u); // main port, then station port
    EXPECT_TRUE(contains(lines, "Read data: UNLOCK"));
    EXPECT_TRUE(contains(lines, "Read data: " + kSessionInfo));
    EXPECT_EQ(count(lines, "send() OK"), 2u);
    EXPECT_TRUE(contains(lines, "Found Shell_TrayWnd, showing."));
    EXPECT_FALSE(contains(lines, "Sending STARTED message success.")); // locked when it connected
}

TEST_F(ScriptedServerTest, LockClearsTheStampAndEveryCommandIsAnsweredOkFirst)
{
    std::atomic<int> step = 0;
    std::atomic<bool> clicked = false;
    std::vector<std::string> answers;
    std::string afterLock;
    std::jthread console([&] {
        auto station = startSession(mainListener);
        step = 1;
        station.send("LOCK");
        answers.push_back(readWithin(station, 5s).value_or("?"));
        station.send("no such command");
        answers.push_back(readWithin(station, 5s).value_or("?"));
        step = 2;
        for (auto end = std::chrono::steady_clock::now() + 5s; !clicked && std::chrono::steady_clock::now() < end;)
            std::this_thread::sleep_for(1ms);
        afterLock = readWithin(station, 300ms).value_or("(nothing)");
    });
    ASSERT_TRUE(until([&] { return step == 2; }));
    ASSERT_TRUE(until([&] { return engine->state().locked; }));
    // "End Session" clicked in a dialog that the lock has not closed yet: no effect.
    engine->confirmEndSession();
    clicked = true;
    console.join();
    EXPECT_EQ(afterLock, "(nothing)");
    EXPECT_EQ(answers, (std::vector<std::string>{"OK", "OK"}));
    EXPECT_EQ(engine->state().sessionStamp, "");
    // The end of the session is told once, for the customer's account to be cleaned.
    EXPECT_EQ(workstation.sessionEnds, 1);
    EXPECT_TRUE(workstation.keysDisabled);
    EXPECT_FALSE(workstation.taskbarShown);
    EXPECT_EQ(workstation.placements.back().rect, engine->state().fullScreen);
}

TEST_F(ScriptedServerTest, ConsoleClosingTheConnectionIsReclaimedWithStarted)
{
    std::string reclaim;
    ASSERT_TRUE(reclaimAfter(
        [](platform::TcpSocket& station) {
            station.close(); // the console ended: the station reads zero bytes
        },
        reclaim));
    EXPECT_EQ(reclaim, "STARTED20060811105434");
    auto lines = log();
    EXPECT_TRUE(contains(lines, "recv() returned 0: connection closed by the server."));
    EXPECT_TRUE(contains(lines, "Resetting send socket."));
    EXPECT_TRUE(contains(lines, "Sending STARTED message success."));
    EXPECT_FALSE(engine->state().locked);
}

TEST_F(ScriptedServerTest, ConsoleRestartMakesTheFirstPollFailAndTheSessionIsReclaimed)
{
    std::string reclaim;
    ASSERT_TRUE(reclaimAfter(
        [](platform::TcpSocket& station) {
            station.send(kSessionInfo);
            std::this_thread::sleep_for(200ms); // the "OK" arrives and stays unread:
            station.close();                    // closing now resets the connection
        },
        reclaim));
    EXPECT_EQ(reclaim, "STARTED20060811105434");
    auto lines = log();
    EXPECT_TRUE(contains(lines, "recv() failed:Error:WSAECONNRESET"));
    EXPECT_TRUE(contains(lines, "Resetting send socket."));
}

TEST_F(ScriptedServerTest, ServerDownIsAnsweredAndTheStationStartsOverAtTheMainPort)
{
    std::string answer;
    std::string secondConnect;
    std::atomic<bool> done = false;
    std::jthread console([&] {
        auto h = acceptStation(mainListener);
        h.station.send("SERVERDOWN");
        answer = readWithin(h.station, 5s).value_or("?");
        h.station.close();
        auto again = acceptStation(mainListener);
        secondConnect = again.connectText;
        done = true;
        readWithin(again.station, 300ms);
    });
    ASSERT_TRUE(until([&] { return done.load(); }, 10s));
    console.join();
    EXPECT_EQ(answer, "OK");
    EXPECT_EQ(secondConnect, "CONNECT127.2.2.5");
    auto lines = log();
    EXPECT_TRUE(contains(lines, "Read data: SERVERDOWN"));
    EXPECT_TRUE(contains(lines, "Resetting send socket."));
    EXPECT_FALSE(contains(lines, "Sending STARTED message success.")); // locked: nothing to reclaim
}

TEST_F(ScriptedServerTest, QueryEndSessionTellsTheConsoleStop)
{
    std::string stop;
    std::atomic<bool> unlocked = false;
    std::jthread console([&] {
        auto station = startSession(mainListener);
        unlocked = true;
        stop = readWithin(station, 5s).value_or("?");
    });
    ASSERT_TRUE(until([&] { return unlocked && unlockedWithFigures(); }));
    engine->onQueryEndSession();
    console.join();
    EXPECT_EQ(stop, "STOP");
    EXPECT_TRUE(engine->state().locked);
    EXPECT_TRUE(engine->state().endSessionQuerySeen);
}

TEST_F(ScriptedServerTest, SessionInfoIsReadDefensively)
{
    const std::vector<std::string> messages = {
        "12",                                               // short
        std::string("01:05\x80") + "2.50",                  // no comma at all
        std::string(255, 'x'),                              // as long as a read gets
        std::string("01:0\x80") + "123456789012345,\x80,,", // amount longer than its slot
        bytes("00:1\0\x80"
              "1,\x80"
              "2,\x80"
              "3,20060811105500"),
    };
    std::vector<std::string> answers;
    std::atomic<bool> done = false;
    std::atomic<bool> answered = false;
    std::jthread console([&] {
        auto station = startSession(mainListener);
        for (std::size_t i = 0; i < messages.size(); ++i) {
            station.send(messages[i]);
            answers.push_back(readWithin(station, 5s).value_or("?"));
            if (i == 3) {
                answered = true;
                while (answered)
                    std::this_thread::sleep_for(1ms);
            }
        }
        done = true;
        readWithin(station, 300ms);
    });
    // After the malformed ones: figures cut to their slots, the stamp kept for reclaiming.
    ASSERT_TRUE(until([&] { return answered && engine->state().accessCost == "1234567890"; }));
    EXPECT_EQ(engine->state().duration, "01:0\x80");
    EXPECT_EQ(engine->state().sessionStamp, "20060811105434");
    answered = false;
    ASSERT_TRUE(until([&] { return done.load(); }));
    console.join();
    EXPECT_EQ(answers, std::vector<std::string>(messages.size(), "OK"));

    // The last message: figures cut to their fields, the stamp taken.
    auto& s = engine->state();
    EXPECT_EQ(s.duration, std::string("00:1\0", 5));
    EXPECT_EQ(s.accessCost, "\x80"
                            "1");
    EXPECT_EQ(s.total, "\x80"
                       "3");
    EXPECT_EQ(s.sessionStamp, "20060811105500");
}

TEST_F(ScriptedServerTest, UnknownStationIsRefusedUntilTheConsoleKnowsIt)
{
    std::atomic<bool> done = false;
    std::jthread console([&] {
        for (int i = 0; i < 2; ++i) {
            auto main = acceptWithin(mainListener, 5s);
            readWithin(main, 5s); // the CONNECT, not answered
        }
        auto h = acceptStation(mainListener);
        done = h.station.isValid();
        readWithin(h.station, 300ms);
    });
    auto before = std::chrono::steady_clock::now();
    ASSERT_TRUE(until([&] { return done && engine->link().stationConnectionUp(); }, 10s));
    auto took = std::chrono::steady_clock::now() - before;
    console.join();
    EXPECT_GE(took, 2 * 300ms); // each refusal waits out the connect time before the next try
    // A second refusal that went as the first only counts in the log (whether
    // it did depends on when the station polled, so either reading holds).
    auto lines = log();
    const bool folded = contains(lines, "^ repeated 1 times.");
    EXPECT_EQ(count(lines, "Trying send success."), folded ? 2u : 3u);
    EXPECT_EQ(count(lines, "TRYING RECV closed."), folded ? 1u : 2u);
    EXPECT_FALSE(contains(lines, "Resetting send socket from InitSendSocket()."));
}

TEST_F(ScriptedServerTest, FailedStationPortConnectResetsOnTheFirstRead)
{
    std::atomic<bool> done = false;
    std::jthread console([&] {
        // First handshake hands out a port that nobody listens on.
        auto main = acceptWithin(mainListener, 5s);
        readWithin(main, 5s);
        main.send(std::to_string(unusedPort()));
        readWithin(main, 5s);
        main.close();
        auto h = acceptStation(mainListener);
        done = h.station.isValid();
        readWithin(h.station, 300ms);
    });
    ASSERT_TRUE(until([&] { return done && engine->link().stationConnectionUp(); }, 10s));
    console.join();
    auto lines = log();
    EXPECT_TRUE(contains(lines, "Select timed out."));
    // The refused connect shows on the first read, as an error or as a closed socket.
    EXPECT_TRUE(contains(lines, "recv() failed:Error:Unknown: 10061") ||
                contains(lines, "recv() returned 0: connection closed by the server."))
        << readFile(folder.path() / kLogFileName);
    EXPECT_TRUE(contains(lines, "Resetting send socket."));
}

TEST_F(ScriptedServerTest, SetupModeKeepsPollingAConnectionThatIsUp)
{
    std::vector<std::string> answers;
    std::atomic<bool> connected = false;
    std::atomic<bool> done = false;
    std::jthread console([&] {
        auto h = acceptStation(mainListener);
        connected = true;
        // The station tells the counter that it is in setup, not locked.
        answers.push_back(readWithin(h.station, 5s).value_or("?"));
        h.station.send("UNLOCK");
        answers.push_back(readWithin(h.station, 5s).value_or("?"));
        h.station.send("LOCK");
        answers.push_back(readWithin(h.station, 5s).value_or("?"));
        done = true;
        readWithin(h.station, 300ms);
    });
    ASSERT_TRUE(until([&] { return connected && engine->link().stationConnectionUp(); }));
    for (char c : std::string("k7#w\r"))
        engine->onCharacter(c);
    ASSERT_TRUE(until([&] { return done && engine->state().locked; }));
    console.join();
    EXPECT_EQ(answers, (std::vector<std::string>{"SETUP BEGUN", "OK", "OK"}));
    EXPECT_TRUE(engine->state().setupMode);

    // Locked by the console during setup: "STATION LOCKED" is shown, but the
    // workstation stays released while setup mode lasts; only the cursor follows the lock.
    EXPECT_TRUE(engine->view().locked);
    EXPECT_FALSE(workstation.keysDisabled);
    EXPECT_TRUE(workstation.taskbarShown);
    EXPECT_FALSE(workstation.cursorVisible);
    EXPECT_TRUE(contains(log(), "Read data: LOCK"));
}

class ServerDownTest : public ScriptedServerTest {
protected:
    void SetUp() override
    {
        writeFile(folder.path() / "TambloConfig", std::string("\x7F\x01\x01\x01", 4));
        startEngine(unusedPort(), 150ms);
    }
};

// Ticks until the predicate holds; the longest tick is kept in `longest`.
bool tickTimed(ClientEngine& engine, const std::function<bool()>& done, std::chrono::nanoseconds& longest,
               std::chrono::milliseconds limit = 5s)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        auto before = std::chrono::steady_clock::now();
        engine.tick();
        longest = std::max<std::chrono::nanoseconds>(longest, std::chrono::steady_clock::now() - before);
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

TEST_F(ServerDownTest, EveryAttemptWaitsLogsAndNoTickBlocks)
{
    // Three attempts: the first one's lines, then a count for the two that went the same way.
    std::chrono::nanoseconds longest{0};
    ASSERT_TRUE(tickTimed(
        *engine, [&] { return contains(log(), "^ repeated 2 times."); }, longest));
    // Each attempt waits out its connect time across many ticks, none of which waits.
    EXPECT_LT(longest, 50ms);

    auto lines = log();
    const std::vector<std::string> attempt = {"Non-blocking set.  connecting...", "success (WOULDBLOCK).",
                                              "Select timed out.", "Error:WSAEWOULDBLOCK", "^ repeated 2 times."};
    ASSERT_EQ(lines.size(), 1 + attempt.size());
    for (std::size_t i = 0; i < attempt.size(); ++i)
        EXPECT_EQ(lines[1 + i], attempt[i]) << i;

    // Setup mode: no new attempts, and nothing to wake for.
    for (char c : std::string("k7#w\r"))
        engine->onCharacter(c);
    ASSERT_TRUE(engine->state().setupMode);
    ASSERT_TRUE(tickUntil(*engine, [&] { return !engine->nextWake().at; })); // the attempt under way ends
    auto size = log().size();
    for (int i = 0; i < 20; ++i)
        engine->tick();
    EXPECT_EQ(log().size(), size);
    EXPECT_FALSE(engine->nextWake().at);

    // Leaving setup mode starts them again.
    engine->onLeftButtonDown(100, 120);
    ASSERT_EQ(engine->onLeftButtonUp(100, 120), PanelClick::OpenEndSessionDialog);
    engine->confirmEndSession();
    ASSERT_TRUE(engine->nextWake().at);
    ASSERT_TRUE(tickUntil(*engine, [&] { return count(log(), "Non-blocking set.  connecting...") >= 2; }));
}

TEST_F(ServerDownTest, LinesLoggedDuringTheWaitStayWhole)
{
    // The focus is lost while an attempt waits for its connect: the locked
    // state is applied again and logged, apart from the attempt's own lines.
    const auto waiting = std::chrono::steady_clock::now() + 30ms;
    ASSERT_TRUE(tickUntil(*engine, [&] { return std::chrono::steady_clock::now() > waiting; }));
    engine->onKillFocus();
    ASSERT_TRUE(tickUntil(*engine, [&] { return count(log(), "Select timed out.") >= 2; }));

    auto lines = log();
    EXPECT_EQ(count(lines, "Found Shell_TrayWnd, hiding."), 2u); // at start and on the lost focus
    auto selectLines =
        std::count_if(lines.begin(), lines.end(), [](const auto& l) { return l.starts_with("Select "); });
    EXPECT_EQ(static_cast<std::size_t>(selectLines), count(lines, "Select timed out."));
}

TEST_F(ServerDownTest, AttemptsThatFailAtOnceKeepThePaceOfTheConnectWait)
{
    // A documentation address on no interface of this host: binding to it
    // fails at once, before anything is sent.
    startEngine(unusedPort(), 150ms, platform::Ipv4Address{{192, 0, 2, 1}});
    std::chrono::nanoseconds longest{0};
    auto begun = std::chrono::steady_clock::now();
    auto soon = begun + 100ms;
    ASSERT_TRUE(tickTimed(
        *engine, [&] { return std::chrono::steady_clock::now() > soon; }, longest));
    EXPECT_LT(longest, 50ms);
    // One attempt per connect wait, not one per tick: the next comes when the
    // wait is over, and the link says when that is. (The attempts go the same
    // way, so the log counts them.)
    auto wake = engine->nextWake();
    ASSERT_TRUE(wake.at);
    EXPECT_GE(*wake.at, begun + 140ms);
    ASSERT_TRUE(tickUntil(*engine, [&] { return contains(log(), "^ repeated 1 times."); }));
    EXPECT_GE(std::chrono::steady_clock::now() - begun, 300ms);
    EXPECT_EQ(count(log(), "Non-blocking set.  connecting..."), 1u);
}

// Reads until `count` answers "OK" have come, however the reads cut them.
std::string readAnswers(platform::TcpSocket& socket, std::size_t count)
{
    std::string answers;
    while (answers.size() < 2 * count) {
        auto more = readWithin(socket, 5s);
        if (!more || more->empty())
            break;
        answers += *more;
    }
    return answers;
}

// The console sends one message and waits for its answer. Text that is more
// than one message ("UNLOCK" with anything after it, two commands run
// together) is one unknown text: answered once, obeyed never. Unknown bytes
// never take the command behind them along, and the next command is obeyed.
TEST_F(ScriptedServerTest, EachMessageIsAnsweredOnceAndOnlyAnExactCommandIsObeyed)
{
    std::vector<std::string> answers;
    std::atomic<bool> done = false;
    std::jthread console([&] {
        auto h = acceptStation(mainListener);
        for (const std::string& merged : {"UNLOCK" + kSessionInfo, std::string("UNLOCKX"), std::string("UNLOCKLOCK")}) {
            h.station.send(merged);
            answers.push_back(readWithin(h.station, 5s).value_or("?"));
            answers.push_back(readWithin(h.station, 100ms).value_or("-")); // no second answer
        }
        h.station.send(bytes("garbage,,,\x80") + "QUIT");
        answers.push_back(readAnswers(h.station, 2));
        done = true;
        readWithin(h.station, 300ms);
    });
    ASSERT_TRUE(until([&] { return done && engine->state().quitRequested; }));
    console.join();
    EXPECT_EQ(answers, (std::vector<std::string>{"OK", "-", "OK", "-", "OK", "-", "OKOK"}));
    EXPECT_TRUE(engine->state().locked) << "no merged text unlocked the station";
    EXPECT_EQ(engine->state().total, "");
    auto lines = log();
    EXPECT_TRUE(contains(lines, "Read data: UNLOCKX"));
    EXPECT_TRUE(contains(lines, "Read data: QUIT"));
}

TEST_F(ScriptedServerTest, AMessageSplitAtEveryByteIsTakenWhole)
{
    std::vector<std::string> answers;
    std::atomic<bool> done = false;
    std::jthread console([&] {
        auto h = acceptStation(mainListener);
        h.station.send("UNLOCK");
        answers.push_back(readWithin(h.station, 5s).value_or("?"));
        for (std::size_t cut = 1; cut < kSessionInfo.size(); ++cut) {
            h.station.send(kSessionInfo.substr(0, cut));
            std::this_thread::sleep_for(15ms); // the station polls the first part on its own
            h.station.send(kSessionInfo.substr(cut));
            answers.push_back(readWithin(h.station, 5s).value_or("?"));
        }
        done = true;
        readWithin(h.station, 300ms);
    });
    ASSERT_TRUE(until([&] { return done.load(); }, 20s));
    console.join();
    EXPECT_EQ(answers, std::vector<std::string>(kSessionInfo.size(), "OK"));
    auto lines = log();
    EXPECT_EQ(count(lines, "Read data: " + kSessionInfo), kSessionInfo.size() - 1);
    EXPECT_TRUE(unlockedWithFigures());
}

TEST_F(ScriptedServerTest, APortNumberInPiecesIsReadWhole)
{
    std::atomic<bool> done = false;
    std::string connectText;
    std::jthread console([&] {
        auto main = acceptWithin(mainListener, 5s);
        connectText = readWithin(main, 5s).value_or("");
        auto stationListener = platform::TcpSocket::listenOn(kTestServer, 0, 5).value_or(platform::TcpSocket{});
        std::string port = std::to_string(stationListener.localPort().value_or(0));
        main.send(port.substr(0, 2));
        std::this_thread::sleep_for(5ms);
        main.send(port.substr(2));
        if (readWithin(main, 5s) != "OK")
            return;
        main.close();
        auto station = acceptWithin(stationListener, 5s);
        station.send("UNLOCK");
        done = readWithin(station, 5s) == "OK";
        readWithin(station, 300ms);
    });
    ASSERT_TRUE(until([&] { return done && !engine->state().locked; }));
    console.join();
    EXPECT_EQ(connectText, "CONNECT127.2.2.5");
}

} // namespace client::test
