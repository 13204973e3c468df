#include "simulated_station.h"

#include <fstream>

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
    settings.folders = client::StationFolders::allIn(folder_.path());
    settings.link.ownAddress = own_;
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

} // namespace console::test
