// A short day at the counter, played on a clock the test moves, whose files
// must come out byte for byte as the committed copies in golden/: the activity
// log, the journal of takings and the open-state file, and what each station
// was told. A change that alters a layout, a log line, a rounding or the order
// of things shows here as a difference. To accept a deliberate change, run the
// test with BRISKO_GOLDEN_WRITE=1 and commit the new copies with it.

#include "three_station_cafe.h"

#include "console/texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace console::test {

namespace {

const std::filesystem::path kGoldenFolder = BRISKO_GOLDEN_FOLDER;

// Station logs also say how each socket call went, which depends on timing:
// only what the station was told is kept (the commands it read and the
// session figures it showed).
std::string toldLines(const std::vector<std::string>& lines)
{
    std::string told;
    for (const std::string& line : lines) {
        const auto comma = line.find(',');
        const std::string text = comma == std::string::npos ? line : line.substr(comma + 1);
        if (text.starts_with("Read data:") || text.find('\x80') != std::string::npos)
            told += text + "\n";
    }
    return told;
}

std::string sortedLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line + "\n");
    std::sort(lines.begin(), lines.end());
    std::string sorted;
    for (const std::string& line : lines)
        sorted += line;
    return sorted;
}

void compareWithGolden(const std::string& name, const std::string& bytes)
{
    const std::filesystem::path golden = kGoldenFolder / name;
    if (std::getenv("BRISKO_GOLDEN_WRITE")) {
        std::ofstream(golden, std::ios::binary) << bytes;
        return;
    }
    EXPECT_EQ(readFile(golden), bytes) << name << " differs from " << golden;
}

} // namespace

class GoldenDay : public ThreeStationCafe {
protected:
    void charge(const std::string& tenderKeys)
    {
        console().onFocusChanged({FocusTarget::Control::TenderField, 0});
        fields::MoneyField& tender = panel().tenderField();
        tender.setValue(0.0, 2);
        tender.focusIn();
        for (char c : tenderKeys)
            tender.typeChar(c);
        console().onEnter();
        console().onEnter();
    }
};

TEST_F(GoldenDay, TheFilesOfAShortDayAreByteForByteTheKeptOnes)
{
    // Each station has answered the LOCK it gets as it connects; then one
    // station moves at a time, so that the log's order is the same every run.
    ASSERT_TRUE(cafe->runUntil(
        [&] { return hasEvent(log(), "STOPPED,0") && hasEvent(log(), "STOPPED,1") && hasEvent(log(), "STOPPED,2"); }));
    // The three stations connect at once: their lines are kept in sorted order.
    const std::string connecting = readFile(folder.path() / "BriskoLog");
    for (int i : {0, 1}) {
        rig.select({i});
        console().onStartPressed();
        ASSERT_TRUE(cafe->runStationsUntil({i}, [&] { return rig.status(i) == kStatusStarted; }));
    }
    rig.tickAfter(std::chrono::seconds(1861));

    rig.select({0});
    console().onStopPressed();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(0) == kStatusStopped; }));
    charge("500");

    // An item on PC2's open bill, then its session moves to PC3.
    rig.select({1});
    console().onBillPressed();
    panel().onItemPressed(0);
    console().onEnter();
    rig.select({1, 2});
    console().onSwapPressed();
    ASSERT_TRUE(cafe->runStationsUntil({2}, [&] { return rig.status(2) == kStatusStarted; }));
    ASSERT_TRUE(cafe->runStationsUntil({1}, [&] { return rig.status(1) == kStatusStopped; }));
    rig.tickAfter(std::chrono::seconds(600));

    rig.select({2});
    console().onStopPressed();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(2) == kStatusStopped; }));
    charge("1000");
    rig.tickAfter(std::chrono::seconds(1));

    const std::string day = readFile(folder.path() / "BriskoLog");
    ASSERT_EQ(day.substr(0, connecting.size()), connecting);
    compareWithGolden("BriskoLog", sortedLines(connecting) + day.substr(connecting.size()));
    compareWithGolden("BriskoBills", readFile(folder.path() / "BriskoBills"));
    compareWithGolden("BriskoOpen", readFile(folder.path() / "BriskoOpen"));
    for (int i = 0; i < 3; ++i)
        compareWithGolden("station" + std::to_string(i + 1) + ".told", toldLines(cafe->station(i).logLines()));
    EXPECT_TRUE(panel().openBills().empty()) << "both bills charged";
}

} // namespace console::test
