#include "station_fleet.h"

#include "bench_cafe.h"
#include "quiet_services.h"

#include "client/client_engine.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace console::ui::bench {

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

constexpr auto kTickInterval = 10ms;
const platform::Ipv4Address kConsoleAddress{{127, 0, 0, 1}};

long long steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(SteadyClock::now().time_since_epoch()).count();
}

// Reads what has arrived on standard input without waiting longer than `wait`.
// False at the end of input.
bool readCommands(std::string& pending, std::chrono::milliseconds wait)
{
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (::poll(&input, 1, static_cast<int>(wait.count())) <= 0)
        return true;
    char buffer[256];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0)
        return false;
    pending.append(buffer, static_cast<std::size_t>(n));
    return true;
}

} // namespace

StationFleet::StationFleet(int stations, std::uint16_t consolePort, std::filesystem::path folders)
    : stations_(stations), consolePort_(consolePort), folders_(std::move(folders))
{
}

int StationFleet::run()
{
    // A station without a desktop: the engines only change their own state.
    console::bench::QuietServices services("station");
    std::vector<std::unique_ptr<client::ClientEngine>> engines;
    for (int i = 0; i < stations_; ++i)
        engines.push_back(
            console::bench::startStation(folders_ / std::to_string(i + 1), i, kConsoleAddress, consolePort_, services));

    std::string pending;
    auto nextTick = SteadyClock::now();
    for (;;) {
        for (auto& engine : engines)
            engine->tick();
        nextTick += kTickInterval;
        const auto now = SteadyClock::now();
        if (nextTick < now)
            nextTick = now; // a slow pass: no burst of ticks to catch up
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextTick - now);
        if (!readCommands(pending, wait))
            return 0;
        for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
            const std::string command = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (command == "quit")
                return 0;
            if (command == "stop") {
                int stopped = 0;
                const long long first = steadyNanoseconds();
                for (auto& engine : engines)
                    if (!engine->state().locked) {
                        engine->confirmEndSession();
                        ++stopped;
                    }
                const long long last = steadyNanoseconds();
                std::printf("stopped %lld %lld %d\n", first, last, stopped);
                std::fflush(stdout);
            }
        }
    }
}

} // namespace console::ui::bench
