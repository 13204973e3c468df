#pragma once
// WindowBench: the console window's benchmark with its stations. Builds the
// real ConsoleWindow over a benchmark folder and measures
//   - the start-up: from the exec of the console process to the end of the
//     window's first paint (the password prompt answered as soon as it shows);
//   - the stop of all stations at once: the stations start, run a while, then
//     all end their session in the same instant; the longest stall of the
//     window thread (a 1 ms probe timer, and each event delivery timed, with
//     the event poll split into the engine call and the refresh), and the time
//     until every bill is on the panel;
//   - the console process's resident memory.
// The station engines run in a child process (FleetProcess), so neither their
// ticks nor their memory are the console's. Window thread only.

#include "bench_folder.h"
#include "delivery_statistics.h"
#include "fleet_process.h"
#include "figure_report.h"
#include "stall_probe.h"
#include "timed_application.h"

#include "console_window.h"
#include "platform/clock.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class QPushButton;
class QTableView;

namespace console::ui::bench {

struct BenchOptions {
    int stations = 99;
    int rounds = 3;
    std::chrono::seconds running{3}; // how long the sessions run before they all stop
};

// The moments of the console process's start, before the benchmark took over.
struct StartMoments {
    SteadyClock::time_point exec;     // the exec of this process
    SteadyClock::time_point main;     // main() entered
    SteadyClock::time_point appReady; // the QApplication built
};

class WindowBench {
public:
    WindowBench(TimedApplication& app, BenchFolder& folder, BenchOptions options, StartMoments moments);
    ~WindowBench();

    // The whole benchmark; the figures are printed. 0 unless the set-up failed.
    int run();

private:
    struct Round {
        DeliveryStatistics::Duration runningGap{};
        DeliveryStatistics::KindFigures runningTicks;
        DeliveryStatistics::Longest runningLongest;
        DeliveryStatistics::Duration stormGap{};
        DeliveryStatistics::Duration stormGapAt{};
        DeliveryStatistics storm;
        std::optional<DeliveryStatistics::Duration> billsOnPanel; // from the first END SESSION
        std::optional<DeliveryStatistics::Duration> billsPainted; // and painted
        DeliveryStatistics::Duration endSessionSpread{};          // first to last END SESSION
        int stationsStopped = 0;
        std::size_t mostBillsInOnePoll = 0;
        long rssKb = 0;
        long fleetRssKb = 0;
    };

    [[nodiscard]] bool startUpWindow();
    bool connectStations();
    [[nodiscard]] bool startAllSessions();
    void runSessions(Round& round);
    bool stopAllStations(Round& round);
    void chargeAllBills();
    void report() const;
    void reportStartUp(FigureReport& report) const;
    void reportStorms(FigureReport& report) const;
    void reportMemory(FigureReport& report) const;

    // Runs the event loop until `done` holds; false after the limit.
    bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit);
    void onDelivery(const Delivery& delivery);
    void onFirstPaint(QWidget* window, SteadyClock::time_point painted);
    void answerModal(QWidget* modal);
    void watchModals();
    bool allRows(console::Phase phase) const;

    TimedApplication& app_;
    BenchFolder& folder_;
    BenchOptions options_;
    StartMoments moments_;
    platform::SystemClock clock_;
    StallProbe probe_;
    FleetProcess fleet_;
    std::unique_ptr<ConsoleWindow> window_;
    QTableView* table_ = nullptr;
    QPushButton* start_ = nullptr;

    // Start-up moments.
    SteadyClock::time_point windowBuilt_;
    std::optional<SteadyClock::time_point> promptShown_;
    std::optional<SteadyClock::time_point> promptAnswered_;
    SteadyClock::time_point startedUp_;
    std::optional<SteadyClock::time_point> windowShown_;
    long startUpRssKb_ = 0;
    DeliveryStatistics::Duration connecting_{};

    // The stretch under measurement.
    DeliveryStatistics stretch_;
    std::optional<SteadyClock::time_point> refreshFrom_;
    bool storming_ = false;
    std::size_t billsWanted_ = 0;
    std::optional<SteadyClock::time_point> billsOnPanelAt_;
    std::optional<SteadyClock::time_point> billsPaintedAt_;
    std::size_t billsBefore_ = 0; // open bills before the delivery just timed
    std::size_t mostBillsInOnePoll_ = 0;
    std::optional<SteadyClock::time_point> modalSince_;

    std::vector<Round> rounds_;
    long peakRssKb_ = 0;
};

} // namespace console::ui::bench
