#include "console_rig.h"

#include <gtest/gtest.h>

namespace console::test {

ConsoleRig::ConsoleRig(std::filesystem::path folder_, std::time_t start) : folder(std::move(folder_)), clock(start) {}

ConsoleEngine& ConsoleRig::create()
{
    ConsoleSettings settings;
    settings.makeKey = false; // the simulated stations hold no key
    settings.folder = folder;
    settings.link.listenAddress = kConsoleAddress;
    settings.link.port = port;
    engine = std::make_unique<ConsoleEngine>(
        settings, clock, ConsoleServices{prompts, password, price, beeper, printer, configurationHost, &printMonitor});
    return *engine;
}

ConsoleEngine& ConsoleRig::startConsole()
{
    create();
    EXPECT_EQ(engine->startUp(), ConsoleEngine::StartResult::Running);
    return *engine;
}

std::uint16_t ConsoleRig::mainPort() const { return engine->link().mainPort(); }

void ConsoleRig::select(const std::vector<int>& rows) { engine->onStationSelectionChanged(rows); }

void ConsoleRig::tickAfter(std::chrono::seconds elapsed)
{
    clock.advance(elapsed.count());
    engine->moneyTick();
}

} // namespace console::test
