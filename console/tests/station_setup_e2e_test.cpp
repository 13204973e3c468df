// A station whose owner opens its setup is not locked: the counter sees it on
// the station's row and in the activity log until the setup is left.

#include "three_station_cafe.h"

#include "console/station_table.h"
#include "console/texts.h"

#include <gtest/gtest.h>

namespace console::test {

using StationSetupSeen = ThreeStationCafe;

TEST_F(StationSetupSeen, TheRowAndTheLogShowASetupOpenAtTheStation)
{
    const StationTable& table = console().stationTable();
    // The console's LOCK on connecting has come first (a LOCK during setup
    // would lock the screen and leave the panel's EXIT SETUP out of reach).
    ASSERT_TRUE(cafe->runUntil([&] {
        const auto lines = cafe->station(1).logLines();
        return std::find(lines.begin(), lines.end(), "Read data: LOCK") != lines.end();
    }));
    ASSERT_TRUE(cafe->station(1).typeSetupCode("k7#w"));
    ASSERT_TRUE(cafe->runUntil([&] { return table.note(1) == kSetupOpenNote; }));
    EXPECT_TRUE(hasEvent(log(), "SETUP BEGUN,1"));
    EXPECT_EQ(rig.status(1), kStatusStopped);
    EXPECT_EQ(table.note(0), "");
    EXPECT_EQ(table.note(2), "");

    cafe->station(1).endSession(); // EXIT SETUP
    ASSERT_TRUE(cafe->runUntil([&] { return table.note(1).empty(); }));
    EXPECT_TRUE(hasEvent(log(), "SETUP ENDED,1"));
    EXPECT_TRUE(cafe->station(1).locked());
    // Said once each, not at every tick.
    const auto events = log();
    EXPECT_EQ(std::count(events.begin(), events.end(), "SETUP BEGUN,1"), 1);
}

} // namespace console::test
