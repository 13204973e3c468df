#include "station_fleet.h"

#include "client/client_engine.h"
#include "client/workstation.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace brisko::bench {

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

constexpr auto kTickInterval = 10ms;
const platform::Ipv4Address kConsoleAddress{{127, 0, 0, 1}};

// A workstation without a desktop: the engines only change their own state.
class BareWorkstation final : public client::Workstation, public client::ClientHost {
public:
    bool showTaskbar() override { return true; }
    bool hideTaskbar() override { return true; }
    void setCursorVisible(bool) override {}
    void placeWindow(const client::ScreenRect&, client::WindowOrder) override {}
    void disableTaskKeys(bool) override {}
    std::optional<std::string> shutdown() override { return std::nullopt; }
    void pumpEvents() override {}
    void showMessage(const std::string& text) override { std::fprintf(stderr, "station: %s\n", text.c_str()); }
};

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
    BareWorkstation workstation;
    std::vector<std::unique_ptr<client::ClientEngine>> engines;
    for (int i = 0; i < stations_; ++i) {
        const std::filesystem::path folder = folders_ / std::to_string(i + 1);
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "TambloConfig", std::ios::binary)
            .write(reinterpret_cast<const char*>(kConsoleAddress.octets.data()), 4);
        client::EngineSettings settings;
        settings.folder = folder;
        settings.link.ownAddress = {{127, 0, 0, static_cast<std::uint8_t>(i + 2)}};
        settings.link.bindOwnAddress = true;
        settings.link.mainPort = consolePort_;
        engines.push_back(std::make_unique<client::ClientEngine>(workstation, workstation, settings));
        engines.back()->start({{0, 0, 1280, 800}, {0, 0, 1280, 760}});
    }

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
                    if (!engine->state().m_bLocked) {
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

} // namespace brisko::bench
