#include "cafe.h"

#include "console/texts.h"

#include <stdexcept>
#include <thread>

namespace console::test {

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

} // namespace console::test
