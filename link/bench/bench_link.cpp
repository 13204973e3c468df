// Starts the link with 99 stations, connects 99 simulated stations from
// 127.0.0.2..127.0.0.100 (one socket each, bound to its own address), then
// measures the process CPU over idle seconds and the time from posting
// CMD_UNLOCK to the console seeing EVT_STARTED.
//
// Usage: bench_link [idle seconds, default 10] [round trips, default 1000]

#include "link/link_bits.h"
#include "link/link_server.h"
#include "link/protocol.h"

#include "../tests/console_event.h"
#include "scripted_station.h"

#include "platform/event.h"
#include "platform/process_cpu.h"
#include "platform/tcp_socket.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

using namespace std::chrono_literals;
using namespace stationlink;
using platform::Ipv4Address;
using SteadyClock = std::chrono::steady_clock;

namespace {

constexpr int kStations = 99;

Ipv4Address stationAddress(int i) { return {{127, 0, 0, static_cast<std::uint8_t>(2 + i)}}; }

// One simulated station: the tests' handshake, then a thread that answers
// every command "OK", sleeping on its socket in between.
class Station {
public:
    Station(int index, std::uint16_t mainPort) : address_(stationAddress(index)), mainPort_(mainPort) {}
    ~Station()
    {
        stop_.set();
        if (thread_.joinable())
            thread_.join();
    }

    bool connect()
    {
        testing::ScriptedStation station(address_, mainPort_);
        if (!station.attach())
            return false;
        connection_ = std::move(station.connection);
        thread_ = std::thread([this] { answerCommands(); });
        return true;
    }

private:
    void answerCommands()
    {
        const platform::ManualResetEvent* events[] = {&stop_};
        const platform::TcpSocket* sockets[] = {&connection_};
        while (!stop_.isSet()) {
            platform::waitAny(events, sockets, std::chrono::milliseconds(-1));
            auto r = connection_.read();
            if (r.kind == platform::ReadResult::Kind::Data)
                connection_.send(kOk);
            else if (r.kind != platform::ReadResult::Kind::WouldBlock)
                return;
        }
    }

    Ipv4Address address_;
    std::uint16_t mainPort_;
    platform::TcpSocket connection_;
    platform::ManualResetEvent stop_;
    std::thread thread_;
};

// Waits until station i's mailbox holds `flags` and takes them, as the console would.
bool takeEvent(LinkServer& link, int i, std::uint32_t flags, std::chrono::milliseconds patience)
{
    return testing::takeConsoleEvent(link, i, flags, patience, 100ms);
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    auto rank = static_cast<std::size_t>(p / 100.0 * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(rank, values.size() - 1)];
}

} // namespace

int main(int argc, char** argv)
{
    int idleSeconds = argc > 1 ? std::atoi(argv[1]) : 10;
    int roundTrips = argc > 2 ? std::atoi(argv[2]) : 1000;

    LinkSettings settings;
    settings.listenAddress = Ipv4Address::loopback();
    settings.port = 0;
    LinkServer link(settings);
    std::vector<Ipv4Address> addresses;
    for (int i = 0; i < kStations; ++i)
        addresses.push_back(stationAddress(i));
    link.setStationAddresses(addresses);
    if (!link.start(kStations)) {
        std::fprintf(stderr, "the link did not start\n");
        return 1;
    }

    std::vector<std::unique_ptr<Station>> stations;
    int connected = 0;
    for (int i = 0; i < kStations; ++i) {
        stations.push_back(std::make_unique<Station>(i, link.mainPort()));
        if (stations.back()->connect() && takeEvent(link, i, EVT_CONNECTED, 2000ms))
            ++connected;
    }

    auto cpuBefore = platform::processCpuTime();
    auto wallBefore = SteadyClock::now();
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    auto cpu = platform::processCpuTime() - cpuBefore;
    auto wall = SteadyClock::now() - wallBefore;
    double idlePercent = 100.0 * std::chrono::duration<double>(cpu).count() / std::chrono::duration<double>(wall).count();

    std::vector<double> roundTripMs;
    roundTripMs.reserve(static_cast<std::size_t>(roundTrips));
    for (int n = 0; n < roundTrips; ++n) {
        int i = n % kStations;
        auto t0 = SteadyClock::now();
        link.sendStationCommand(i, CMD_UNLOCK);
        if (!takeEvent(link, i, EVT_STARTED, 5000ms)) {
            std::fprintf(stderr, "station %d did not confirm UNLOCK\n", i);
            continue;
        }
        roundTripMs.push_back(std::chrono::duration<double, std::milli>(SteadyClock::now() - t0).count());
        link.lockMailbox(i).word() &= ~LINK_STARTING;
    }

    std::printf("idle_cpu_percent=%.3f\n", idlePercent);
    std::printf("unlock_roundtrip_ms_p50=%.3f\n", percentile(roundTripMs, 50));
    std::printf("unlock_roundtrip_ms_p99=%.3f\n", percentile(roundTripMs, 99));
    std::printf("stations_connected=%d\n", connected);

    link.stop();
    return 0;
}
