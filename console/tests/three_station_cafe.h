#pragma once
// ThreeStationCafe: the fixture most end-to-end tests derive from. Used on
// the test's thread.

#include "cafe.h"
#include "console_harness.h"
#include "console_rig.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace console::test {

// A console on three connected, stopped stations with the standard rates: the
// end-to-end fixtures derive from it and add what their tests share.
class ThreeStationCafe : public ::testing::Test {
protected:
    TempFolder folder;
    ConsoleRig rig{folder.path(), noonOfTestDay()};
    std::unique_ptr<Cafe> cafe;

    // The sale items (and printers) the tests need, written before the console starts.
    virtual void writeTables();
    // Writes the files, starts the console and waits until the three stations read "Stopped".
    void SetUp() override;
    // Selects station i, presses Start and waits until it reads "Started".
    void startStation(int i);

    ConsoleEngine& console() { return rig.console(); }
    BillPanel& panel() { return console().billPanel(); }
    ConsoleView view() { return console().view(); }
    std::vector<std::string> log() { return logEvents(folder.path()); }
};

} // namespace console::test
