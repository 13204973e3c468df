// Starts the link with 99 stations, connects 99 simulated stations from
// 127.0.0.2..127.0.0.100 (one socket each, bound to its own address), then
// measures the handshakes, the process CPU over idle seconds and the time from
// posting CMD_UNLOCK to the console seeing EVT_STARTED: once over the original
// handshake ("plain_"), once with the cafe's key over TLS ("tls_").
//
// Usage: bench_link [idle seconds, default 10] [round trips, default 1000]

#include "link/cafe_key.h"
#include "link/channel.h"
#include "link/station_words.h"
#include "link/link_server.h"
#include "link/protocol.h"

#include "../tests/console_event.h"
#include "scripted_station.h"

#include "platform/event.h"
#include "platform/process_cpu.h"
#include "platform/tcp_socket.h"

#include <algorithm>
#include <cmath>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
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
    Station(int index, std::uint16_t mainPort, std::optional<CafeKey> key)
        : address_(stationAddress(index)), mainPort_(mainPort), key_(key)
    {
    }
    ~Station()
    {
        stop_.set();
        if (thread_.joinable())
            thread_.join();
    }

    bool connect()
    {
        test::ScriptedStation station(address_, mainPort_, key_);
        if (!station.attach())
            return false;
        connection_ = std::move(station.connection);
        thread_ = std::thread([this] { answerCommands(); });
        return true;
    }

    // From now on the station also sends "STOP" about ten thousand times a second.
    void startFlooding()
    {
        flooding_ = true;
        floodStart_.set(); // wakes the thread from its wait
    }
    long floodSent() const { return floodSent_; }

private:
    void answerCommands()
    {
        const platform::ManualResetEvent* events[] = {&stop_, &floodStart_};
        const platform::TcpSocket* sockets[] = {&connection_.socket()};
        while (!stop_.isSet()) {
            if (flooding_) {
                for (int k = 0; k < 10; ++k)
                    floodSent_ += connection_.send(kStop) ? 1 : 0;
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            } else if (!connection_.hasBufferedData()) {
                platform::waitAny(events, sockets, std::chrono::milliseconds(-1));
            }
            auto r = connection_.read();
            if (r.kind == platform::ReadResult::Kind::Data)
                (void)connection_.send(kOk);
            else if (r.kind != platform::ReadResult::Kind::WouldBlock)
                return;
        }
    }

    Ipv4Address address_;
    std::uint16_t mainPort_;
    std::optional<CafeKey> key_;
    Channel connection_;
    platform::ManualResetEvent stop_;
    platform::ManualResetEvent floodStart_;
    std::thread thread_;
    std::atomic<bool> flooding_{false};
    std::atomic<long> floodSent_{0};
};

// Waits until station i's mailbox holds the event and takes it, as the console would.
bool takeEvent(LinkServer& link, int i, Event event, std::chrono::milliseconds patience)
{
    return test::takeConsoleEvent(link, i, event, patience, 100ms);
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    auto rank = static_cast<std::size_t>(std::lround(p / 100.0 * static_cast<double>(values.size() - 1)));
    return values[std::min(rank, values.size() - 1)];
}

// Posts UNLOCK to stations 0 .. stations - 1 in turn, `count` times, and times
// each until the console sees it confirmed.
std::vector<double> unlockRoundTrips(LinkServer& link, int stations, int count)
{
    std::vector<double> ms;
    ms.reserve(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n) {
        int i = n % stations;
        auto t0 = SteadyClock::now();
        link.sendStationCommand(i, Command::Unlock);
        if (!takeEvent(link, i, Event::Started, 5000ms)) {
            std::fprintf(stderr, "station %d did not confirm UNLOCK\n", i);
            continue;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(SteadyClock::now() - t0).count());
        link.lockMailbox(i).word().clear(LinkState::Starting);
    }
    return ms;
}

// One cafe of 99 stations, with or without the cafe's key; prints its figures
// with `prefix`. False when the link did not start.
bool measureCafe(const char* prefix, std::optional<CafeKey> key, int idleSeconds, int roundTrips)
{
    LinkSettings settings;
    settings.listenAddress = Ipv4Address::loopback();
    settings.port = 0;
    settings.key = key;
    LinkServer link(settings);
    std::vector<Ipv4Address> addresses;
    for (int i = 0; i < kStations; ++i)
        addresses.push_back(stationAddress(i));
    link.setStationAddresses(addresses);
    if (!link.start(kStations)) {
        std::fprintf(stderr, "the link did not start\n");
        return false;
    }

    // The handshakes one after the other, as stations coming up one by one;
    // then every connection is reported after its moment to reclaim.
    std::vector<std::unique_ptr<Station>> stations;
    std::vector<bool> attached;
    auto handshakesBegin = SteadyClock::now();
    for (int i = 0; i < kStations; ++i) {
        stations.push_back(std::make_unique<Station>(i, link.mainPort(), key));
        attached.push_back(stations.back()->connect());
    }
    const double handshakeMs =
        std::chrono::duration<double, std::milli>(SteadyClock::now() - handshakesBegin).count() / kStations;
    int connected = 0;
    for (int i = 0; i < kStations; ++i)
        if (attached[static_cast<std::size_t>(i)] && takeEvent(link, i, Event::Connected, 5000ms))
            ++connected;

    auto cpuBefore = platform::processCpuTime();
    auto wallBefore = SteadyClock::now();
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    auto cpu = platform::processCpuTime() - cpuBefore;
    auto wall = SteadyClock::now() - wallBefore;
    double idlePercent =
        100.0 * std::chrono::duration<double>(cpu).count() / std::chrono::duration<double>(wall).count();

    const std::vector<double> roundTripMs = unlockRoundTrips(link, kStations, roundTrips);
    // The last station floods its connection; the others' UNLOCKs are timed again.
    stations.back()->startFlooding();
    const std::vector<double> floodedMs = unlockRoundTrips(link, kStations - 1, roundTrips);
    const long floodSent = stations.back()->floodSent();

    std::printf("%shandshake_ms_mean=%.3f\n", prefix, handshakeMs);
    std::printf("%sidle_cpu_percent=%.3f\n", prefix, idlePercent);
    std::printf("%sunlock_roundtrip_ms_p50=%.3f\n", prefix, percentile(roundTripMs, 50));
    std::printf("%sunlock_roundtrip_ms_p99=%.3f\n", prefix, percentile(roundTripMs, 99));
    std::printf("%sstations_connected=%d\n", prefix, connected);
    std::printf("%sflood_messages_sent=%ld\n", prefix, floodSent);
    std::printf("%sflood_unlock_roundtrip_ms_p50=%.3f\n", prefix, percentile(floodedMs, 50));
    std::printf("%sflood_unlock_roundtrip_ms_p99=%.3f\n", prefix, percentile(floodedMs, 99));
    link.stop();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int idleSeconds = argc > 1 ? std::atoi(argv[1]) : 10;
    int roundTrips = argc > 2 ? std::atoi(argv[2]) : 1000;
    auto key = CafeKey::generate();
    if (!key) {
        std::fprintf(stderr, "no key could be made\n");
        return 1;
    }
    if (!measureCafe("plain_", std::nullopt, idleSeconds, roundTrips) ||
        !measureCafe("tls_", key, idleSeconds, roundTrips))
        return 1;
    return 0;
}
