#include "listener.h"

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
                   const LinkSettings& settings, RefusalLog& refusals, platform::ManualResetEvent& stop)
    : mainPort_(std::move(mainPort)),
      slots_(slots),
      directory_(directory),
      settings_(settings),
      refusals_(refusals),
      stop_(stop)
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
        sockets.push_back(caller.channel.isValid() ? &caller.channel.socket() : &caller.socket);
        if (caller.channel.hasBufferedData())
            timeout = std::chrono::milliseconds(0);
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
        auto accepted = mainPort_.accept(&peer);
        if (!accepted) {
            // Out of descriptors or similar: the pending connection stays and
            // would wake us at once, so give the system a moment.
            const int error = accepted.error().code;
            if (error != platform::kSocketWouldBlock && error != platform::kSocketConnectionAborted)
                stop_.wait(std::chrono::milliseconds(50));
            return;
        }
        platform::TcpSocket socket = std::move(*accepted);
        // Read at once: a station sends its CONNECT right after connecting, so
        // only callers that have said nothing yet wait in the queue, and a
        // burst of stations coming back together is never evicted unread.
        Caller caller{std::move(socket), {}, peer, Clock::now() + settings_.connectWait, {}};
        if (!readCaller(caller))
            continue;
        if (callers_.size() >= kMaxCallers)
            callers_.pop_front();
        callers_.push_back(std::move(caller));
    }
}

bool Listener::openChannel(Caller& caller)
{
    // An address listed for no station is turned away before any handshake
    // work is spent on it.
    if (directory_.find(caller.peer) < 0) {
        refuse(caller, LinkRefusal::Reason::UnknownStation);
        return false;
    }
    switch (peekOpening(caller.socket)) {
    case Opening::Nothing:
        return true;
    case Opening::Closed:
        caller.socket.close();
        return false;
    case Opening::Tls:
        if (!settings_.key) {
            refuse(caller, LinkRefusal::Reason::ConsoleHasNoKey);
            return false;
        }
        caller.channel = Channel::tlsServer(std::move(caller.socket), *settings_.key);
        return true;
    case Opening::Plain:
        if (settings_.key && !directory_.keylessAllowed(caller.peer)) {
            refuse(caller, LinkRefusal::Reason::NoKey);
            return false;
        }
        caller.channel = Channel::plain(std::move(caller.socket));
        return true;
    }
    return false;
}

void Listener::refuse(Caller& caller, LinkRefusal::Reason reason)
{
    const int index = directory_.find(caller.peer);
    if (reason == LinkRefusal::Reason::NoKey)
        if (StationSlot* slot = slots_.find(index))
            slot->keying = StationKeying::Keyless;
    if (index < 0)
        reason = LinkRefusal::Reason::UnknownStation;
    refusals_.add({caller.peer, reason});
    caller.socket.close();
    caller.channel.close();
}

bool Listener::readCaller(Caller& caller)
{
    const bool inTime = Clock::now() < caller.deadline;
    if (!caller.channel.isValid() && !openChannel(caller))
        return false;
    if (!caller.channel.isValid()) {
        if (!inTime)
            caller.socket.close();
        return caller.socket.isValid();
    }
    switch (caller.channel.continueHandshake()) {
    case Channel::Handshake::Pending:
        if (!inTime)
            caller.channel.close();
        return caller.channel.isValid();
    case Channel::Handshake::Failed:
        refuse(caller, LinkRefusal::Reason::WrongKey);
        return false;
    case Channel::Handshake::Done:
        break;
    }
    platform::ReadResult r = caller.channel.read();
    bool waiting = r.kind == platform::ReadResult::Kind::WouldBlock;
    if (r.kind == platform::ReadResult::Kind::Data) {
        caller.received += r.data;
        // Nothing may follow a CONNECT before its answer, so it must be all
        // that came; the start of one waits for the rest.
        Frame frame = frameConnect(caller.received, caller.peer);
        waiting = frame.kind == Frame::Kind::Partial;
        if (frame.kind == Frame::Kind::Message && frame.length == caller.received.size())
            answerConnect(caller);
        else if (frame.kind == Frame::Kind::Unknown)
            refuseOtherClaim(caller);
    }
    if (!waiting || !inTime)
        caller.channel.close();
    return caller.channel.isValid();
}

// A station that announces another address than the one its connection comes
// from is turned away; the owner is told both, since that is how a station set
// up with a wrong address (or one that guessed it from its host name) is found.
void Listener::refuseOtherClaim(const Caller& caller)
{
    const auto claimed = parseConnect(caller.received);
    if (claimed && *claimed != caller.peer && directory_.find(caller.peer) >= 0)
        refusals_.add({caller.peer, LinkRefusal::Reason::ClaimedOtherAddress, *claimed});
}

void Listener::serviceCallers()
{
    for (auto& caller : callers_)
        readCaller(caller);
    std::erase_if(callers_, [](const Caller& c) { return !c.socket.isValid() && !c.channel.isValid(); });
}

void Listener::answerConnect(Caller& caller)
{
    // A station is known by its address, so the address it announces must be
    // the one the connection comes from (frameConnect holds it to that);
    // anything else is closed without a word.
    int index = directory_.find(caller.peer);
    StationSlot* slot = slots_.find(index);
    if (!slot) {
        refusals_.add({caller.peer, LinkRefusal::Reason::UnknownStation});
        return;
    }
    {
        // Checked under the hand-off lock: a thread that is ending closes
        // what was left there, so no caller is kept waiting on a thread gone.
        std::lock_guard lock(slot->handoffLock);
        if (!slot->running)
            return;
        slot->keying = caller.channel.isSecured() ? StationKeying::Keyed : StationKeying::Keyless;
        slot->handoff = std::move(caller.channel);
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
