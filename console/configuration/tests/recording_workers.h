#pragma once
// A StationWorkers that records what the Clients page asked of it ("start 2",
// "stop 1", "table"), for the page's tests and the configuration dialog's.
// No test framework of its own: GoogleTest and QtTest programs both use it.

#include "console/configuration/station_workers.h"

#include <functional>
#include <string>
#include <vector>

namespace console::configuration::test {

class RecordingWorkers final : public StationWorkers {
public:
    void startStationWorker(int i) override
    {
        calls.push_back("start " + std::to_string(i));
        if (onStart)
            onStart(i);
    }
    void stopStationWorker(int i) override { calls.push_back("stop " + std::to_string(i)); }
    void clientTableChanged() override { calls.push_back("table"); }

    std::vector<std::string> calls;
    std::function<void(int)> onStart; // runs inside startStationWorker
};

} // namespace console::configuration::test
