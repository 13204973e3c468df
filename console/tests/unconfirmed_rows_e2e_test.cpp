// Rows whose station never confirms: a "Starting" or "Swapping" row can be
// stopped by the operator, billing only the time the station was usable, and
// confirmations that come after all bill nothing a second time.

#include "three_station_cafe.h"

#include "console/texts.h"
#include "link/station_words.h"

#include <gtest/gtest.h>

namespace console::test {

class UnconfirmedRows : public ThreeStationCafe {
protected:
    std::size_t bills() { return console().billPanel().openBills().size(); }
    long count(const std::string& event)
    {
        const auto events = log();
        return std::count(events.begin(), events.end(), event);
    }

    void startSession(int i)
    {
        rig.select({i});
        console().onStartPressed();
        ASSERT_TRUE(cafe->runUntil([&] { return rig.status(i) == kStatusStarted && !cafe->station(i).locked(); }));
    }

    // Ticks the stations, without the console's event poll, until station i's
    // STARTED waits in its MailboxWord.
    bool confirmationWaiting(int i)
    {
        return cafe->tickStationsUntil(
            [&] { return console().link().lockMailbox(i).word().holds(stationlink::Event::Started); });
    }

    // Runs everything until station i has answered the console's LOCK, and a little more.
    void settleStation(int i)
    {
        ASSERT_TRUE(cafe->runUntil([&] { return hasEvent(log(), "STOPPED," + std::to_string(i)); }));
        cafe->runFor(300ms);
        EXPECT_TRUE(cafe->station(i).locked());
        EXPECT_EQ(rig.status(i), kStatusStopped);
    }
};

TEST_F(UnconfirmedRows, AStartNeverConfirmedIsStoppedWithoutABill)
{
    rig.select({0});
    console().onStartPressed();
    cafe->runStationsUntil(
        {1, 2}, [] { return false; }, 200ms); // station 1 hears nothing
    ASSERT_EQ(rig.status(0), kStatusStarting);

    rig.select({0, 1});
    EXPECT_FALSE(view().buttons.stop.enabled) << "a Stopped row is not stoppable";
    rig.select({0});
    EXPECT_TRUE(view().buttons.stop.enabled);
    EXPECT_FALSE(view().buttons.start.enabled);

    rig.clock.advance(600);
    console().onStopPressed();
    EXPECT_EQ(rig.status(0), kStatusStopped);
    EXPECT_EQ(console().stationTable().row(0), (StationTable::Row{"1", "Stopped", "", "", "0.00", "0.00", "0.00"}));
    EXPECT_TRUE(hasEvent(log(), "STOPPING,0"));
    EXPECT_EQ(bills(), 0u);
    EXPECT_TRUE(view().buttons.start.enabled);
    EXPECT_FALSE(view().buttons.stop.enabled);

    // The station wakes up: it reads the UNLOCK and the LOCK behind it and ends locked.
    settleStation(0);
    EXPECT_EQ(bills(), 0u);

    // Its next session is an ordinary one.
    startSession(0);
    rig.tickAfter(61s);
    cafe->station(0).endSession();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(0) == kStatusStopped; }));
    ASSERT_EQ(bills(), 1u);
    EXPECT_EQ(view().bill.list.rows.at(0).description, "00 hrs 01 mins 01 secs");
}

// The station unlocked and said so, but the operator had given up before the
// console read it: the confirmation locks the station again and bills nothing.
TEST_F(UnconfirmedRows, AConfirmationAfterTheOperatorGaveUpMakesNoBill)
{
    rig.select({0});
    console().onStartPressed();
    ASSERT_TRUE(confirmationWaiting(0));
    ASSERT_FALSE(cafe->station(0).locked());
    ASSERT_EQ(rig.status(0), kStatusStarting);

    rig.clock.advance(600);
    rig.select({0});
    console().onStopPressed();
    settleStation(0);
    EXPECT_EQ(count("STARTED,0"), 1) << "the late confirmation";
    EXPECT_EQ(bills(), 0u);
    rig.tickAfter(60s);
    EXPECT_EQ(rig.text(0, Column::AccessCost), "0.00");

    // No second LOCK was left behind to end the next session as it starts.
    startSession(0);
    cafe->runFor(300ms);
    EXPECT_EQ(rig.status(0), kStatusStarted);
    EXPECT_FALSE(cafe->station(0).locked());
}

// The session moved to a station that confirmed only after the operator had
// stopped it: the bill covers the time up to the swap, once.
TEST_F(UnconfirmedRows, ASwapTargetNeverConfirmedIsBilledUpToTheSwapOnce)
{
    startSession(0);
    rig.tickAfter(1861s);
    rig.select({0});
    console().onBillPressed();
    console().billPanel().onItemPressed(0);
    console().onEnter();

    rig.select({0, 1});
    console().onSwapPressed();
    ASSERT_TRUE(cafe->runStationsUntil({0}, [&] { return rig.status(0) == kStatusStopped; }));
    ASSERT_EQ(rig.status(1), kStatusSwapping);
    ASSERT_EQ(bills(), 1u) << "the open bill that moved to station 2";
    // Station 2 unlocks and answers, but the console has not read it yet.
    ASSERT_TRUE(confirmationWaiting(1));

    rig.clock.advance(600);
    rig.select({1});
    EXPECT_TRUE(view().buttons.stop.enabled);
    console().onStopPressed();
    EXPECT_EQ(rig.status(1), kStatusStopped);
    EXPECT_TRUE(hasEvent(log(), "STOPPING,1"));
    ASSERT_EQ(bills(), 1u);
    EXPECT_EQ(console().billPanel().selectorEntries(), std::vector<std::string>{"Comp#: 2"});
    EXPECT_EQ(console().billPanel().openBills()[0].items,
              (std::vector<store::BillItem>{{"2", "00 hrs 31 mins 01 secs", "2.00"}, {"", "Coffee", "1.50"}}));

    settleStation(1);
    EXPECT_EQ(count("STARTED,1"), 1);
    EXPECT_EQ(bills(), 1u) << "the late confirmation bills nothing again";
    EXPECT_EQ(count("ADD ITEM,00 hrs 31 mins 01 secs,2.00"), 1);
    rig.tickAfter(60s);
    EXPECT_EQ(rig.text(1, Column::AccessCost), "0.00");
}

TEST_F(UnconfirmedRows, ASwapSourceNeverLockedMakesNoBill)
{
    startSession(0);
    rig.tickAfter(1861s);
    rig.select({0, 1});
    console().onSwapPressed();
    ASSERT_TRUE(cafe->runStationsUntil({1, 2}, [&] { return rig.status(1) == kStatusStarted; }));
    ASSERT_EQ(rig.status(0), kStatusSwapping);

    rig.select({0});
    EXPECT_TRUE(view().buttons.stop.enabled);
    console().onStopPressed();
    EXPECT_EQ(rig.status(0), kStatusStopped);
    EXPECT_TRUE(hasEvent(log(), "STOPPING,0"));
    EXPECT_EQ(bills(), 0u);
    settleStation(0);
    EXPECT_EQ(bills(), 0u);

    // The session goes on at the target and is billed there, in full, once.
    EXPECT_EQ(rig.status(1), kStatusStarted);
    rig.select({1});
    console().onStopPressed();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStopped; }));
    ASSERT_EQ(bills(), 1u);
    EXPECT_EQ(view().bill.caption.text, "Comp#: 2");
    EXPECT_EQ(view().bill.list.rows.at(0), (store::BillItem{"2", "00 hrs 31 mins 01 secs", "2.00"}));
}

} // namespace console::test
