#include "link/station_words.h"
#include "link/cafe_key.h"
#include "link/channel.h"
#include "link/link_server.h"
#include "link/protocol.h"
#include "console_event.h"
#include "scripted_station.h"

#include "platform/local_time.h"

#include <gtest/gtest.h>

#include <thread>

using namespace stationlink;
using namespace stationlink::test;
using platform::Ipv4Address;

namespace {

Ipv4Address stationAddress(int lastOctet) { return {{127, 0, 0, static_cast<std::uint8_t>(lastOctet)}}; }

LinkSettings testSettings()
{
    LinkSettings s;
    s.listenAddress = Ipv4Address::loopback();
    s.port = 0;
    s.connectWait = 300ms;
    s.handshakeWait = 1000ms;
    s.answerWait = 1000ms;
    s.reclaimWait = 300ms;
    return s;
}

// Takes refusals from the link until every one expected has come.
bool refusalsInclude(LinkServer& link, std::vector<LinkRefusal> expected)
{
    for (auto deadline = std::chrono::steady_clock::now() + kPatience; std::chrono::steady_clock::now() < deadline;) {
        for (const LinkRefusal& r : link.takeRefusals())
            std::erase(expected, r);
        if (expected.empty())
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

class LinkServerTest : public ::testing::Test {
protected:
    // Starts the link with stations at 127.0.0.2, 127.0.0.3, ... (count of them).
    void startWith(int count)
    {
        for (int i = 0; i < count; ++i)
            addresses.push_back(stationAddress(2 + i));
        link.setStationAddresses(addresses);
        ASSERT_TRUE(link.start(count));
        ASSERT_NE(link.mainPort(), 0);
    }

    ScriptedStation station(int index) const { return ScriptedStation(stationAddress(2 + index), link.mainPort()); }
    ScriptedStation stranger(int lastOctet) const
    {
        return ScriptedStation(stationAddress(lastOctet), link.mainPort());
    }

    // Waits until station i's MailboxWord holds `events`, then takes them out
    // the way the console does.
    bool takeEvent(int i, StationEvents events) { return takeConsoleEvent(link, i, events, kPatience, 20ms); }

    MailboxWord mailbox(int i) { return link.lockMailbox(i).word(); }

    // Handshake, connection to its own port, and the console told: station
    // `index` is up.
    void attachConnected(ScriptedStation& simulated, int index)
    {
        ASSERT_TRUE(simulated.attach());
        ASSERT_TRUE(takeEvent(index, Event::Connected));
    }

    // Gives the link threads time to act before the test goes on.
    static void separateMessages() { std::this_thread::sleep_for(100ms); }

    // Sends `message` in two reads, cut after `cut` bytes.
    static bool sendSplit(Channel& socket, std::string_view message, std::size_t cut)
    {
        if (!socket.send(message.substr(0, cut)))
            return false;
        std::this_thread::sleep_for(2ms); // a read of its own for the first part
        return socket.send(message.substr(cut)).has_value();
    }

    LinkServer link{testSettings()};
    std::vector<Ipv4Address> addresses;
};

// Station 0 of one, attached and its connection taken by the console: where
// most tests of a station thread begin.
class OneConnectedStation : public LinkServerTest {
protected:
    void SetUp() override
    {
        startWith(1);
        first = station(0);
        ASSERT_NO_FATAL_FAILURE(attachConnected(first, 0));
    }

    ScriptedStation first{stationAddress(2), 0};
};

} // namespace

TEST_F(LinkServerTest, KnownStationGetsItsOwnPortAndConnects)
{
    startWith(3);
    auto third = station(2);
    auto port = third.handshake();
    ASSERT_TRUE(port);
    EXPECT_NE(*port, link.mainPort());
    third.connection = third.dial(*port);
    ASSERT_TRUE(third.connection.isValid());

    ASSERT_TRUE(link.waitEventForConsole(2, kPatience));
    EXPECT_TRUE(link.takeEventForConsole(2));
    EXPECT_FALSE(link.takeEventForConsole(2));
    EXPECT_TRUE(takeEvent(2, Event::Connected));
    EXPECT_EQ(mailbox(2), MailboxWord());
    EXPECT_EQ(mailbox(0), MailboxWord());
}

TEST_F(LinkServerTest, UnknownSpoofedAndGarbledCallsAreClosedWithoutAWord)
{
    startWith(2);
    EXPECT_FALSE(stranger(9).handshake()) << "unknown address";
    EXPECT_FALSE(station(0).handshake("OK", buildConnect(stationAddress(3)))) << "announces another station";
    EXPECT_FALSE(station(0).handshake("OK", "HELLO"));
    EXPECT_FALSE(station(0).handshake("OK", buildConnect(stationAddress(2)) + "x"));
    EXPECT_FALSE(station(0).handshake("OK", std::string(255, 'C')));
    EXPECT_FALSE(station(0).handshake("OK", std::string(4000, '\x80')));

    // The listener is none the worse for it.
    auto first = station(0);
    ASSERT_NO_FATAL_FAILURE(attachConnected(first, 0));
}

TEST_F(LinkServerTest, SilentCallerNeitherStallsTheListenerNorStaysForever)
{
    startWith(1);
    auto silent = stranger(9).dial(link.mainPort());
    ASSERT_TRUE(silent.isValid());

    auto first = station(0);
    ASSERT_NO_FATAL_FAILURE(attachConnected(first, 0));
    link.sendStationCommand(0, Command::Unlock);
    EXPECT_EQ(first.answer(), "UNLOCK");
    EXPECT_TRUE(takeEvent(0, Event::Started));

    EXPECT_TRUE(ScriptedStation::closedByPeer(silent));
}

TEST_F(LinkServerTest, StationsCallingAllAtOnceAreAllAnswered)
{
    constexpr int kCallers = 40;
    startWith(kCallers + 1);
    auto first = station(0);
    ASSERT_NO_FATAL_FAILURE(attachConnected(first, 0));

    std::vector<Channel> calls;
    {
        // Keep the listener busy handing over station 0's news while every
        // other station calls, so that all the calls are waiting together.
        MailboxAccess box = link.lockMailbox(0);
        ASSERT_TRUE(first.send("STOP"));
        separateMessages();
        for (int i = 1; i <= kCallers; ++i) {
            calls.push_back(station(i).dial(link.mainPort()));
            ASSERT_TRUE(calls.back().send(buildConnect(stationAddress(2 + i))));
        }
    }
    for (auto& call : calls) {
        auto reply = ScriptedStation::receive(call);
        ASSERT_TRUE(reply) << "closed without its port";
        EXPECT_TRUE(parsePortReply(*reply));
    }
    EXPECT_TRUE(takeEvent(0, Event::Stopped));
}

TEST_F(LinkServerTest, HandshakeAnsweredOtherThanOkLeavesThePortUnserved)
{
    startWith(1);
    auto first = station(0);
    auto port = first.handshake("NO");
    ASSERT_TRUE(port);
    // The system still queues a connection on the unarmed port, but nobody serves it.
    auto unserved = first.dial(*port);
    ASSERT_TRUE(unserved.isValid());
    unserved.send("STOP");

    // The next handshake closes that port; the new one is served.
    ASSERT_NO_FATAL_FAILURE(attachConnected(first, 0));
    EXPECT_FALSE(mailbox(0).holds(Event::Stopped));
    EXPECT_TRUE(ScriptedStation::closedByPeer(unserved));
}

TEST_F(LinkServerTest, StationThatNeverAnswersItsPortIsLetGoWithoutHoldingUpOthers)
{
    startWith(2);
    auto mute = station(0).dial(link.mainPort());
    ASSERT_TRUE(mute.send(buildConnect(stationAddress(2))));
    ASSERT_TRUE(ScriptedStation::receive(mute)); // the port number, never answered

    auto second = station(1);
    ASSERT_NO_FATAL_FAILURE(attachConnected(second, 1));
    EXPECT_TRUE(ScriptedStation::closedByPeer(mute));

    auto first = station(0);
    ASSERT_NO_FATAL_FAILURE(attachConnected(first, 0));
}

TEST_F(LinkServerTest, StationPortAcceptsOnlyItsOwnStation)
{
    startWith(1);
    auto first = station(0);
    auto port = first.handshake();
    ASSERT_TRUE(port);

    auto intruder = stranger(9).dial(*port);
    ASSERT_TRUE(intruder.isValid());
    EXPECT_TRUE(ScriptedStation::closedByPeer(intruder));

    first.connection = first.dial(*port);
    ASSERT_TRUE(takeEvent(0, Event::Connected));
    link.sendStationCommand(0, Command::Lock);
    EXPECT_EQ(first.answer(), "LOCK");
    EXPECT_TRUE(takeEvent(0, Event::Stopped));
}

TEST_F(OneConnectedStation, UnlockAndLockAreConfirmedAsStartedAndStopped)
{
    link.sendStationCommand(0, Command::Unlock);
    EXPECT_TRUE(mailbox(0).has(LinkState::Starting));
    EXPECT_EQ(first.answer(), "UNLOCK");
    EXPECT_TRUE(takeEvent(0, Event::Started));

    link.sendStationCommand(0, Command::Lock);
    EXPECT_TRUE(mailbox(0).has(LinkState::Stopping));
    EXPECT_EQ(first.answer(), "LOCK");
    EXPECT_TRUE(takeEvent(0, Event::Stopped));
    EXPECT_FALSE(mailbox(0).holds(Event::Started));
}

TEST_F(OneConnectedStation, WaitingCommandsGoOneAtATimeInPriorityOrder)
{
    const std::time_t start = *platform::localDateTime(2006, 8, 11, 10, 54, 34);
    auto record = SessionInfoRecord::fromFigures("01:05:00", "2.50", "1.00", "3.50", start);
    {
        // Everything is waiting at once when the listener moves it.
        MailboxAccess box = link.lockMailbox(0);
        box.word().post(Command::Shutdown | Command::Quit | Command::Lock | Command::Unlock);
    }
    link.sendSessionInfo(0, record);

    EXPECT_EQ(first.answer(), "UNLOCK");
    EXPECT_EQ(first.answer(), "01:05\x80"
                              "2.50,\x80"
                              "1.00,\x80"
                              "3.50,20060811105434");
    EXPECT_EQ(first.answer(), "LOCK");
    EXPECT_EQ(first.answer(), "QUIT");
    EXPECT_EQ(first.answer(), "SHUTDOWN");

    // The station is going away once everything has gone out.
    ASSERT_TRUE(takeEvent(0, Event::Disconnected));
    EXPECT_TRUE(ScriptedStation::closedByPeer(first.connection));
}

// A stray byte before the answer ("S" then "OK" read as "SOK"), or any text
// that is no answer, is passed over: the answer still completes the command.
TEST_F(OneConnectedStation, TextThatIsNoAnswerIsPassedOverAndTheAnswerStillCounts)
{
    link.sendStationCommand(0, Command::Unlock | Command::Lock);
    EXPECT_EQ(first.receive(), "UNLOCK");
    ASSERT_TRUE(first.send("S"));
    separateMessages();
    ASSERT_TRUE(first.send("OK"));
    EXPECT_TRUE(takeEvent(0, Event::Started));
    EXPECT_EQ(first.answer("WHAT"), "LOCK");
    separateMessages();
    EXPECT_FALSE(mailbox(0).holds(Event::Stopped)) << "not answered yet";
    ASSERT_TRUE(first.send("OK"));
    EXPECT_TRUE(takeEvent(0, Event::Stopped));
}

// A station that does not answer is waited for, however long: the command is
// reported late and its answer, when it comes, is honoured.
TEST_F(OneConnectedStation, ALateAnswerIsHonouredAndTheCommandIsReportedLateMeanwhile)
{
    link.sendStationCommand(0, Command::Unlock);
    EXPECT_EQ(first.receive(), "UNLOCK");
    EXPECT_EQ(link.lateCommand(0), std::nullopt);
    std::this_thread::sleep_for(testSettings().answerWait + 300ms);
    EXPECT_EQ(link.lateCommand(0), Command::Unlock);
    EXPECT_FALSE(mailbox(0).holds(Event::Started));
    ASSERT_TRUE(first.send("OK"));
    EXPECT_TRUE(takeEvent(0, Event::Started));
    EXPECT_EQ(link.lateCommand(0), std::nullopt);
}

TEST_F(LinkServerTest, QuitAndShutdownAnsweredOkMeanTheStationIsGoing)
{
    startWith(2);
    auto first = station(0);
    auto second = station(1);
    ASSERT_NO_FATAL_FAILURE(attachConnected(first, 0));
    ASSERT_NO_FATAL_FAILURE(attachConnected(second, 1));

    link.sendStationCommand(0, Command::Quit);
    link.sendStationCommand(1, Command::Shutdown);
    EXPECT_EQ(first.answer(), "QUIT");
    EXPECT_EQ(second.answer(), "SHUTDOWN");
    EXPECT_TRUE(takeEvent(0, Event::Disconnected));
    EXPECT_TRUE(takeEvent(1, Event::Disconnected));
    // The console closes those connections itself, so the stations' own close
    // is not reported as a second disconnection.
    EXPECT_TRUE(ScriptedStation::closedByPeer(first.connection));
    EXPECT_TRUE(ScriptedStation::closedByPeer(second.connection));
}

TEST_F(OneConnectedStation, StopDuringTheWaitForUnlockEndsWithTheStationStopped)
{
    link.sendStationCommand(0, Command::Unlock);
    EXPECT_EQ(first.receive(), "UNLOCK");
    first.send("STOP");
    first.send("OK");
    EXPECT_TRUE(takeEvent(0, Event::Stopped));
    EXPECT_FALSE(mailbox(0).holds(Event::Started));
}

TEST_F(OneConnectedStation, LockAnsweredStopThenOkReportsStoppedOnce)
{
    link.sendStationCommand(0, Command::Lock);
    EXPECT_EQ(first.receive(), "LOCK");
    first.send("STOP");
    first.send("OK");
    EXPECT_TRUE(takeEvent(0, Event::Stopped));

    // The next news is the next command's, with no second STOPPED before it.
    link.sendStationCommand(0, Command::Unlock);
    EXPECT_EQ(first.answer(), "UNLOCK");
    EXPECT_TRUE(takeEvent(0, Event::Started));
    EXPECT_FALSE(mailbox(0).holds(Event::Stopped));
}

TEST_F(OneConnectedStation, StartedReclaimsASessionWithItsStampAndStopEndsIt)
{
    first.send("STARTED20060811105434");
    ASSERT_TRUE(takeEvent(0, Event::Started));
    std::tm tm = platform::toLocalTime(link.stationStartTime(0));
    EXPECT_EQ(platform::formatTm("%Y-%m-%d %H:%M:%S", tm), "2006-08-11 10:54:34");

    // A stamp that is no time is ignored, and so is any other text.
    first.send("STARTED20061311105434");
    first.send("HELLO");
    first.send("STOP");
    ASSERT_TRUE(takeEvent(0, Event::Stopped));
    EXPECT_FALSE(mailbox(0).holds(Event::Started));
    EXPECT_EQ(platform::formatLocalTime("%Y%m%d%H%M%S", link.stationStartTime(0)), "20060811105434");
}

TEST_F(OneConnectedStation, StationThatDropsIsDisconnectedAndReconnectsThroughTheHandshake)
{
    // An orderly close (a read of zero bytes) is a lost connection at once.
    first.connection.close();
    ASSERT_TRUE(takeEvent(0, Event::Disconnected));

    ASSERT_NO_FATAL_FAILURE(attachConnected(first, 0));
    first.send("STARTED20060811105434");
    ASSERT_TRUE(takeEvent(0, Event::Started));

    // A station that starts over while its old connection still looks up: the
    // old one is closed and reported before the new one.
    Channel old = std::move(first.connection);
    ASSERT_TRUE(first.attach());
    EXPECT_TRUE(ScriptedStation::closedByPeer(old));
    ASSERT_TRUE(takeEvent(0, Event::Disconnected));
    ASSERT_TRUE(takeEvent(0, Event::Connected));
    link.sendStationCommand(0, Command::Lock);
    EXPECT_EQ(first.answer(), "LOCK");
    EXPECT_TRUE(takeEvent(0, Event::Stopped));
}

TEST_F(LinkServerTest, StoppingTheLinkSendsServerDownToConnectedStations)
{
    startWith(2);
    auto first = station(0);
    auto second = station(1);
    ASSERT_NO_FATAL_FAILURE(attachConnected(first, 0));
    ASSERT_NO_FATAL_FAILURE(attachConnected(second, 1));

    link.stop();
    EXPECT_FALSE(link.isRunning());
    EXPECT_EQ(link.runningStations(), 0);
    EXPECT_EQ(first.receive(), "SERVERDOWN");
    EXPECT_EQ(second.receive(), "SERVERDOWN");
    EXPECT_TRUE(ScriptedStation::closedByPeer(first.connection));
    EXPECT_FALSE(station(0).handshake()) << "the main port is closed";
}

TEST_F(OneConnectedStation, StoppingAStationEndsEvenAnUnansweredCommand)
{
    link.sendStationCommand(0, Command::Unlock);
    EXPECT_EQ(first.receive(), "UNLOCK"); // never answered
    link.stopStationWorker(0);
    EXPECT_FALSE(link.isStationRunning(0));
    EXPECT_EQ(link.runningStations(), 0);
    EXPECT_EQ(first.receive(), "SERVERDOWN");
    EXPECT_TRUE(takeEvent(0, Event::Disconnected));
    EXPECT_FALSE(mailbox(0).holds(Event::Started));
}

// The station went away before it answered (its program restarted, say): the
// new handshake is served at once, and the command goes again on the new
// connection.
TEST_F(OneConnectedStation, AnUnansweredCommandGoesAgainOnTheStationsNextConnection)
{
    link.sendStationCommand(0, Command::Unlock);
    EXPECT_EQ(first.receive(), "UNLOCK"); // never answered
    ScriptedStation again = station(0);
    ASSERT_TRUE(again.attach());
    EXPECT_TRUE(takeEvent(0, Event::Disconnected));
    EXPECT_TRUE(takeEvent(0, Event::Connected));
    EXPECT_EQ(again.answer(), "UNLOCK");
    EXPECT_TRUE(takeEvent(0, Event::Started));
    EXPECT_FALSE(ScriptedStation::receive(first.connection, 100ms)) << "the old connection is closed";
}

// A new connection is reported with the session the station reclaims at once,
// so the console decides with both; a station that says nothing is reported
// after its moment.
TEST_F(LinkServerTest, ANewConnectionIsReportedTogetherWithItsReclaim)
{
    startWith(2);
    auto reclaiming = station(0);
    ASSERT_TRUE(reclaiming.attach());
    ASSERT_TRUE(reclaiming.send("STARTED20060811105434"));
    ASSERT_TRUE(link.waitEventForConsole(0, kPatience));
    EXPECT_TRUE(mailbox(0).holds(Event::Connected | Event::Started));
    EXPECT_EQ(link.takeReportedStamp(0), "20060811105434");
    EXPECT_EQ(link.takeReportedStamp(0), std::nullopt);

    auto silent = station(1);
    ASSERT_TRUE(silent.attach());
    const auto connected = std::chrono::steady_clock::now();
    ASSERT_TRUE(takeEvent(1, Event::Connected));
    EXPECT_GE(std::chrono::steady_clock::now() - connected, testSettings().reclaimWait - 50ms);
    EXPECT_FALSE(mailbox(1).holds(Event::Started));
}

TEST_F(LinkServerTest, RestartingOneStationLeavesTheOthersRunning)
{
    startWith(2);
    auto first = station(0);
    auto second = station(1);
    ASSERT_NO_FATAL_FAILURE(attachConnected(first, 0));
    ASSERT_NO_FATAL_FAILURE(attachConnected(second, 1));

    ASSERT_TRUE(link.restartStation(0));
    EXPECT_EQ(first.receive(), "SERVERDOWN");
    EXPECT_TRUE(takeEvent(0, Event::Disconnected));
    EXPECT_EQ(link.runningStations(), 2);

    link.sendStationCommand(1, Command::Unlock);
    EXPECT_EQ(second.answer(), "UNLOCK");
    EXPECT_TRUE(takeEvent(1, Event::Started));

    ASSERT_NO_FATAL_FAILURE(attachConnected(first, 0));
    link.sendStationCommand(0, Command::Unlock);
    EXPECT_EQ(first.answer(), "UNLOCK");
    EXPECT_TRUE(takeEvent(0, Event::Started));
}

TEST_F(LinkServerTest, StationWithoutAThreadGetsNoServiceUntilItIsStarted)
{
    startWith(2);
    link.stopStationWorker(1);
    EXPECT_FALSE(station(1).handshake());
    EXPECT_FALSE(link.startStationWorker(0)) << "already running";
    ASSERT_TRUE(link.startStationWorker(1));
    auto second = station(1);
    ASSERT_NO_FATAL_FAILURE(attachConnected(second, 1));
}

TEST_F(LinkServerTest, AddressesCanChangeWhileRunning)
{
    startWith(1);
    EXPECT_FALSE(stranger(20).handshake());
    link.setStationAddresses({stationAddress(20)});
    ASSERT_TRUE(link.restartStation(0));
    auto moved = stranger(20);
    ASSERT_NO_FATAL_FAILURE(attachConnected(moved, 0));
}

TEST_F(LinkServerTest, NoStationsConfiguredClosesEveryConnect)
{
    startWith(0);
    EXPECT_EQ(link.runningStations(), 0);
    EXPECT_FALSE(station(0).handshake());
    EXPECT_FALSE(stranger(50).handshake());
}

TEST_F(LinkServerTest, MainPortInUseFailsTheStartAndStartsNothing)
{
    startWith(1);
    LinkSettings clash = testSettings();
    clash.port = link.mainPort();
    LinkServer second(clash);
    second.setStationAddresses(addresses);
    EXPECT_FALSE(second.start(1));
    EXPECT_FALSE(second.isRunning());
    EXPECT_EQ(second.runningStations(), 0);
    EXPECT_FALSE(link.start(1)) << "already running";
}

TEST_F(LinkServerTest, ConsoleCallsOutsideTheStationRangeAreHarmless)
{
    startWith(1);
    link.sendStationCommand(-1, Command::Unlock);
    link.sendStationCommand(kMaxStations, Command::Unlock);
    link.sendSessionInfo(500, {});
    EXPECT_FALSE(link.takeEventForConsole(kMaxStations));
    EXPECT_EQ(link.stationStartTime(-3), 0);
    MailboxAccess nowhere = link.lockMailbox(kMaxStations);
    nowhere.word().post(Command::Lock);
    EXPECT_EQ(nowhere.word().commands(), Commands(Command::Lock));
    EXPECT_EQ(link.lockMailbox(kMaxStations + 1).word(), MailboxWord());
    link.stopStationWorker(-1);
    EXPECT_FALSE(link.startStationWorker(kMaxStations));
}

TEST_F(OneConnectedStation, MessagesThatArriveInOneReadAreEachTaken)
{
    // The session ended as UNLOCK went out: STOP and OK together end it stopped.
    link.sendStationCommand(0, Command::Unlock);
    EXPECT_EQ(first.receive(), "UNLOCK");
    first.send("STOPOK");
    EXPECT_TRUE(takeEvent(0, Event::Stopped));
    EXPECT_FALSE(mailbox(0).holds(Event::Started));

    // OK and a STOP right behind it: started, then stopped, nothing lost.
    link.sendStationCommand(0, Command::Unlock);
    EXPECT_EQ(first.receive(), "UNLOCK");
    first.send("OKSTOP");
    EXPECT_TRUE(takeEvent(0, Event::Started));
    EXPECT_TRUE(takeEvent(0, Event::Stopped));

    // Outside a command: a reclaim and the end of the session in one read.
    first.send("STARTED20060811105434STOP");
    EXPECT_TRUE(takeEvent(0, Event::Started));
    EXPECT_TRUE(takeEvent(0, Event::Stopped));
    EXPECT_EQ(platform::formatLocalTime("%Y%m%d%H%M%S", link.stationStartTime(0)), "20060811105434");
}

TEST_F(OneConnectedStation, MessagesSplitAtEveryByteStillArrive)
{
    const std::string started = "STARTED20060811105434";
    for (std::size_t cut = 1; cut < started.size(); ++cut) {
        ASSERT_TRUE(sendSplit(first.connection, started, cut));
        EXPECT_TRUE(takeEvent(0, Event::Started)) << "cut at byte " << cut;
    }
    for (std::size_t cut = 1; cut < 4; ++cut) {
        ASSERT_TRUE(sendSplit(first.connection, "STOP", cut));
        EXPECT_TRUE(takeEvent(0, Event::Stopped)) << "cut at byte " << cut;
    }
    // The answer to a command, split.
    link.sendStationCommand(0, Command::Unlock);
    EXPECT_EQ(first.receive(), "UNLOCK");
    ASSERT_TRUE(sendSplit(first.connection, "OK", 1));
    EXPECT_TRUE(takeEvent(0, Event::Started));
}

TEST_F(LinkServerTest, HandshakeSplitAtEveryByteIsAnswered)
{
    startWith(1);
    auto first = station(0);
    std::string connect = buildConnect(first.address());
    for (std::size_t cut = 1; cut < connect.size(); ++cut) {
        auto call = first.dial(link.mainPort());
        ASSERT_TRUE(sendSplit(call, connect, cut));
        auto reply = ScriptedStation::receive(call);
        ASSERT_TRUE(reply) << "cut at byte " << cut;
        EXPECT_TRUE(parsePortReply(*reply));
        // The answer "OK" split too arms the port: the station gets in.
        ASSERT_TRUE(sendSplit(call, "OK", 1));
        EXPECT_TRUE(ScriptedStation::closedByPeer(call));
        first.connection = first.dial(*parsePortReply(*reply));
        ASSERT_TRUE(first.connection.isValid());
        EXPECT_TRUE(takeEvent(0, Event::Connected)) << "cut at byte " << cut;
    }
}

// With the cafe's key, a station is served only when it proves the key, on the
// main port and again on its own port. A station without a key is served only
// once the owner allows it; everyone turned away is reported with the reason.
TEST(KeyedLink, OnlyStationsThatProveTheKeyAreServedAndTheOthersAreReported)
{
    const CafeKey key = *CafeKey::generate();
    LinkSettings settings = testSettings();
    settings.key = key;
    LinkServer link(settings);
    link.setStationAddresses({stationAddress(2), stationAddress(3)});
    ASSERT_TRUE(link.start(2));
    auto takeEvent = [&](int i, StationEvents events) { return takeConsoleEvent(link, i, events, kPatience, 20ms); };

    ScriptedStation keyed(stationAddress(2), link.mainPort(), key);
    ASSERT_TRUE(keyed.attach());
    ASSERT_TRUE(takeEvent(0, Event::Connected));
    EXPECT_EQ(link.stationKeying(0), StationKeying::Keyed);
    link.sendStationCommand(0, Command::Unlock);
    EXPECT_EQ(keyed.answer(), "UNLOCK");
    EXPECT_TRUE(takeEvent(0, Event::Started));

    ScriptedStation keyless(stationAddress(3), link.mainPort());
    EXPECT_FALSE(keyless.handshake());
    EXPECT_FALSE(ScriptedStation(stationAddress(3), link.mainPort(), *CafeKey::generate()).attach());
    EXPECT_FALSE(ScriptedStation(stationAddress(9), link.mainPort(), key).handshake());
    // A station that announces another address than the one it comes from (as
    // one that took its host name's 127.0.1.1 did) is named with both.
    EXPECT_FALSE(ScriptedStation(stationAddress(2), link.mainPort(), key).handshake("OK", "CONNECT127.0.1.1"));
    const LinkRefusal otherClaim{stationAddress(2), LinkRefusal::Reason::ClaimedOtherAddress, {{127, 0, 1, 1}}};
    EXPECT_TRUE(refusalsInclude(link, {{stationAddress(3), LinkRefusal::Reason::NoKey},
                                       {stationAddress(3), LinkRefusal::Reason::WrongKey},
                                       {stationAddress(9), LinkRefusal::Reason::UnknownStation},
                                       otherClaim}));
    EXPECT_EQ(describeRefusal(otherClaim), "claimed 127.0.1.1");
    EXPECT_EQ(link.stationKeying(1), StationKeying::Keyless);

    // A handshake that proved the key opens a port only the key can use: the
    // customer's plain connection to it (from the station's own address) is not served.
    auto port = keyed.handshake();
    ASSERT_TRUE(port);
    ScriptedStation pretender(stationAddress(2), link.mainPort());
    Channel plainToPort = pretender.dial(*port);
    ASSERT_TRUE(plainToPort.isValid());
    plainToPort.send("STARTED20060811105434");
    EXPECT_TRUE(ScriptedStation::closedByPeer(plainToPort));
    EXPECT_FALSE(link.lockMailbox(0).word().holds(Event::Started));

    // The owner lets the old station connect without a key.
    link.setKeylessStations({stationAddress(3)});
    ASSERT_TRUE(keyless.attach());
    EXPECT_TRUE(takeEvent(1, Event::Connected));
    EXPECT_EQ(link.stationKeying(1), StationKeying::Keyless);
}

// A station that holds a key meets a console that has none: it is not served,
// and the console says why.
TEST_F(LinkServerTest, AStationWithAKeyIsReportedByAConsoleWithout)
{
    startWith(1);
    EXPECT_FALSE(ScriptedStation(stationAddress(2), link.mainPort(), *CafeKey::generate()).handshake());
    EXPECT_TRUE(refusalsInclude(link, {{stationAddress(2), LinkRefusal::Reason::ConsoleHasNoKey}}));
}
