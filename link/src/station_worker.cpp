#include "station_worker.h"

#include "link/protocol.h"

#include <algorithm>
#include <array>
#include <mutex>

namespace stationlink {

namespace {

// Longest sleep when nothing happens. Every real wake-up comes from an event or
// a socket (all level-triggered), so this is only a backstop; short periodic
// wake-ups of 99 threads would be most of an idle console's CPU.
constexpr std::chrono::milliseconds kIdleWake{60000};

// Messages taken from one station in one pass of its loop.
constexpr int kMessagesPerPass = 16;

// Commands in the order they are sent when several wait.
constexpr std::array kCommandPriority{Command::Unlock, Command::SessionInfo, Command::Lock, Command::Quit,
                                      Command::Shutdown};

std::chrono::milliseconds timeLeft(std::chrono::steady_clock::time_point deadline)
{
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return std::max(left, std::chrono::milliseconds(0));
}

} // namespace

StationWorker::StationWorker(int index, StationSlot& slot, const StationDirectory& directory,
                             const LinkSettings& settings, RefusalLog& refusals)
    : index_(index), slot_(slot), directory_(directory), settings_(settings), refusals_(refusals)
{
}

void StationWorker::run()
{
    while (!slot_.stationStop.isSet()) {
        wait();
        if (slot_.stationStop.isSet())
            break;
        if (slot_.connectRequest.isSet()) {
            slot_.connectRequest.reset();
            if (!beginHandshake())
                break;
        }
        if (handshake_.isValid())
            continueHandshake();
        if (armed_ && !connection_.isValid() && !acceptStation())
            break;
        if (securingUntil_)
            continueSecuring();
        if (connection_.isValid() && !securingUntil_ && !readStation())
            break;
        if (announceAt_ && Clock::now() >= *announceAt_ && !announceConnection({}))
            break;
        // Reset before the LinkWord is looked at: a command posted after the
        // look sets it again and wakes the next wait.
        slot_.sendCommand.reset();
        if (!sendNextCommand())
            break;
        if (goingAway_ && !inFlight_ && !raise(dropConnection()))
            break;
        noteLateCommand();
    }
    finish();
}

void StationWorker::wait()
{
    const platform::ManualResetEvent* events[] = {&slot_.stationStop, &slot_.connectRequest, &slot_.sendCommand};
    std::array<const platform::TcpSocket*, 3> sockets{};
    std::size_t count = 0;
    // Messages already received but not yet taken need no wait.
    const bool ready = received_.holdsPiece() || connection_.hasBufferedData() || handshake_.hasBufferedData();
    auto timeout = ready ? std::chrono::milliseconds(0) : kIdleWake;
    if (handshake_.isValid()) {
        sockets[count++] = &handshake_.socket();
        timeout = std::min(timeout, timeLeft(handshakeDeadline_));
    }
    if (armed_ && !connection_.isValid())
        sockets[count++] = &portListener_;
    if (connection_.isValid())
        sockets[count++] = &connection_.socket();
    if (securingUntil_)
        timeout = std::min(timeout, timeLeft(*securingUntil_));
    if (announceAt_)
        timeout = std::min(timeout, timeLeft(*announceAt_));
    if (inFlight_ && slot_.lateCommand == 0)
        timeout = std::min(timeout, timeLeft(inFlight_->sentAt + settings_.answerWait));
    platform::waitAny(events, std::span(sockets.data(), count), timeout);
}

bool StationWorker::beginHandshake()
{
    Channel caller;
    {
        std::lock_guard lock(slot_.handoffLock);
        caller = std::move(slot_.handoff);
    }
    if (!caller.isValid())
        return true;

    // A new handshake replaces everything of the previous one. A connection
    // still up is gone for the station, so the console hears of it.
    handshake_.close();
    handshakeAnswer_.clear();
    armed_ = false;
    secured_ = caller.isSecured();
    portListener_.close();
    if (connection_.isValid() && !raise(dropConnection()))
        return false;

    portListener_ = platform::TcpSocket::listenOn(settings_.listenAddress, 0, 5).value_or(platform::TcpSocket{});
    auto port = portListener_.isValid() ? portListener_.localPort() : std::nullopt;
    if (!port) {
        portListener_.close();
        return true; // the caller is closed without a word and will try again
    }
    if (caller.send(buildPortReply(*port))) {
        handshake_ = std::move(caller);
        handshakeDeadline_ = Clock::now() + settings_.handshakeWait;
    }
    return true;
}

void StationWorker::continueHandshake()
{
    platform::ReadResult r = handshake_.read();
    if (r.kind == platform::ReadResult::Kind::Data)
        handshakeAnswer_ += r.data;
    // "O" alone may be followed by its "K" in the next read.
    bool partial = handshakeAnswer_.size() < kOk.size() && kOk.starts_with(handshakeAnswer_);
    bool open = r.kind == platform::ReadResult::Kind::WouldBlock || r.kind == platform::ReadResult::Kind::Data;
    if (partial && open && Clock::now() < handshakeDeadline_)
        return;
    // Only an exact "OK" arms the station port; the main-port connection is done either way.
    armed_ = isOk(handshakeAnswer_);
    handshake_.close();
    handshakeAnswer_.clear();
}

bool StationWorker::acceptStation()
{
    for (;;) {
        platform::Ipv4Address peer;
        auto accepted = portListener_.accept(&peer);
        if (!accepted) {
            const int error = accepted.error().code;
            if (error != platform::kSocketWouldBlock && error != platform::kSocketConnectionAborted)
                slot_.stationStop.wait(std::chrono::milliseconds(50));
            return true;
        }
        platform::TcpSocket socket = std::move(*accepted);
        // Only the station itself may use its port; anyone else is closed without a word.
        if (directory_.addressOf(index_) != peer)
            continue;
        received_.clear();
        if (secured_ && settings_.key) {
            connection_ = Channel::tlsServer(std::move(socket), *settings_.key);
            securingUntil_ = Clock::now() + settings_.handshakeWait;
        } else {
            connection_ = Channel::plain(std::move(socket));
            announceAt_ = Clock::now() + settings_.reclaimWait;
        }
        return true;
    }
}

void StationWorker::continueSecuring()
{
    switch (connection_.continueHandshake()) {
    case Channel::Handshake::Done:
        securingUntil_.reset();
        announceAt_ = Clock::now() + settings_.reclaimWait;
        return;
    case Channel::Handshake::Failed:
        if (auto peer = connection_.peerAddress())
            refusals_.add({*peer, LinkRefusal::Reason::WrongKey});
        break;
    case Channel::Handshake::Pending:
        if (Clock::now() < *securingUntil_)
            return;
        break;
    }
    // Never reported to the console: it goes without a word.
    securingUntil_.reset();
    connection_.close();
}

bool StationWorker::readStation()
{
    if (!received_.holdsPiece()) {
        platform::ReadResult r = connection_.read();
        switch (r.kind) {
        case platform::ReadResult::Kind::WouldBlock:
            return true;
        case platform::ReadResult::Kind::Closed:
        case platform::ReadResult::Kind::Error:
            // A read of zero bytes is the station closing: it is gone just the same.
            return raise(dropConnection());
        case platform::ReadResult::Kind::Data:
            received_.append(r.data);
            break;
        }
    }
    // A station that floods its connection is served its share in each pass;
    // the rest waits for the next one.
    for (int taken = 0; taken < kMessagesPerPass && connection_.isValid(); ++taken) {
        auto message = received_.take();
        if (!message)
            break;
        if (!takeStationMessage(*message))
            return false;
    }
    return true;
}

bool StationWorker::takeStationMessage(const std::string& message)
{
    const StationMessageKind kind = classifyStationMessage(message);
    if (kind == StationMessageKind::Started) {
        slot_.startTime = *parseStarted(message);
        std::lock_guard lock(slot_.reportLock);
        slot_.reportedStamp = message.substr(kStarted.size());
    }
    // The first message of a new connection ends the station's moment to
    // reclaim: a reclaim goes to the console together with the connection.
    if (announceAt_) {
        if (kind == StationMessageKind::Started)
            return announceConnection(Event::Started);
        if (!announceConnection({}))
            return false;
    }
    switch (kind) {
    case StationMessageKind::Ok:
        return !inFlight_ || completeCommand();
    case StationMessageKind::Stop:
        // The station ended its session while an UNLOCK or a LOCK was under
        // way: that command's answer reports it.
        if (inFlight_ && (inFlight_->command == Command::Unlock || inFlight_->command == Command::Lock)) {
            inFlight_->stopSeen = true;
            return true;
        }
        return raise(Event::Stopped);
    case StationMessageKind::Started:
        return raise(Event::Started);
    case StationMessageKind::SetupBegun:
    case StationMessageKind::SetupEnded:
        // A state the console reads when it looks; no answer, no event.
        slot_.inSetup = kind == StationMessageKind::SetupBegun;
        return true;
    case StationMessageKind::Other:
        // No answer and no report (a stray byte, say): the answer is still awaited.
        return true;
    }
    return true;
}

bool StationWorker::announceConnection(StationEvents with)
{
    announceAt_.reset();
    return raise(with | Event::Connected);
}

StationWorker::InFlight StationWorker::takeInFlight()
{
    const InFlight taken = *inFlight_;
    inFlight_.reset();
    slot_.lateCommand = 0;
    return taken;
}

bool StationWorker::unlockWaiting()
{
    std::lock_guard lock(slot_.linkLock);
    return slot_.linkWord.holds(Command::Unlock);
}

bool StationWorker::completeCommand()
{
    const InFlight done = takeInFlight();
    switch (done.command) {
    case Command::Unlock:
        return raise(done.stopSeen ? Event::Stopped : Event::Started);
    case Command::Lock:
        // An UNLOCK posted since this LOCK went out comes next and undoes it:
        // the console, which took the LOCK back, hears only of the UNLOCK. (It
        // could not tell in which order a STOPPED and a STARTED came.)
        return unlockWaiting() || raise(Event::Stopped);
    case Command::Quit:
    case Command::Shutdown:
        // The station program is ending: once what else waits has gone out, its
        // connection is done with (waiting for its close would only report the
        // same disconnection twice).
        goingAway_ = true;
        return true;
    default:
        return true;
    }
}

bool StationWorker::sendNextCommand()
{
    if (!connection_.isValid()) {
        // "QUIT" and "SHUTDOWN" are for the station as it is now: one that comes
        // back later (restarted by its owner, say) must not be sent away again.
        std::lock_guard lock(slot_.linkLock);
        slot_.linkWord.withdraw(Command::Quit | Command::Shutdown);
        return true;
    }
    // One command at a time, on a connection the console knows of.
    if (securingUntil_ || announceAt_ || inFlight_)
        return true;
    std::optional<Command> command;
    {
        std::lock_guard lock(slot_.linkLock);
        if (!slot_.linkWord.pending())
            return true;
        const auto next = std::ranges::find_if(kCommandPriority, [&](Command c) { return slot_.linkWord.holds(c); });
        if (next == kCommandPriority.end())
            return true;
        command = *next;
        slot_.linkWord.withdraw(*command);
    }
    // The lock is not held while talking to the station, so the listener
    // keeps relaying for this station meanwhile.
    inFlight_ = InFlight{*command, Clock::now(), false};
    if (!connection_.send(commandText(*command)))
        return raise(dropConnection());
    return true;
}

void StationWorker::noteLateCommand()
{
    if (inFlight_ && slot_.lateCommand == 0 && Clock::now() - inFlight_->sentAt >= settings_.answerWait)
        slot_.lateCommand = static_cast<std::uint32_t>(inFlight_->command);
}

std::string StationWorker::commandText(Command command)
{
    switch (command) {
    case Command::Unlock:
        return std::string(kUnlock);
    case Command::Lock:
        return std::string(kLock);
    case Command::Quit:
        return std::string(kQuit);
    case Command::Shutdown:
        return std::string(kShutdown);
    case Command::SessionInfo:
        break;
    }
    std::lock_guard lock(slot_.sessionInfoLock);
    return buildSessionInfoMessage(slot_.sessionInfo);
}

StationEvents StationWorker::dropConnection()
{
    // A connection the console never heard of goes without a word.
    StationEvents events = announceAt_ || securingUntil_ ? StationEvents() : Event::Disconnected;
    goingAway_ = false;
    slot_.inSetup = false; // a station that comes back says again
    securingUntil_.reset();
    announceAt_.reset();
    connection_.close();
    received_.clear();
    if (inFlight_) {
        // Locking and unlocking the station and its figures must reach it: they
        // go again on its next connection. "QUIT" and "SHUTDOWN" do not: a
        // station that obeyed but could not answer would obey again.
        const InFlight lost = takeInFlight();
        if (lost.command == Command::Unlock || lost.command == Command::Lock || lost.command == Command::SessionInfo) {
            std::lock_guard lock(slot_.linkLock);
            slot_.linkWord.post(lost.command);
        }
        if (lost.stopSeen)
            events |= Event::Stopped;
    }
    return events;
}

bool StationWorker::raise(StationEvents events)
{
    if (events.empty())
        return true;
    {
        std::lock_guard lock(slot_.linkLock);
        slot_.linkWord.raise(events);
    }
    return passOn();
}

bool StationWorker::passOn()
{
    slot_.linkChanged.set();
    const platform::ManualResetEvent* events[] = {&slot_.linkChangeTaken, &slot_.stationStop};
    for (;;) {
        if (slot_.linkChangeTaken.isSet()) {
            slot_.linkChangeTaken.reset();
            return true;
        }
        if (slot_.stationStop.isSet())
            return false;
        platform::waitAny(events, {}, kIdleWake);
    }
}

void StationWorker::finish()
{
    handshake_.close();
    handshakeAnswer_.clear();
    portListener_.close();
    if (connection_.isValid()) {
        (void)connection_.send(kServerDown);
        connection_.close();
    }
    if (inFlight_)
        takeInFlight();
    armed_ = false;
}

} // namespace stationlink
