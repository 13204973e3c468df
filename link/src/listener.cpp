#include "listener.h"

#include "link/link_bits.h"
#include "link/message_framing.h"
#include "link/protocol.h"
#include "relay.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace stationlink {

namespace {

// Connections waiting for their CONNECT at one time; the oldest goes first.
constexpr std::size_t kMaxCallers = 32;
// Longest sleep when nothing happens; every real wake-up comes from an event or
// a socket, so this is only a backstop.
constexpr std::chrono::milliseconds kIdleWake{60000};

} // namespace

Listener::Listener(platform::TcpSocket mainPort, SlotTable& slots, const StationDirectory& directory,
                   const LinkSettings& settings, platform::ManualResetEvent& stop)
    : mainPort_(std::move(mainPort)), slots_(slots), directory_(directory), settings_(settings), stop_(stop)
{
}

void Listener::run()
{
    for (;;) {
        wait();
        relayCommands();
        bool lastCycle = stop_.isSet();
        acceptCallers();
        serviceCallers();
        relayEvents();
        if (lastCycle)
            break;
    }
    callers_.clear();
    mainPort_.close();
}

void Listener::wait()
{
    slots_.added.reset();
    std::vector<const platform::ManualResetEvent*> events;
    events.reserve(2 + 2 * kMaxStations);
    events.push_back(&stop_);
    events.push_back(&slots_.added);
    slots_.forEach([&](int, StationSlot& slot) {
        events.push_back(&slot.commandPosted);
        events.push_back(&slot.linkChanged);
    });
    std::vector<const platform::TcpSocket*> sockets;
    sockets.reserve(1 + callers_.size());
    sockets.push_back(&mainPort_);
    auto timeout = kIdleWake;
    auto now = Clock::now();
    for (auto& caller : callers_) {
        sockets.push_back(&caller.socket);
        auto left = std::chrono::ceil<std::chrono::milliseconds>(caller.deadline - now);
        timeout = std::clamp(left, std::chrono::milliseconds(0), timeout);
    }
    platform::waitAny(events, sockets, timeout);
}

void Listener::relayCommands()
{
    slots_.forEach([](int, StationSlot& slot) {
        if (!slot.commandPosted.isSet())
            return;
        slot.commandPosted.reset();
        bool moved;
        {
            std::scoped_lock lock(slot.mailboxLock, slot.linkLock);
            moved = stationlink::relayCommands(slot.mailboxWord, slot.linkWord);
        }
        if (moved)
            slot.sendCommand.set();
    });
}

void Listener::acceptCallers()
{
    for (;;) {
        platform::Ipv4Address peer;
        int error = 0;
        platform::TcpSocket socket = mainPort_.accept(&peer, &error);
        if (!socket.isValid()) {
            // Out of descriptors or similar: the pending connection stays and
            // would wake us at once, so give the system a moment.
            if (error != platform::kSocketWouldBlock && error != platform::kSocketConnectionAborted)
                stop_.wait(std::chrono::milliseconds(50));
            return;
        }
        // Read at once: a station sends its CONNECT right after connecting, so
        // only callers that have said nothing yet wait in the queue, and a
        // burst of stations coming back together is never evicted unread.
        Caller caller{std::move(socket), peer, Clock::now() + settings_.connectWait, {}};
        if (!readCaller(caller))
            continue;
        if (callers_.size() >= kMaxCallers)
            callers_.pop_front();
        callers_.push_back(std::move(caller));
    }
}

bool Listener::readCaller(Caller& caller)
{
    platform::ReadResult r = caller.socket.read();
    bool waiting = r.kind == platform::ReadResult::Kind::WouldBlock;
    if (r.kind == platform::ReadResult::Kind::Data) {
        caller.received += r.data;
        // Nothing may follow a CONNECT before its answer, so it must be all
        // that came; the start of one waits for the rest.
        Frame frame = frameConnect(caller.received, caller.peer);
        waiting = frame.kind == Frame::Kind::Partial;
        if (frame.kind == Frame::Kind::Message && frame.length == caller.received.size())
            answerConnect(caller);
    }
    if (!waiting || Clock::now() >= caller.deadline)
        caller.socket.close();
    return caller.socket.isValid();
}

void Listener::serviceCallers()
{
    for (auto& caller : callers_)
        readCaller(caller);
    std::erase_if(callers_, [](const Caller& c) { return !c.socket.isValid(); });
}

void Listener::answerConnect(Caller& caller)
{
    // A station is known by its address, so the address it announces must be
    // the one the connection comes from (frameConnect holds it to that);
    // anything else is closed without a word.
    int index = directory_.find(caller.peer);
    StationSlot* slot = slots_.find(index);
    if (!slot)
        return;
    {
        // Checked under the hand-off lock: a thread that is ending closes
        // what was left there, so no caller is kept waiting on a thread gone.
        std::lock_guard lock(slot->handoffLock);
        if (!slot->running)
            return;
        slot->handoff = std::move(caller.socket);
    }
    slot->connectRequest.set();
}

void Listener::relayEvents()
{
    std::vector<StationSlot*> changed;
    slots_.forEach([&](int, StationSlot& slot) {
        if (!slot.linkChanged.isSet())
            return;
        slot.linkChanged.reset();
        bool moved;
        {
            std::scoped_lock lock(slot.linkLock, slot.mailboxLock);
            moved = stationlink::relayEvents(slot.linkWord, slot.mailboxWord);
        }
        slot.linkChangeTaken.set();
        if (moved)
            changed.push_back(&slot);
    });
    for (auto* slot : changed)
        slot->eventForConsole.set();
}

} // namespace stationlink
