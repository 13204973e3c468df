// A station is not trusted with the money: a script on the station's own
// address does the handshake and says what it likes ("STARTED" with any stamp,
// "STOP"). The console's own record decides what a session costs, every stamp
// it refuses is logged, and the station is locked.

#include "console_rig.h"

#include "console/texts.h"
#include "link/cafe_key.h"
#include "link/station_words.h"
#include "link/protocol.h"
#include "scripted_station.h"

#include <gtest/gtest.h>

#include <thread>

namespace console::test {

namespace {

using stationlink::test::ScriptedStation;

// The next command the console sent, answered "OK"; session figures on the way
// are answered and passed over.
std::optional<std::string> nextCommand(ScriptedStation& station)
{
    for (;;) {
        auto message = station.answer();
        if (!message || stationlink::classifyServerMessage(*message) != stationlink::ServerMessageKind::SessionInfo)
            return message;
    }
}

// Run twice: the script without a key against a cafe without one, and with the
// cafe's key (a customer who read it off the station) against a keyed cafe.
class StationTrust : public ::testing::TestWithParam<bool> {
protected:
    TempFolder folder;
    ConsoleRig rig{folder.path(), noonOfTestDay()};
    std::unique_ptr<ScriptedStation> script;

    std::optional<stationlink::CafeKey> key;

    void SetUp() override
    {
        if (GetParam()) {
            key = stationlink::CafeKey::generate();
            ASSERT_TRUE(key);
            testsupport::writeFile(folder.path() / "BriskoKey", key->code() + "\n");
        }
        writeClients(folder.path(), 1);
        writeStandardRates(folder.path());
        rig.startConsole();
        script = std::make_unique<ScriptedStation>(stationAddress(0), rig.mainPort(), key);
    }

    // Runs the console's event poll until `done` holds.
    bool pollUntil(const std::function<bool()>& done)
    {
        for (auto deadline = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < deadline;) {
            rig.console().eventPoll();
            if (done())
                return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }
    // The script connects and, saying nothing, is locked as it connects.
    void attachIdle()
    {
        ASSERT_TRUE(script->attach());
        ASSERT_TRUE(pollUntil([&] { return rig.status(0) == kStatusStopped; }));
        EXPECT_EQ(nextCommand(*script), "LOCK");
        ASSERT_TRUE(pollUntil(
            [&] { return !rig.console().link().lockMailbox(0).word().has(stationlink::LinkState::Stopping); }));
    }
    void startSession()
    {
        rig.select({0});
        rig.console().onStartPressed();
        EXPECT_EQ(nextCommand(*script), "UNLOCK");
        ASSERT_TRUE(pollUntil([&] { return rig.status(0) == kStatusStarted; }));
    }
    std::string stampAt(std::time_t t) { return stationlink::formatSessionStamp(t); }
    std::vector<std::string> log() { return logEvents(folder.path()); }
    std::string billedLine()
    {
        const auto& bills = rig.console().billPanel().openBills();
        return bills.empty() ? std::string() : bills.back().items.at(0).description;
    }
};

} // namespace

TEST_P(StationTrust, AForgedStampOnARunningSessionIsRefusedAndTheSessionIsBilledFromItsRealStart)
{
    ASSERT_NO_FATAL_FAILURE(attachIdle());
    ASSERT_NO_FATAL_FAILURE(startSession());
    rig.tickAfter(600s);
    const std::string future = stampAt(noonOfTestDay() + std::time_t{3} * 3600);
    ASSERT_TRUE(script->send("STARTED" + future));
    ASSERT_TRUE(pollUntil([&] { return hasEvent(log(), "STAMP REFUSED,0," + future); }));
    EXPECT_EQ(rig.text(0, Column::Start), "12:00:00") << "the console's own start stands";
    // The station is locked; the session ends billed from its real start.
    EXPECT_EQ(nextCommand(*script), "LOCK");
    rig.clock.advance(30); // the station takes its time to confirm
    ASSERT_TRUE(pollUntil([&] { return !rig.console().billPanel().openBills().empty(); }));
    EXPECT_EQ(billedLine(), "00 hrs 10 mins 00 secs");
    EXPECT_EQ(rig.status(0), kStatusStopped);
}

TEST_P(StationTrust, AForgedStopIsBilledUpToItAndTheStationIsLocked)
{
    ASSERT_NO_FATAL_FAILURE(attachIdle());
    ASSERT_NO_FATAL_FAILURE(startSession());
    rig.tickAfter(120s);
    ASSERT_TRUE(script->send(stationlink::kStop));
    ASSERT_TRUE(pollUntil([&] { return !rig.console().billPanel().openBills().empty(); }));
    EXPECT_EQ(billedLine(), "00 hrs 02 mins 00 secs");
    // A "STOP" proves nothing: the station is locked all the same.
    EXPECT_EQ(nextCommand(*script), "LOCK");

    // The charged session cannot be taken up again with its own stamp ...
    rig.clock.advance(60);
    const std::string charged = stampAt(noonOfTestDay());
    ASSERT_TRUE(script->send("STARTED" + charged));
    ASSERT_TRUE(pollUntil([&] { return hasEvent(log(), "STAMP REFUSED,0," + charged); }));
    EXPECT_EQ(nextCommand(*script), "LOCK");
    EXPECT_EQ(rig.status(0), kStatusStopped);
    EXPECT_EQ(rig.console().billPanel().openBills().size(), 1u);
}

TEST_P(StationTrust, AnIdleRowTakesUpOnlyAStampThatCouldBeARealSessionItNeverBilled)
{
    ASSERT_NO_FATAL_FAILURE(attachIdle());
    const std::time_t now = noonOfTestDay();
    for (const std::string& forged : {stampAt(now + 60), stampAt(now - std::time_t{25} * 3600)}) {
        ASSERT_TRUE(script->send("STARTED" + forged));
        ASSERT_TRUE(pollUntil([&] { return hasEvent(log(), "STAMP REFUSED,0," + forged); }))
            << forged << ::testing::PrintToString(log());
        EXPECT_EQ(nextCommand(*script), "LOCK") << forged;
        EXPECT_EQ(rig.status(0), kStatusStopped) << forged;
    }
    // A session of an hour ago, which the console never counted (it lost it in
    // a crash), is taken up from the station's stamp.
    const std::string reclaimed = stampAt(now - 3600);
    ASSERT_TRUE(script->send("STARTED" + reclaimed));
    ASSERT_TRUE(pollUntil([&] { return rig.status(0) == kStatusStarted; }));
    EXPECT_EQ(rig.text(0, Column::Start), "11:00:00");

    // The station's billed end is kept across a restart: after a stop, the
    // same stamp is refused by a new console on the same folder.
    rig.select({0});
    rig.console().onStopPressed();
    EXPECT_EQ(nextCommand(*script), "LOCK");
    ASSERT_TRUE(pollUntil([&] { return !rig.console().billPanel().openBills().empty(); }));
    EXPECT_EQ(billedLine(), "01 hrs 00 mins 00 secs");
    rig.engine.reset();
    rig.startConsole();
    script = std::make_unique<ScriptedStation>(stationAddress(0), rig.mainPort(), key);
    ASSERT_TRUE(script->attach());
    ASSERT_TRUE(script->send("STARTED" + reclaimed));
    ASSERT_TRUE(pollUntil(
        [&] { return hasEvent(log(), "STAMP REFUSED,0," + reclaimed + "") && rig.status(0) == kStatusStopped; }));
    EXPECT_EQ(nextCommand(*script), "LOCK");
}

INSTANTIATE_TEST_SUITE_P(KeylessAndKeyed, StationTrust, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& run) { return run.param ? "Keyed" : "Keyless"; });

} // namespace console::test
