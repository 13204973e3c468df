// bench_console: the cost of the console's two timers with 99 stations.
//
// 99 station client engines, each bound to its own loopback address
// (127.0.0.2 .. 127.0.0.100), connect to a console engine on 127.1.1.1.
// Prints:
//   money_tick_us=         mean time of one money tick with 99 started stations
//   event_poll_started_us= mean time of one event poll taking 99 STARTED events
//   event_poll_stopped_us= mean time of one event poll taking 99 STOPPED events
//                          (each closes a session into a bill)

#include "console/bill_panel.h"
#include "console/console_engine.h"
#include "console/pages/configuration_dialog_model.h"
#include "console/station_table.h"
#include "console/texts.h"

#include "client/client_engine.h"
#include "link/link_server.h"
#include "platform/clock.h"
#include "store/client_table.h"
#include "store/rate_table.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kStations = 99;
const platform::Ipv4Address kConsoleAddress{{127, 1, 1, 1}};

platform::Ipv4Address stationAddress(int i) { return {{127, 0, 0, static_cast<std::uint8_t>(i + 2)}}; }

struct Quiet final : console::pages::OperatorPrompts,
                     console::PasswordPrompt,
                     console::PriceFieldPrompt,
                     console::Beeper,
                     console::ReceiptPrinter,
                     console::ConfigurationDialogHost,
                     store::StoreNotifier,
                     client::Workstation,
                     client::ClientHost {
    bool askYesNo(const std::string&) override { return true; }
    void showMessage(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
    std::string askPassword() override { return {}; }
    void askPrice(const std::string&, fields::MoneyField&) override {}
    void beep() override {}
    std::optional<console::ReceiptPage> choosePrinter() override { return std::nullopt; }
    bool printPage(const console::ReceiptLayout&) override { return true; }
    void showConfiguration(console::pages::ConfigurationDialogModel& dialog) override { dialog.cancel(); }
    bool showTaskbar() override { return true; }
    bool hideTaskbar() override { return true; }
    void setCursorVisible(bool) override {}
    void placeWindow(const client::ScreenRect&, client::WindowOrder) override {}
    void disableTaskKeys(bool) override {}
    std::optional<std::string> shutdown() override { return std::nullopt; }
    void pumpEvents() override {}
};

class Folder {
public:
    Folder()
    {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() / ("bench-console-" + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~Folder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

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
    Quiet quiet;
    Folder consoleFolder;
    {
        store::ClientTable clients(consoleFolder.path(), quiet);
        clients.load();
        for (int i = 0; i < kStations; ++i)
            clients.entries().push_back({"PC" + std::to_string(i + 1), stationAddress(i)});
        clients.save();
        store::RateTable rates(consoleFolder.path());
        rates.load();
        rates.rows() = {{"00:30:00", 1, 1.50}, {"00:15:00", 2, 0.50}, {"01:00:00", -1, 2.00}};
        rates.save();
    }

    platform::ManualClock clock(std::time(nullptr));
    console::ConsoleSettings settings;
    settings.folder = consoleFolder.path();
    settings.link.listenAddress = kConsoleAddress;
    settings.link.port = 0;
    console::ConsoleEngine engine(settings, clock, console::ConsoleServices{quiet, quiet, quiet, quiet, quiet, quiet});
    if (engine.startUp() != console::ConsoleEngine::StartResult::Running)
        return 1;

    std::vector<std::unique_ptr<Folder>> stationFolders;
    std::vector<std::unique_ptr<client::ClientEngine>> stations;
    for (int i = 0; i < kStations; ++i) {
        stationFolders.push_back(std::make_unique<Folder>());
        std::ofstream(stationFolders.back()->path() / "TambloConfig", std::ios::binary)
            .write(reinterpret_cast<const char*>(kConsoleAddress.octets.data()), 4);
        client::EngineSettings s;
        s.folder = stationFolders.back()->path();
        s.link.ownAddress = stationAddress(i);
        s.link.bindOwnAddress = true;
        s.link.mainPort = engine.link().mainPort();
        stations.push_back(std::make_unique<client::ClientEngine>(quiet, quiet, s));
        stations.back()->start({{0, 0, 1280, 800}, {0, 0, 1280, 760}});
    }
    auto tickStations = [&] {
        for (auto& station : stations)
            station->tick();
    };
    auto allRows = [&](std::string_view status) {
        for (int i = 0; i < kStations; ++i)
            if (engine.stationTable().status(i) != status)
                return false;
        return true;
    };
    auto allEventsWaiting = [&] {
        for (int i = 0; i < kStations; ++i)
            if (!engine.link().waitEventForConsole(i, 0ms))
                return false;
        return true;
    };

    if (!waitFor([&] { return allRows(console::kStatusStopped); }, [&] { tickStations(), engine.eventPoll(); }, 60s)) {
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
        engine.onStationSelectionChanged(everyRow);
        engine.onStartPressed();
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
        engine.eventPoll();
        startedPolls += Clock::now() - t0;
        if (!allRows(console::kStatusStarted))
            waitFor([&] { return allRows(console::kStatusStarted); }, [&] { engine.eventPoll(); }, 10s);

        // Money ticks of the 99 running sessions, an hour's worth per round.
        for (int k = 0; k < 360; ++k) {
            clock.advance(1);
            auto t = Clock::now();
            engine.moneyTick();
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
        engine.eventPoll();
        stoppedPolls += Clock::now() - t0;
        waitFor([&] { return allRows(console::kStatusStopped); }, [&] { engine.eventPoll(); }, 10s);
        while (!engine.billPanel().openBills().empty())
            engine.billPanel().chargeBill();
    }

    std::printf("stations=%d\n", kStations);
    std::printf("money_tick_us=%.1f\n", micros(ticks) / tickCount);
    std::printf("event_poll_started_us=%.1f\n", micros(startedPolls) / kRounds);
    std::printf("event_poll_stopped_us=%.1f\n", micros(stoppedPolls) / kRounds);
    return 0;
}
