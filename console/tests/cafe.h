#pragma once
// Cafe: a console rig with simulated stations around it, and the loops that
// run them all in real time. Used on the test's thread.

#include "console_rig.h"
#include "simulated_station.h"

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace console::test {

// A console rig with stations, and the loop that runs them all in real time.
class Cafe {
public:
    explicit Cafe(ConsoleRig& rig) : rig_(rig) {}
    SimulatedStation& addStation(int index);
    SimulatedStation& addStation(int index, platform::Ipv4Address own);
    // Stations 0 .. count - 1.
    void addStations(int count);
    // Like runUntil, with only the given stations ticking (the others hear nothing).
    bool runStationsUntil(const std::vector<int>& ticking, const std::function<bool()>& done,
                          std::chrono::milliseconds limit = 8s);
    // Ticks the stations only, without the console's event poll.
    bool tickStationsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 8s);
    SimulatedStation& station(int index);
    // Ticks every station and runs the console's event poll until `done` holds
    // (false after the time limit).
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 8s);
    // Runs for a while without a condition.
    void runFor(std::chrono::milliseconds time);
    // Waits until every station is connected and its row reads "Stopped".
    bool allReady();
    // Selects station i, presses Start and waits until its row reads "Started".
    [[nodiscard]] bool startSession(int i);

private:
    ConsoleRig& rig_;
    std::vector<std::unique_ptr<SimulatedStation>> stations_;
    std::vector<int> indexes_;
};

} // namespace console::test
