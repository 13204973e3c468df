#include "station_harness.h"

#include "console/texts.h"

#include <fstream>
#include <sstream>
#include <thread>

namespace console::test {

namespace {

client::ScreenGeometry screen() { return {{0, 0, 1280, 800}, {0, 0, 1280, 760}}; }

} // namespace

SimulatedStation::SimulatedStation(int index, std::uint16_t consolePort)
    : SimulatedStation(index, consolePort, stationAddress(index))
{
}

SimulatedStation::SimulatedStation(int index, std::uint16_t consolePort, platform::Ipv4Address own)
    : index_(index), port_(consolePort), own_(own)
{
    const auto& console = kConsoleAddress.octets;
    std::ofstream(folder_.path() / "TambloConfig", std::ios::binary)
        .write(reinterpret_cast<const char*>(console.data()), 4);
    build();
}

void SimulatedStation::build()
{
    client::EngineSettings settings;
    settings.folder = folder_.path();
    settings.link.ownAddress = own_;
    settings.link.bindOwnAddress = true;
    settings.link.mainPort = port_;
    settings.link.connectWait = 200ms;
    settings.link.replyWait = 1000ms;
    engine_ = std::make_unique<client::ClientEngine>(host_, workstation_, settings);
    engine_->start(screen());
}

void SimulatedStation::tick()
{
    if (engine_)
        engine_->tick();
}

void SimulatedStation::restartProgram()
{
    engine_.reset();
    build();
}

std::vector<std::string> SimulatedStation::logLines() const
{
    std::ifstream in(folder_.path() / "Tamblo.log", std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

SimulatedStation& Cafe::addStation(int index)
{
    stations_.push_back(std::make_unique<SimulatedStation>(index, rig_.mainPort()));
    indexes_.push_back(index);
    return *stations_.back();
}

SimulatedStation& Cafe::addStation(int index, platform::Ipv4Address own)
{
    stations_.push_back(std::make_unique<SimulatedStation>(index, rig_.mainPort(), own));
    indexes_.push_back(index);
    return *stations_.back();
}

void Cafe::addStations(int count)
{
    for (int i = 0; i < count; ++i)
        addStation(i);
}

bool Cafe::tickStationsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        for (auto& station : stations_)
            station->tick();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
}

SimulatedStation& Cafe::station(int index)
{
    for (std::size_t k = 0; k < indexes_.size(); ++k)
        if (indexes_[k] == index)
            return *stations_[k];
    throw std::out_of_range("no such station");
}

bool Cafe::runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    return runStationsUntil(indexes_, done, limit);
}

bool Cafe::runStationsUntil(const std::vector<int>& ticking, const std::function<bool()>& done,
                            std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        for (int index : ticking)
            station(index).tick();
        rig_.console().eventPoll();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
}

void Cafe::runFor(std::chrono::milliseconds time)
{
    runUntil([] { return false; }, time);
}

bool Cafe::allReady()
{
    return runUntil([&] {
        for (std::size_t k = 0; k < stations_.size(); ++k)
            if (!stations_[k]->connected() || rig_.status(indexes_[k]) != kStatusStopped)
                return false;
        return true;
    });
}

bool Cafe::startSession(int i)
{
    rig_.select({i});
    rig_.console().onStartPressed();
    return runUntil([&] { return rig_.status(i) == kStatusStarted; });
}

void ThreeStationCafe::writeTables() { writeSaleItems(folder.path(), {{"Coffee", 1.50, true}}); }

void ThreeStationCafe::SetUp()
{
    writeClients(folder.path(), 3);
    writeStandardRates(folder.path());
    writeTables();
    rig.startConsole();
    cafe = std::make_unique<Cafe>(rig);
    cafe->addStations(3);
    ASSERT_TRUE(cafe->allReady());
}

void ThreeStationCafe::startStation(int i) { ASSERT_TRUE(cafe->startSession(i)); }

} // namespace console::test
