#pragma once
// ConsoleRig: a console engine on a loopback link over a test's folder, with
// scripted services around it and a clock the test moves. Used on the test's
// thread.

#include "console_harness.h"
#include "scripted_services.h"

#include "console/console_engine.h"
#include "console/station_table.h"
#include "platform/clock.h"

#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace console::test {

// Everything a console engine needs around it.
struct ConsoleRig {
    std::filesystem::path folder;
    platform::ManualClock clock;
    std::uint16_t port = 0; // 0: the system chooses
    ScriptedPrompts prompts;
    ScriptedPassword password;
    ScriptedPrice price;
    CountingBeeper beeper;
    RecordingPrinter printer;
    ScriptedConfigurationHost configurationHost;
    QueuedPrintMonitor printMonitor;
    std::unique_ptr<ConsoleEngine> engine;

    ConsoleRig(std::filesystem::path folder, std::time_t start);
    // A new engine on the folder (files not opened yet).
    ConsoleEngine& create();
    // create() and startUp(); fails the test unless it runs.
    ConsoleEngine& startConsole();
    ConsoleEngine& console() { return *engine; }
    // The port the stations connect to.
    std::uint16_t mainPort() const;

    // Operator shortcuts.
    void select(const std::vector<int>& rows);
    std::string status(int i) const { return std::string(engine->stationTable().status(i)); }
    std::string text(int i, Column c) const { return engine->stationTable().text(i, c); }
    // Advances the clock and runs one money tick.
    void tickAfter(std::chrono::seconds elapsed);
};

} // namespace console::test
