// The Configuration button end to end: its password, the commands sent to the
// selected stations, and the Clients page adding, removing and re-addressing
// stations while the others keep running.

#include "three_station_cafe.h"

#include "console/configuration/clients_page.h"
#include "console/texts.h"

#include <gtest/gtest.h>

namespace console::test {

class ConfigurationEndToEnd : public ThreeStationCafe {
protected:
    void SetUp() override
    {
        ThreeStationCafe::SetUp();
        if (HasFatalFailure())
            return;
        // Station 1 runs a session throughout.
        startStation(0);
    }

    void configure(std::function<void(configuration::ConfigurationDialogModel&)> script)
    {
        rig.configurationHost.script = std::move(script);
        console().onConfigurationPressed();
    }

    // The Clients page's count set to 2 and saved, its question answered Yes.
    void keepTwoStations()
    {
        rig.prompts.answers = {true};
        configure([](configuration::ConfigurationDialogModel& dialog) {
            configuration::ClientsPage& page = *dialog.clientsPage();
            page.setCountText("2");
            ASSERT_EQ(page.save(), configuration::SaveOutcome::Saved);
        });
    }

    void stillRunning()
    {
        EXPECT_EQ(rig.status(0), kStatusStarted);
        EXPECT_FALSE(cafe->station(0).locked());
        rig.tickAfter(60s);
        EXPECT_TRUE(cafe->runUntil(
            [&] { return cafe->station(0).state().duration == rig.text(0, Column::Duration).substr(0, 5); }));
    }
};

TEST_F(ConfigurationEndToEnd, AWrongPasswordOnlyBeeps)
{
    rig.password.typed = "wrong";
    configure(nullptr);
    EXPECT_EQ(rig.beeper.beeps, 1);
    EXPECT_EQ(rig.configurationHost.shown, 0);
}

TEST_F(ConfigurationEndToEnd, TerminateClientsQuitsTheSelectedConnectedStations)
{
    rig.select({1, 2});
    configure([](configuration::ConfigurationDialogModel& dialog) {
        dialog.setTerminateClients(true);
        dialog.setShutdownClients(true);
    });
    ASSERT_TRUE(cafe->runUntil([&] { return cafe->station(1).quitRequested() && cafe->station(2).quitRequested(); }));
    EXPECT_FALSE(cafe->station(0).quitRequested());
    EXPECT_EQ(rig.configurationHost.shown, 1);
}

TEST_F(ConfigurationEndToEnd, CancelSendsNothing)
{
    rig.select({1});
    configure([](configuration::ConfigurationDialogModel& dialog) {
        dialog.setShutdownClients(true);
        dialog.cancel();
    });
    cafe->runFor(50ms);
    EXPECT_FALSE(cafe->station(1).quitRequested());
}

TEST_F(ConfigurationEndToEnd, StationsAreAddedReaddressedAndRemovedWhileOthersRun)
{
    // Four stations, and station 2 moves to another address.
    const platform::Ipv4Address moved{{127, 0, 0, 20}};
    configure([&](configuration::ConfigurationDialogModel& dialog) {
        configuration::ClientsPage& page = *dialog.clientsPage();
        page.setCountText("4");
        ASSERT_EQ(page.save(), configuration::SaveOutcome::Saved);
        page.setRowSelected(3, true);
        page.setNameText("PC4");
        page.setAddress(stationAddress(3));
        ASSERT_EQ(page.save(), configuration::SaveOutcome::Saved);
        page.clearSelection();
        page.setRowSelected(1, true);
        page.setNameText("PC2-NEW");
        page.setAddress(moved);
        ASSERT_EQ(page.save(), configuration::SaveOutcome::Saved);
    });
    ASSERT_EQ(console().stationTable().rowCount(), 4);
    EXPECT_EQ(console().clients().entries().at(1).address, moved);
    EXPECT_EQ(console().clients().entries().at(3).computerName, "PC4");

    // The computer at the old address is gone (a station client that cannot
    // reach its console waits inside its tick, so it is not ticked any more).
    cafe->station(1).vanish();
    cafe->addStation(3);
    cafe->addStation(10, moved); // the computer at the new address, shown as station 2
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(3) == kStatusStopped && rig.status(1) == kStatusStopped; }));
    ASSERT_TRUE(cafe->runUntil([&] { return cafe->station(10).connected(); }));
    stillRunning();

    // The new address serves station 2.
    rig.select({1});
    console().onStartPressed();
    ASSERT_TRUE(cafe->runUntil([&] { return !cafe->station(10).locked(); }));

    // Down to two stations: station 3 (idle) and station 4 go, and with them
    // their workers; station 2's session and station 1's go on.
    keepTwoStations();
    cafe->station(2).vanish();
    cafe->station(3).vanish();
    EXPECT_EQ(rig.prompts.questions.back(), "Delete last 2 clients?");
    ASSERT_EQ(console().stationTable().rowCount(), 2);
    EXPECT_EQ(console().clients().stationCount(), 2);
    stillRunning();
    EXPECT_TRUE(console().billPanel().openBills().empty()) << "no session ran on the removed stations";
}

// A station whose session runs is not removed behind the operator's back (it
// would be billed and its PC left unlocked); once its session is stopped and
// its PC locked, it goes, and its bill waits to be charged.
TEST_F(ConfigurationEndToEnd, AStationIsRemovedOnlyOnceItsSessionIsStopped)
{
    ASSERT_NO_FATAL_FAILURE(startStation(2));
    rig.tickAfter(61s);

    configure([](configuration::ConfigurationDialogModel& dialog) {
        configuration::ClientsPage& page = *dialog.clientsPage();
        page.setCountText("2");
        EXPECT_EQ(page.save(), configuration::SaveOutcome::Refused);
    });
    EXPECT_EQ(rig.prompts.messages.back(), busyStationMessage(3));
    ASSERT_EQ(console().stationTable().rowCount(), 3);
    EXPECT_EQ(rig.status(2), kStatusStarted);
    EXPECT_FALSE(cafe->station(2).locked());
    EXPECT_TRUE(console().billPanel().openBills().empty());
    EXPECT_FALSE(hasEvent(log(), "STOPPING,2"));

    rig.select({2});
    console().onStopPressed();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(2) == kStatusStopped; }));
    EXPECT_TRUE(cafe->station(2).locked());
    ASSERT_EQ(console().billPanel().openBills().size(), 1u);

    keepTwoStations();
    cafe->station(2).vanish();
    ASSERT_EQ(console().stationTable().rowCount(), 2);
    EXPECT_TRUE(hasEvent(log(), "CONFIG REMOVED,Clients,3,PC3," + stationAddress(2).toString()));
    EXPECT_EQ(console().billPanel().selectorEntries(), std::vector<std::string>{"Comp#: 3"});
    stillRunning();
}

TEST_F(ConfigurationEndToEnd, NewRatesChargeRunningSessions)
{
    // Saved through the page: the log tells what the new rate is.
    configure([](configuration::ConfigurationDialogModel& dialog) {
        configuration::RatesPage& page = *dialog.ratesPage();
        page.setRowSelected(0, true);
        page.priceEditor().setValue(1.75, 2);
        ASSERT_EQ(page.save(), configuration::SaveOutcome::Saved);
        page.setRowSelected(0, false);
    });
    const auto events = log();
    const auto changed = std::find_if(events.begin(), events.end(),
                                      [](const std::string& e) { return e.rfind("CONFIG CHANGED,Rates,1,", 0) == 0; });
    ASSERT_NE(changed, events.end());
    EXPECT_EQ(changed->substr(changed->size() - 5), ",1.75");
    console().rates().rows()[0].price = 1.50;
    rig.tickAfter(61s);
    EXPECT_EQ(rig.text(0, Column::AccessCost), "1.50");
    console().rates().rows() = {{"00:01:00", -1, 0.10}};
    rig.tickAfter(60s);
    EXPECT_EQ(rig.text(0, Column::AccessCost), "0.20");
}

TEST_F(ConfigurationEndToEnd, ThePrintMonitorFollowsTheFirstAndLastPrinter)
{
    // No printers at start-up: no monitor. The first printer starts it on the
    // same (empty, local) server name; removing the last one stops it.
    ASSERT_TRUE(rig.printMonitor.starts.empty());
    configure([this](configuration::ConfigurationDialogModel&) {
        console().printers().entries() = {{"", "Laser", 0.10}};
    });
    EXPECT_EQ(rig.printMonitor.starts, std::vector<std::string>{""});
    configure([this](configuration::ConfigurationDialogModel&) { console().printers().entries().clear(); });
    EXPECT_EQ(rig.printMonitor.stops, 1);
    EXPECT_EQ(rig.printMonitor.starts.size(), 1u);
}

} // namespace console::test
