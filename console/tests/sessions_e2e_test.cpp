// Sessions end to end: the console engine with the real link on loopback and
// real station client engines, one per station address.

#include "cafe.h"

#include "console/texts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace console::test {

class SessionsEndToEnd : public ::testing::Test {
protected:
    static constexpr int kStations = 5;
    TempFolder folder;
    ConsoleRig rig{folder.path(), noonOfTestDay()};
    std::unique_ptr<Cafe> cafe;

    void SetUp() override
    {
        writeClients(folder.path(), kStations);
        writeStandardRates(folder.path());
        writeSaleItems(folder.path(), {{"Coffee", 1.50, true}, {"Tea & Cake", 0.0, false}});
        rig.startConsole();
        cafe = std::make_unique<Cafe>(rig);
        for (int i = 0; i < kStations; ++i)
            cafe->addStation(i);
        ASSERT_TRUE(cafe->allReady()) << describe();
    }

    std::string describe()
    {
        std::string out;
        for (int i = 0; i < kStations; ++i) {
            out += "row " + std::to_string(i) + ": " + rig.status(i) +
                   " connected=" + std::to_string(cafe->station(i).connected()) + "\n";
            for (const std::string& line : cafe->station(i).logLines())
                out += "   " + line + "\n";
        }
        for (const std::string& e : log())
            out += "log: " + e + "\n";
        return out;
    }

    ConsoleEngine& console() { return rig.console(); }
    const ConsoleView view() { return console().view(); }
    std::vector<std::string> log() { return logEvents(folder.path()); }

    bool waitStatus(int i, std::string_view status)
    {
        return cafe->runUntil([&] { return rig.status(i) == status; });
    }

    // Starts the stations and waits for their confirmation.
    void startSessions(const std::vector<int>& rows)
    {
        rig.select(rows);
        console().onStartPressed();
        for (int i : rows) {
            ASSERT_TRUE(waitStatus(i, kStatusStarted)) << "station " << i << describe();
            ASSERT_TRUE(cafe->runUntil([&] { return !cafe->station(i).locked(); }));
        }
    }

    void stopSessions(const std::vector<int>& rows)
    {
        rig.select(rows);
        console().onStopPressed();
    }
};

TEST_F(SessionsEndToEnd, StartIsConfirmedByTheStationAndTheTickKeepsItsFigures)
{
    rig.select({0});
    EXPECT_TRUE(view().buttons.start.enabled);
    EXPECT_EQ(view().defaultButton, DefaultButton::Start);
    console().onStartPressed();
    EXPECT_EQ(rig.status(0), kStatusStarting);
    EXPECT_EQ(rig.text(0, Column::Start), "12:00:00");
    EXPECT_TRUE(hasEvent(log(), "STARTING,0"));

    ASSERT_TRUE(waitStatus(0, kStatusStarted));
    ASSERT_TRUE(cafe->runUntil([&] { return !cafe->station(0).locked(); }));
    EXPECT_TRUE(hasEvent(log(), "STARTED,0"));
    EXPECT_EQ(rig.text(0, Column::Start), "12:00:00");
    EXPECT_TRUE(view().buttons.stop.enabled);
    EXPECT_FALSE(view().buttons.start.enabled);
    EXPECT_EQ(view().defaultButton, DefaultButton::Bill);

    rig.tickAfter(61s);
    EXPECT_EQ(rig.text(0, Column::Duration), "00:01:01");
    EXPECT_EQ(rig.text(0, Column::AccessCost), "1.50");
    EXPECT_EQ(rig.text(0, Column::Total), "1.50");
    // The station shows the figures and learns the session's stamp.
    ASSERT_TRUE(cafe->runUntil([&] { return cafe->station(0).state().duration == "00:01"; }));
    EXPECT_EQ(cafe->station(0).state().sessionStamp, "20240301120000");
    EXPECT_EQ(cafe->station(0).state().accessCost, "\x80"
                                                   "1.50");

    // Session info goes out only when the minute or the charge changes.
    rig.tickAfter(1800s);
    EXPECT_EQ(rig.text(0, Column::Duration), "00:31:01");
    EXPECT_EQ(rig.text(0, Column::AccessCost), "2.00");
    ASSERT_TRUE(cafe->runUntil([&] {
        return cafe->station(0).state().total == "\x80"
                                                 "2.00";
    }));
}

TEST_F(SessionsEndToEnd, StopFromTheConsoleMakesTheSessionBill)
{
    startSessions({1});
    rig.tickAfter(1861s);
    stopSessions({1});
    EXPECT_EQ(rig.status(1), kStatusStarted) << "unchanged until the station confirms";
    EXPECT_TRUE(hasEvent(log(), "STOPPING,1"));

    ASSERT_TRUE(waitStatus(1, kStatusStopped));
    EXPECT_TRUE(cafe->station(1).locked());
    EXPECT_EQ(rig.text(1, Column::Start), "");
    EXPECT_EQ(rig.text(1, Column::Duration), "");
    EXPECT_EQ(rig.text(1, Column::AccessCost), "0.00");
    EXPECT_EQ(rig.text(1, Column::Total), "0.00");

    const ConsoleView v = view();
    EXPECT_TRUE(v.bill.title.visible);
    EXPECT_EQ(v.bill.caption.text, "Comp#: 2");
    ASSERT_EQ(v.bill.list.rows.size(), 1u);
    EXPECT_EQ(v.bill.list.rows[0], (store::BillItem{"2", "00 hrs 31 mins 01 secs", "2.00"}));
    EXPECT_EQ(v.bill.totalDisplay.text, "2.00");
    EXPECT_FALSE(v.bill.selector.visible);
    EXPECT_TRUE(v.bill.tenderField.visible);
    EXPECT_EQ(v.focusRequest.control, FocusTarget::Control::TenderField);
    EXPECT_EQ(v.bill.itemPanelButton.caption, "Add Items");
    EXPECT_TRUE(hasEvent(log(), "STOPPED,1"));
    EXPECT_TRUE(hasEvent(log(), "ADD ITEM,00 hrs 31 mins 01 secs,2.00"));
}

TEST_F(SessionsEndToEnd, StopFromTheStationMakesTheSameBill)
{
    startSessions({2});
    rig.tickAfter(1861s);
    cafe->station(2).endSession();
    ASSERT_TRUE(waitStatus(2, kStatusStopped));
    const ConsoleView v = view();
    EXPECT_EQ(v.bill.caption.text, "Comp#: 3");
    ASSERT_EQ(v.bill.list.rows.size(), 1u);
    EXPECT_EQ(v.bill.list.rows[0], (store::BillItem{"3", "00 hrs 31 mins 01 secs", "2.00"}));
    EXPECT_FALSE(hasEvent(log(), "STOPPING,2"));
    EXPECT_TRUE(hasEvent(log(), "STOPPED,2"));
}

TEST_F(SessionsEndToEnd, AStopFromAnIdleStationMakesNoBill)
{
    // Counted from the session's start: the station's answer to the LOCK it got
    // on connecting comes before it, at a moment that varies from run to run.
    const auto stoppedLines = [&] {
        const auto events = log();
        const auto started = std::find(events.begin(), events.end(), "STARTED,2");
        return std::count(started, events.end(), "STOPPED,2");
    };
    startSessions({2});
    cafe->station(2).endSession();
    ASSERT_TRUE(waitStatus(2, kStatusStopped));
    ASSERT_EQ(console().billPanel().openBills().size(), 1u);
    // A "STOP" proves nothing: the console locks the station all the same, and
    // its answer is a second STOPPED.
    ASSERT_TRUE(cafe->runUntil([&] { return stoppedLines() == 2; }));
    rig.tickAfter(3600s);

    // The desktop session of the locked station ends: it says "STOP" again.
    cafe->station(2).desktopSessionEnds();
    ASSERT_TRUE(cafe->runUntil([&] { return stoppedLines() == 3; }));
    EXPECT_EQ(console().billPanel().openBills().size(), 1u);
    EXPECT_EQ(rig.status(2), kStatusStopped);
}

TEST_F(SessionsEndToEnd, StationsStoppedTogetherShareOneBill)
{
    startSessions({1, 4});
    rig.tickAfter(61s);
    stopSessions({1, 4});
    // Both stations lock before the console looks at their events.
    ASSERT_TRUE(cafe->tickStationsUntil([&] { return cafe->station(1).locked() && cafe->station(4).locked(); }));
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStopped && rig.status(4) == kStatusStopped; }));

    const ConsoleView v = view();
    EXPECT_EQ(console().billPanel().openBills().size(), 1u);
    // The stations are listed in the order their STOPPED events reached the console.
    EXPECT_THAT(v.bill.caption.text, testing::AnyOf("Comp#: 2, 5", "Comp#: 5, 2"));
    ASSERT_EQ(v.bill.list.rows.size(), 2u);
    EXPECT_EQ(v.bill.caption.text,
              "Comp#: " + v.bill.list.rows[0].stationText + ", " + v.bill.list.rows[1].stationText);
    EXPECT_EQ(v.bill.totalDisplay.text, "3.00");
    EXPECT_EQ(v.focusRequest.control, FocusTarget::Control::TenderField);
}

TEST_F(SessionsEndToEnd, APooledBillWaitsForItsLastStation)
{
    startSessions({1, 4});
    stopSessions({1, 4});
    // Only station 5 has read its LOCK so far.
    ASSERT_TRUE(cafe->runStationsUntil({4}, [&] { return rig.status(4) == kStatusStopped; }));
    EXPECT_TRUE(console().billPanel().openBills().empty());
    EXPECT_FALSE(view().bill.title.visible);

    ASSERT_TRUE(waitStatus(1, kStatusStopped));
    ASSERT_EQ(console().billPanel().openBills().size(), 1u);
    EXPECT_EQ(view().bill.caption.text, "Comp#: 5, 2");

    // The group is over: station 5's next session is billed on its own.
    startSessions({4});
    cafe->station(4).endSession();
    ASSERT_TRUE(waitStatus(4, kStatusStopped));
    ASSERT_EQ(console().billPanel().openBills().size(), 2u);
    EXPECT_EQ(console().billPanel().selectorEntries().back(), "Comp#: 5");
}

// Station 2 does not answer its LOCK, so its customer moves to station 3: the
// bill of the stations stopped together no longer waits for it.
TEST_F(SessionsEndToEnd, ASwapTakesItsSourceOutOfAPooledStop)
{
    startSessions({1, 4});
    rig.tickAfter(61s);
    stopSessions({1, 4});
    ASSERT_TRUE(cafe->runStationsUntil({4}, [&] { return rig.status(4) == kStatusStopped; }));
    ASSERT_TRUE(console().billPanel().openBills().empty());

    rig.select({1, 2});
    console().onSwapPressed();
    ASSERT_EQ(console().billPanel().openBills().size(), 1u);
    EXPECT_EQ(view().bill.caption.text, "Comp#: 5");
    ASSERT_EQ(view().bill.list.rows.size(), 1u);
    EXPECT_EQ(view().bill.list.rows[0].stationText, "5");

    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStopped && rig.status(2) == kStatusStarted; }));
    stopSessions({2});
    ASSERT_TRUE(waitStatus(2, kStatusStopped));
    ASSERT_EQ(console().billPanel().openBills().size(), 2u);
    EXPECT_EQ(console().billPanel().selectorEntries().back(), "Comp#: 3");
    EXPECT_EQ(console().billPanel().openBills().back().items.at(0).description, "00 hrs 01 mins 01 secs");
}

TEST_F(SessionsEndToEnd, SwapMovesTheRunningChargeAndTheOpenBill)
{
    startSessions({0});
    rig.tickAfter(1861s);
    // An open bill for station 1 with one item.
    rig.select({0});
    console().onBillPressed();
    EXPECT_EQ(view().bill.selector.entries, std::vector<std::string>{"Open Bill: Comp#: 1"});
    console().billPanel().onItemPressed(0);
    EXPECT_EQ(rig.text(0, Column::Extras), "1.50");
    EXPECT_EQ(rig.text(0, Column::Total), "3.50");

    rig.select({0, 2});
    EXPECT_TRUE(view().buttons.swap.enabled);
    EXPECT_FALSE(view().buttons.start.enabled);
    EXPECT_FALSE(view().buttons.stop.enabled);
    console().onSwapPressed();
    EXPECT_EQ(rig.status(0), kStatusSwapping);
    EXPECT_EQ(rig.status(2), kStatusSwapping);
    EXPECT_TRUE(hasEvent(log(), "SWAPPING,0 (stopping),2 (starting)"));
    EXPECT_EQ(rig.text(2, Column::Start), "12:00:00");
    EXPECT_EQ(rig.text(2, Column::AccessCost), "2.00");
    EXPECT_EQ(rig.text(2, Column::Extras), "1.50");
    EXPECT_EQ(rig.text(0, Column::AccessCost), "0.00");
    EXPECT_EQ(view().bill.selector.entries, std::vector<std::string>{"Open Bill: Comp#: 3"});
    EXPECT_EQ(view().bill.caption.text, "Open Bill: Comp#: 3");

    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(0) == kStatusStopped && rig.status(2) == kStatusStarted; }));
    EXPECT_TRUE(cafe->station(0).locked());
    EXPECT_FALSE(cafe->station(2).locked());
    EXPECT_EQ(console().billPanel().openBills().size(), 1u) << "the source's STOPPED makes no bill";

    // The charge goes on from the session's first start.
    rig.tickAfter(900s);
    EXPECT_EQ(rig.text(2, Column::Duration), "00:46:01");
    EXPECT_EQ(rig.text(2, Column::AccessCost), "2.50");
    EXPECT_EQ(rig.text(2, Column::Total), "4.00");

    stopSessions({2});
    ASSERT_TRUE(waitStatus(2, kStatusStopped));
    ASSERT_EQ(console().billPanel().openBills().size(), 1u);
    const ConsoleView v = view();
    EXPECT_EQ(v.bill.caption.text, "Comp#: 3");
    ASSERT_EQ(v.bill.list.rows.size(), 2u);
    EXPECT_EQ(v.bill.list.rows[0], (store::BillItem{"3", "00 hrs 46 mins 01 secs", "2.50"}));
    EXPECT_EQ(v.bill.list.rows[1], (store::BillItem{"", "Coffee", "1.50"}));
    EXPECT_EQ(v.bill.totalDisplay.text, "4.00");
}

TEST_F(SessionsEndToEnd, ASwapTargetThatGoesAwayStillHoldsTheSession)
{
    startSessions({0});
    rig.tickAfter(1861s);
    rig.select({0, 1});
    console().onSwapPressed();
    // The source locks; the target goes away before it has read its UNLOCK.
    ASSERT_TRUE(cafe->runStationsUntil({0}, [&] { return rig.status(0) == kStatusStopped; }));
    cafe->station(1).vanish();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusDisconnected; }));
    EXPECT_TRUE(console().billPanel().openBills().empty());

    rig.select({1});
    EXPECT_TRUE(view().buttons.stop.enabled);
    console().onStopPressed();
    ASSERT_EQ(console().billPanel().openBills().size(), 1u);
    EXPECT_EQ(view().bill.caption.text, "Comp#: 2");
    EXPECT_EQ(view().bill.list.rows.at(0), (store::BillItem{"2", "00 hrs 31 mins 01 secs", "2.00"}));
}

// The session has moved on: a swap source that goes away before it locks holds
// no session, so it can be neither billed nor unlocked again.
TEST_F(SessionsEndToEnd, ASwapSourceThatGoesAwayHoldsNoSession)
{
    startSessions({0, 2});
    rig.tickAfter(1861s);
    rig.select({0, 1});
    console().onSwapPressed();
    ASSERT_TRUE(cafe->runStationsUntil({1}, [&] { return rig.status(1) == kStatusStarted; }));
    cafe->station(0).vanish();
    ASSERT_TRUE(cafe->runStationsUntil({1}, [&] { return rig.status(0) == kStatusDisconnected; }));
    rig.select({0});
    EXPECT_FALSE(view().buttons.stop.enabled);
    console().onStopPressed();
    EXPECT_TRUE(console().billPanel().openBills().empty());

    // The other swap source comes back as a new program: it stays locked and idle.
    rig.select({2, 3});
    console().onSwapPressed();
    ASSERT_TRUE(cafe->runStationsUntil({3}, [&] { return rig.status(3) == kStatusStarted; }));
    cafe->station(2).restartProgram();
    ASSERT_TRUE(cafe->runUntil([&] { return hasEvent(log(), "CONNECTED,2") && rig.status(2) == kStatusStopped; }));
    rig.tickAfter(1s);
    cafe->runFor(300ms);
    EXPECT_TRUE(cafe->station(2).locked());
    EXPECT_EQ(rig.status(2), kStatusStopped);

    rig.select({1, 3});
    console().onStopPressed();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStopped && rig.status(3) == kStatusStopped; }));
    cafe->runFor(300ms);
    ASSERT_EQ(console().billPanel().openBills().size(), 1u) << "one bill for both moved sessions, none for the sources";
    EXPECT_THAT(view().bill.caption.text, testing::AnyOf("Comp#: 2, 4", "Comp#: 4, 2"));
}

// A station back during its session has its UNLOCK waiting for the next tick;
// swapping the session away at once leaves it locked, and only the target bills.
TEST_F(SessionsEndToEnd, ASwapRightAfterAReconnectLeavesTheSourceLocked)
{
    startSessions({0});
    rig.tickAfter(1861s);
    cafe->station(0).restartProgram();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.text(0, Column::Duration) == "?"; }));
    rig.select({0, 1});
    console().onSwapPressed();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(0) == kStatusStopped && rig.status(1) == kStatusStarted; }));
    rig.tickAfter(1s);
    cafe->runFor(300ms);
    EXPECT_TRUE(cafe->station(0).locked());
    EXPECT_EQ(rig.status(0), kStatusStopped);

    rig.select({1});
    console().onStopPressed();
    ASSERT_TRUE(waitStatus(1, kStatusStopped));
    cafe->runFor(300ms);
    ASSERT_EQ(console().billPanel().openBills().size(), 1u);
    EXPECT_EQ(view().bill.caption.text, "Comp#: 2");
    const auto lines = cafe->station(0).logLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Read data: UNLOCK"), 1) << "only the session's first start";
}

TEST_F(SessionsEndToEnd, AlarmStopsTheSessionTenMinutesAfterItsStart)
{
    startSessions({0});
    rig.tickAfter(300s);
    rig.select({0});
    console().onBillPressed();
    EXPECT_TRUE(view().bill.alarm.visible);
    EXPECT_EQ(view().bill.alarm.current, 0);
    console().onAlarmSelected(1); // "00:10", chosen five minutes into the session
    EXPECT_EQ(view().bill.alarm.current, 1);

    rig.tickAfter(299s);
    EXPECT_FALSE(hasEvent(log(), "ALARM STOPPING,0"));
    rig.tickAfter(1s);
    EXPECT_TRUE(hasEvent(log(), "ALARM STOPPING,0"));
    ASSERT_TRUE(waitStatus(0, kStatusStopped));
    EXPECT_TRUE(cafe->station(0).locked());
    const ConsoleView v = view();
    EXPECT_EQ(v.bill.caption.text, "Comp#: 1");
    ASSERT_EQ(v.bill.list.rows.size(), 1u);
    EXPECT_EQ(v.bill.list.rows[0].description, "00 hrs 10 mins 00 secs");
    EXPECT_EQ(v.bill.selector.entries, std::vector<std::string>{"Comp#: 1"}) << "the empty open bill is dropped";
    EXPECT_FALSE(v.bill.alarm.visible);
}

TEST_F(SessionsEndToEnd, ChangingAnAlarmCountsFromTheSessionStart)
{
    startSessions({0});
    rig.select({0});
    console().onBillPressed();
    console().onAlarmSelected(1);
    rig.tickAfter(120s);
    console().onAlarmSelected(2); // "00:20"
    EXPECT_EQ(console().stationState(0).alarmTime, noonOfTestDay() + 1200);
    console().onAlarmSelected(0);
    rig.tickAfter(3600s);
    EXPECT_FALSE(hasEvent(log(), "ALARM STOPPING,0"));
    EXPECT_EQ(rig.status(0), kStatusStarted);
    // Each choice is in the log, so that a session's end reads against it.
    const auto events = log();
    const auto at = [&](const std::string& e) { return std::find(events.begin(), events.end(), e) - events.begin(); };
    EXPECT_LT(at("ALARM SET,0,00:10"), at("ALARM SET,0,00:20"));
    EXPECT_LT(at("ALARM SET,0,00:20"), at("ALARM CLEARED,0"));
    EXPECT_LT(at("ALARM CLEARED,0"), static_cast<std::ptrdiff_t>(events.size()));
}

TEST_F(SessionsEndToEnd, AStationThatReconnectsDuringASessionIsUnlockedAgain)
{
    startSessions({3});
    rig.tickAfter(120s);
    // The station program starts again: locked, knowing nothing of the session.
    cafe->station(3).restartProgram();
    ASSERT_TRUE(cafe->station(3).locked());
    ASSERT_TRUE(cafe->runUntil([&] { return rig.text(3, Column::Duration) == "?"; }));
    EXPECT_EQ(rig.status(3), kStatusStarted);
    EXPECT_TRUE(hasEvent(log(), "CONNECTED,3"));

    // The next tick sends the figures, and the pending UNLOCK goes with them.
    rig.tickAfter(1s);
    EXPECT_EQ(rig.text(3, Column::Duration), "00:02:01");
    ASSERT_TRUE(cafe->runUntil([&] { return !cafe->station(3).locked(); }));
    ASSERT_TRUE(cafe->runUntil([&] { return cafe->station(3).state().sessionStamp == "20240301120000"; }));
    EXPECT_EQ(rig.text(3, Column::Start), "12:00:00");
}

TEST_F(SessionsEndToEnd, ButtonsFollowTheSelection)
{
    startSessions({3});
    rig.select({0, 1, 2, 3});
    EXPECT_FALSE(view().buttons.start.enabled);
    EXPECT_FALSE(view().buttons.stop.enabled);
    EXPECT_FALSE(view().buttons.swap.enabled);

    rig.select({0, 3});
    EXPECT_TRUE(view().buttons.swap.enabled);
    EXPECT_FALSE(view().buttons.start.enabled);
    EXPECT_FALSE(view().buttons.stop.enabled);

    // Start acts on the stopped rows only. It takes the focus to the table even
    // from the tender field, and Enter then means Bill.
    console().onFocusChanged({FocusTarget::Control::TenderField, 0});
    rig.select({0, 1, 2, 3});
    console().onStartPressed();
    EXPECT_EQ(view().focusRequest.control, FocusTarget::Control::StationTable);
    EXPECT_EQ(view().defaultButton, DefaultButton::Bill);
    EXPECT_EQ(rig.status(0), kStatusStarting);
    EXPECT_EQ(rig.status(2), kStatusStarting);
    EXPECT_EQ(rig.status(3), kStatusStarted);
    ASSERT_TRUE(cafe->runUntil([&] {
        return rig.status(0) == kStatusStarted && rig.status(1) == kStatusStarted && rig.status(2) == kStatusStarted;
    }));
    EXPECT_TRUE(view().buttons.stop.enabled);

    console().onStationTableFocus(false);
    EXPECT_FALSE(view().buttons.stop.enabled);
}

} // namespace console::test
