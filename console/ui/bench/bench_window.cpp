// bench_window: the console window with 99 stations on loopback.
//
// Usage: bench_window [--rounds N] [--running SECONDS] [--stations N]
//
// The program runs in three stages, each a process image of this file:
//   1. (no stage option) writes the console's data files into a temporary
//      folder, notes the time and replaces itself (exec) with stage 2, so that
//      the console's start-up is timed from a real program start;
//   2. --console: the console window over that folder, measured (WindowBench);
//      it starts stage 3 as a child process for the stations;
//   3. --stations: the 99 station client engines (StationFleet).
// It prints each figure with its target and PASS or MISS, and exits 0 either
// way: it is a measurement. Without a display it uses Qt's offscreen platform.

#include "bench_folder.h"
#include "station_fleet.h"
#include "timed_application.h"
#include "window_bench.h"

#include <QString>
#include <QtGlobal>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace {

using console::ui::bench::SteadyClock;

QtMessageHandler qtMessages = nullptr;

// The offscreen platform says this on every resize of a window; it says nothing about the console.
void dropPlatformChatter(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message == QLatin1String("This plugin does not support propagateSizeHints()"))
        return;
    if (qtMessages != nullptr)
        qtMessages(type, context, message);
}

const char* const kUsage = "usage: bench_window [--rounds N] [--running SECONDS] [--stations N]\n";

long long nanoseconds(SteadyClock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

bool readCount(const char* text, int low, int high, int& value)
{
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

// Options of stages 1 and 2; what stage 1 hands on after its own.
bool readOptions(const std::vector<std::string>& args, std::size_t from, console::ui::bench::BenchOptions& options)
{
    for (std::size_t k = from; k < args.size(); k += 2) {
        if (k + 1 >= args.size())
            return false;
        int value = 0;
        if (args[k] == "--rounds" && readCount(args[k + 1].c_str(), 1, 100, value))
            options.rounds = value;
        else if (args[k] == "--running" && readCount(args[k + 1].c_str(), 1, 3600, value))
            options.running = std::chrono::seconds(value);
        else if (args[k] == "--stations" && readCount(args[k + 1].c_str(), 1, 99, value))
            options.stations = value;
        else
            return false;
    }
    return true;
}

std::vector<std::string> optionArgs(const console::ui::bench::BenchOptions& options)
{
    return {"--rounds",   std::to_string(options.rounds),  "--running", std::to_string(options.running.count()),
            "--stations", std::to_string(options.stations)};
}

// Stage 1.
int prepareAndExec(const console::ui::bench::BenchOptions& options)
{
    auto folder = console::ui::bench::BenchFolder::create(options.stations);
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr)
        ::setenv("XDG_RUNTIME_DIR", folder.runtime().c_str(), 1);

    std::vector<std::string> args{"bench_window", "--console", folder.root().string(), "--exec-at",
                                  std::to_string(nanoseconds(SteadyClock::now()))};
    for (std::string& arg : optionArgs(options))
        args.push_back(std::move(arg));
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    folder.release(); // stage 2 removes it
    ::execv("/proc/self/exe", argv.data());
    std::perror("bench_window: exec");
    return 1;
}

// Stage 2.
int runConsole(int argc, char** argv, const std::vector<std::string>& args, SteadyClock::time_point mainEntered)
{
    console::ui::bench::BenchOptions options;
    if (args.size() < 4 || args[2] != "--exec-at" || !readOptions(args, 4, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    auto folder = console::ui::bench::BenchFolder::adopt(args[1]);
    console::ui::bench::StartMoments moments;
    moments.exec = SteadyClock::time_point(std::chrono::nanoseconds(std::stoll(args[3])));
    moments.main = mainEntered;
    qtMessages = qInstallMessageHandler(dropPlatformChatter);
    console::ui::bench::TimedApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    moments.appReady = SteadyClock::now();
    console::ui::bench::WindowBench bench(app, folder, options, moments);
    return bench.run();
}

int run(int argc, char** argv, SteadyClock::time_point mainEntered)
{
    const std::vector<std::string> args(argv + 1, argv + argc);

    if (!args.empty() && args[0] == "--stations") {
        int stations = 0, port = 0;
        if (args.size() != 4 || !readCount(args[1].c_str(), 1, 99, stations) ||
            !readCount(args[2].c_str(), 1, 65535, port)) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        return console::ui::bench::StationFleet(stations, static_cast<std::uint16_t>(port), args[3]).run();
    }
    if (!args.empty() && args[0] == "--console")
        return runConsole(argc, argv, args, mainEntered);

    console::ui::bench::BenchOptions options;
    if (!readOptions(args, 0, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    return prepareAndExec(options);
}

} // namespace

int main(int argc, char** argv)
{
    const auto mainEntered = SteadyClock::now();
    try {
        return run(argc, argv, mainEntered);
    } catch (const std::exception& error) {
        // A folder or file the benchmark could not make, or a stage option it could not read.
        std::fprintf(stderr, "bench_window: %s\n", error.what());
        return 1;
    }
}
