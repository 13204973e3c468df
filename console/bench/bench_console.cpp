// bench_console: the cost of the console's two timers with 99 stations.
//
// 99 station client engines, each bound to its own loopback address
// (127.0.0.2 .. 127.0.0.100), connect to a console engine on 127.1.1.1.
// Prints:
//   money_tick_us=         mean time of one money tick with 99 started stations
//   event_poll_started_us= mean time of one event poll taking 99 STARTED events
//   event_poll_stopped_us= mean time of one event poll taking 99 STOPPED events
//                          (each closes a session into a bill)

#include "bench_cafe.h"
#include "quiet_services.h"
#include "testsupport/temp_folder.h"

#include "console/bill_panel.h"
#include "console/console_engine.h"
#include "console/station_table.h"
#include "console/texts.h"

#include "client/client_engine.h"
#include "link/link_server.h"
#include "platform/clock.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using console::bench::QuietServices;
using testsupport::TempFolder;
using Clock = std::chrono::steady_clock;

constexpr int kStations = 99;
const platform::Ipv4Address kConsoleAddress{{127, 1, 1, 1}};

bool waitFor(const std::function<bool()>& done, const std::function<void()>& step, std::chrono::seconds limit)
{
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        step();
        std::this_thread::sleep_for(200us);
    }
    return true;
}

double micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

} // namespace

int main()
{
    QuietServices quiet;
    TempFolder consoleFolder("bench-console-");
    if (!console::bench::writeConsoleTables(consoleFolder.path(), kStations, console::bench::standardRates(), {},
                                            quiet)) {
        std::fprintf(stderr, "the console's tables could not be written\n");
        return 1;
    }

    platform::ManualClock clock(std::time(nullptr));
    const auto engine = console::bench::makeConsole(consoleFolder.path(), kConsoleAddress, clock, quiet);
    if (engine->startUp() != console::ConsoleEngine::StartResult::Running)
        return 1;

    std::vector<std::unique_ptr<TempFolder>> stationFolders;
    std::vector<std::unique_ptr<client::ClientEngine>> stations;
    for (int i = 0; i < kStations; ++i) {
        stationFolders.push_back(std::make_unique<TempFolder>("bench-console-"));
        stations.push_back(console::bench::startStation(stationFolders.back()->path(), i, kConsoleAddress,
                                                        engine->link().mainPort(), quiet));
    }
    auto tickStations = [&] {
        for (auto& station : stations)
            station->tick();
    };
    auto allRows = [&](std::string_view status) {
        for (int i = 0; i < kStations; ++i)
            if (engine->stationTable().status(i) != status)
                return false;
        return true;
    };
    auto allEventsWaiting = [&] {
        for (int i = 0; i < kStations; ++i)
            if (!engine->link().waitEventForConsole(i, 0ms))
                return false;
        return true;
    };

    if (!waitFor([&] { return allRows(console::kStatusStopped); }, [&] { tickStations(), engine->eventPoll(); }, 60s)) {
        std::fprintf(stderr, "stations did not connect\n");
        return 1;
    }
    std::vector<int> everyRow;
    for (int i = 0; i < kStations; ++i)
        everyRow.push_back(i);

    constexpr int kRounds = 10;
    Clock::duration startedPolls{};
    Clock::duration stoppedPolls{};
    Clock::duration ticks{};
    int tickCount = 0;
    for (int round = 0; round < kRounds; ++round) {
        engine->onStationSelectionChanged(everyRow);
        engine->onStartPressed();
        auto unlocked = [&] {
            for (auto& station : stations)
                if (station->state().locked)
                    return false;
            return true;
        };
        if (!waitFor([&] { return unlocked() && allEventsWaiting(); }, tickStations, 30s)) {
            std::fprintf(stderr, "stations did not start\n");
            return 1;
        }
        auto t0 = Clock::now();
        engine->eventPoll();
        startedPolls += Clock::now() - t0;
        if (!allRows(console::kStatusStarted))
            waitFor([&] { return allRows(console::kStatusStarted); }, [&] { engine->eventPoll(); }, 10s);

        // Money ticks of the 99 running sessions, an hour's worth per round.
        for (int k = 0; k < 360; ++k) {
            clock.advance(1);
            auto t = Clock::now();
            engine->moneyTick();
            ticks += Clock::now() - t;
            ++tickCount;
            if (k % 60 == 0)
                tickStations(); // the stations read their figures now and then
        }

        for (auto& station : stations)
            station->confirmEndSession();
        if (!waitFor(allEventsWaiting, tickStations, 30s)) {
            std::fprintf(stderr, "stations did not stop\n");
            return 1;
        }
        t0 = Clock::now();
        engine->eventPoll();
        stoppedPolls += Clock::now() - t0;
        waitFor([&] { return allRows(console::kStatusStopped); }, [&] { engine->eventPoll(); }, 10s);
        while (!engine->billPanel().openBills().empty())
            engine->billPanel().chargeBill();
    }

    std::printf("stations=%d\n", kStations);
    std::printf("money_tick_us=%.1f\n", micros(ticks) / tickCount);
    std::printf("event_poll_started_us=%.1f\n", micros(startedPolls) / kRounds);
    std::printf("event_poll_stopped_us=%.1f\n", micros(stoppedPolls) / kRounds);
    return 0;
}
