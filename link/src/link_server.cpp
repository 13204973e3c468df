#include "link/link_server.h"

#include "listener.h"
#include "refusal_log.h"
#include "slot_table.h"
#include "station_directory.h"
#include "station_worker.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace stationlink {

namespace {

bool inRange(int i) { return i >= 0 && i < kMaxStations; }

// How long stopping a station waits for the listener to hand its last events
// to the console.
constexpr std::chrono::milliseconds kRelayWait{1000};

} // namespace

struct LinkServer::State {
    explicit State(LinkSettings s) : settings(s) {}

    LinkSettings settings; // the threads only read it, and only once they run
    StationDirectory directory;
    SlotTable slots;
    RefusalLog refusals;

    // Serialises start, stop and the station workers' start and stop.
    std::mutex control;
    platform::ManualResetEvent listenerStop;
    std::thread listener;
    std::array<std::thread, kMaxStations> workers;
    std::atomic<bool> running{false};
    std::atomic<std::uint16_t> mainPort{0};
    std::atomic<int> runningStations{0};

    bool startWorker(int i);
    void stopWorker(int i);
    void joinWorker(int i, StationSlot& slot);
    void handOverLastEvents(StationSlot& slot);
};

bool LinkServer::State::startWorker(int i)
{
    if (!running || !inRange(i))
        return false;
    StationSlot& slot = slots.obtain(i);
    if (slot.running)
        return false;
    for (auto* event :
         {&slot.sendCommand, &slot.linkChanged, &slot.linkChangeTaken, &slot.connectRequest, &slot.stationStop})
        event->reset();
    {
        std::lock_guard lock(slot.linkLock);
        slot.linkWord = LinkWord();
    }
    {
        std::lock_guard lock(slot.handoffLock);
        slot.handoff.close();
    }
    slot.running = true;
    try {
        workers[static_cast<std::size_t>(i)] =
            std::thread([this, i, &slot] { StationWorker(i, slot, directory, settings, refusals).run(); });
    } catch (const std::system_error&) {
        slot.running = false;
        return false;
    }
    ++runningStations;
    return true;
}

void LinkServer::State::stopWorker(int i)
{
    StationSlot* slot = slots.find(i);
    if (!slot || !slot->running)
        return;
    slot->stationStop.set();
    joinWorker(i, *slot);
    --runningStations;
    handOverLastEvents(*slot);
}

// Waits for a worker that was told to stop and marks its slot free.
void LinkServer::State::joinWorker(int i, StationSlot& slot)
{
    workers[static_cast<std::size_t>(i)].join();
    slot.stationStop.reset();
    std::lock_guard lock(slot.handoffLock);
    slot.running = false;
    // A CONNECT handed over while the thread was ending is closed without a word.
    slot.handoff.close();
}

// The station is gone for the console: its row must say so. A Connected
// the thread raised but could not hand over is outdated by this.
void LinkServer::State::handOverLastEvents(StationSlot& slot)
{
    {
        std::lock_guard lock(slot.linkLock);
        slot.linkWord.forget(Event::Connected);
        slot.linkWord.raise(Event::Disconnected);
    }
    slot.linkChanged.set();
    if (!running)
        return;
    auto deadline = std::chrono::steady_clock::now() + kRelayWait;
    while (std::chrono::steady_clock::now() < deadline) {
        {
            std::lock_guard lock(slot.linkLock);
            if (slot.linkWord.events().empty())
                break;
        }
        slot.linkChangeTaken.wait(std::chrono::milliseconds(5));
        slot.linkChangeTaken.reset();
    }
}

LinkServer::LinkServer(LinkSettings settings) : state_(std::make_unique<State>(settings)) {}

LinkServer::~LinkServer() { stop(); }

void LinkServer::setStationAddresses(std::vector<platform::Ipv4Address> addresses)
{
    state_->directory.assign(std::move(addresses));
}

bool LinkServer::start(int stationCount)
{
    std::lock_guard lock(state_->control);
    if (state_->running)
        return false;
    stationCount = std::clamp(stationCount, 0, kMaxStations);
    auto listening =
        platform::TcpSocket::listenOn(state_->settings.listenAddress, state_->settings.port, std::max(stationCount, 5));
    if (!listening)
        return false;
    platform::TcpSocket mainPort = std::move(*listening);
    state_->mainPort = mainPort.localPort().value_or(0);
    state_->listenerStop.reset();
    try {
        state_->listener = std::thread([state = state_.get(), socket = std::move(mainPort)]() mutable {
            Listener(std::move(socket), state->slots, state->directory, state->settings, state->refusals,
                     state->listenerStop)
                .run();
        });
    } catch (const std::system_error&) {
        return false;
    }
    state_->running = true;
    for (int i = 0; i < stationCount; ++i)
        state_->startWorker(i);
    return true;
}

void LinkServer::stop()
{
    std::lock_guard lock(state_->control);
    if (!state_->running)
        return;
    state_->listenerStop.set();
    state_->listener.join();
    state_->listenerStop.reset();
    state_->running = false;
    state_->slots.forEach([&](int, StationSlot& slot) {
        if (slot.running)
            slot.stationStop.set();
    });
    state_->slots.forEach([&](int i, StationSlot& slot) {
        if (slot.running)
            state_->joinWorker(i, slot);
    });
    state_->runningStations = 0;
}

bool LinkServer::isRunning() const { return state_->running; }

std::uint16_t LinkServer::mainPort() const { return state_->mainPort; }

bool LinkServer::startStationWorker(int i)
{
    std::lock_guard lock(state_->control);
    return state_->startWorker(i);
}

void LinkServer::stopStationWorker(int i)
{
    std::lock_guard lock(state_->control);
    state_->stopWorker(i);
}

bool LinkServer::restartStation(int i)
{
    std::lock_guard lock(state_->control);
    state_->stopWorker(i);
    return state_->startWorker(i);
}

int LinkServer::runningStations() const { return state_->runningStations; }

bool LinkServer::isStationRunning(int i) const
{
    StationSlot* slot = state_->slots.find(i);
    return slot && slot->running;
}

void LinkServer::sendStationCommand(int i, Commands commands)
{
    if (!inRange(i))
        return;
    StationSlot& slot = state_->slots.obtain(i);
    {
        std::lock_guard lock(slot.mailboxLock);
        slot.mailboxWord.post(commands);
        if (commands.has(Command::Unlock))
            slot.mailboxWord.set(LinkState::Starting);
        if (commands.has(Command::Lock))
            slot.mailboxWord.set(LinkState::Stopping);
    }
    slot.commandPosted.set();
}

void LinkServer::sendSessionInfo(int i, const SessionInfoRecord& record)
{
    if (!inRange(i))
        return;
    StationSlot& slot = state_->slots.obtain(i);
    {
        std::lock_guard lock(slot.sessionInfoLock);
        slot.sessionInfo = record;
    }
    sendStationCommand(i, Command::SessionInfo);
}

bool LinkServer::takeEventForConsole(int i)
{
    StationSlot* slot = state_->slots.find(i);
    if (!slot || !slot->eventForConsole.isSet())
        return false;
    slot->eventForConsole.reset();
    return true;
}

bool LinkServer::waitEventForConsole(int i, std::chrono::milliseconds timeout) const
{
    StationSlot* slot = state_->slots.find(i);
    return slot && slot->eventForConsole.wait(timeout);
}

MailboxAccess LinkServer::lockMailbox(int i)
{
    if (!inRange(i))
        return MailboxAccess(nullptr, nullptr);
    StationSlot& slot = state_->slots.obtain(i);
    return MailboxAccess(&slot.mailboxLock, &slot.mailboxWord);
}

std::time_t LinkServer::stationStartTime(int i) const
{
    StationSlot* slot = state_->slots.find(i);
    return slot ? slot->startTime.load() : 0;
}

std::optional<std::string> LinkServer::takeReportedStamp(int i)
{
    StationSlot* slot = state_->slots.find(i);
    if (!slot)
        return std::nullopt;
    std::lock_guard lock(slot->reportLock);
    return std::exchange(slot->reportedStamp, std::nullopt);
}

void LinkServer::setKey(std::optional<CafeKey> key)
{
    std::lock_guard lock(state_->control);
    if (!state_->running)
        state_->settings.key = key;
}

void LinkServer::setKeylessStations(std::vector<platform::Ipv4Address> addresses)
{
    state_->directory.allowKeyless(std::move(addresses));
}

std::vector<LinkRefusal> LinkServer::takeRefusals() { return state_->refusals.take(); }

StationKeying LinkServer::stationKeying(int i) const
{
    StationSlot* slot = state_->slots.find(i);
    return slot ? slot->keying.load() : StationKeying::Unknown;
}

bool LinkServer::stationInSetup(int i) const
{
    StationSlot* slot = state_->slots.find(i);
    return slot && slot->inSetup.load();
}

std::optional<Command> LinkServer::lateCommand(int i) const
{
    StationSlot* slot = state_->slots.find(i);
    const std::uint32_t late = slot ? slot->lateCommand.load() : 0;
    if (late == 0)
        return std::nullopt;
    return static_cast<Command>(late);
}

} // namespace stationlink
