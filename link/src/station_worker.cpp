#include "station_worker.h"

#include "link/link_bits.h"
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

// Commands in the order they are sent when several wait.
constexpr std::array kCommandPriority{CMD_UNLOCK, CMD_SESSION_INFO, CMD_LOCK, CMD_QUIT, CMD_SHUTDOWN};

std::chrono::milliseconds timeLeft(std::chrono::steady_clock::time_point deadline)
{
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return std::max(left, std::chrono::milliseconds(0));
}

} // namespace

StationWorker::StationWorker(int index, StationSlot& slot, const StationDirectory& directory,
                             const LinkSettings& settings)
    : index_(index), slot_(slot), directory_(directory), settings_(settings)
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
        if (connection_.isValid() && !readStation())
            break;
        if (slot_.sendCommand.isSet()) {
            slot_.sendCommand.reset();
            if (!runCommands())
                break;
        }
    }
    finish();
}

void StationWorker::wait()
{
    const platform::ManualResetEvent* events[] = {&slot_.stationStop, &slot_.connectRequest, &slot_.sendCommand};
    std::array<const platform::TcpSocket*, 3> sockets{};
    std::size_t count = 0;
    // Messages already received but not yet taken need no wait.
    auto timeout = received_.holdsPiece() ? std::chrono::milliseconds(0) : kIdleWake;
    if (handshake_.isValid()) {
        sockets[count++] = &handshake_;
        timeout = std::min(timeout, timeLeft(handshakeDeadline_));
    }
    if (armed_ && !connection_.isValid())
        sockets[count++] = &portListener_;
    if (connection_.isValid())
        sockets[count++] = &connection_;
    platform::waitAny(events, std::span(sockets.data(), count), timeout);
}

bool StationWorker::beginHandshake()
{
    platform::TcpSocket caller;
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
    portListener_.close();
    if (connection_.isValid()) {
        dropConnection();
        if (!raise(EVT_DISCONNECTED))
            return false;
    }

    portListener_ = platform::TcpSocket::listenOn(settings_.listenAddress, 0, 5);
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
        int error = 0;
        platform::TcpSocket socket = portListener_.accept(&peer, &error);
        if (!socket.isValid()) {
            if (error != platform::kSocketWouldBlock && error != platform::kSocketConnectionAborted)
                slot_.stationStop.wait(std::chrono::milliseconds(50));
            return true;
        }
        // Only the station itself may use its port; anyone else is closed without a word.
        if (directory_.addressOf(index_) != peer)
            continue;
        connection_ = std::move(socket);
        received_.clear();
        return raise(EVT_CONNECTED);
    }
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
            dropConnection();
            return raise(EVT_DISCONNECTED);
        case platform::ReadResult::Kind::Data:
            received_.append(r.data);
            break;
        }
    }
    while (auto message = received_.take())
        if (!takeStationMessage(*message))
            return false;
    return true;
}

bool StationWorker::takeStationMessage(const std::string& message)
{
    switch (classifyStationMessage(message)) {
    case StationMessageKind::Stop:
        return raise(EVT_STOPPED);
    case StationMessageKind::Started:
        slot_.startTime = *parseStarted(message);
        return raise(EVT_STARTED);
    case StationMessageKind::Ok:
    case StationMessageKind::Other:
        return true;
    }
    return true;
}

bool StationWorker::runCommands()
{
    CommandRound round;
    for (;;) {
        std::uint32_t command = 0;
        {
            std::lock_guard lock(slot_.linkLock);
            if ((slot_.linkWord & LINK_PENDING) == 0)
                break;
            for (auto candidate : kCommandPriority) {
                if (holdsFlag(slot_.linkWord, candidate)) {
                    command = candidate;
                    break;
                }
            }
            if (command == 0)
                break;
            slot_.linkWord = clearCommandFlags(slot_.linkWord, command);
        }
        // The lock is not held while talking to the station, so the listener
        // keeps relaying for this station meanwhile.
        if (!connection_.isValid())
            continue; // nobody to tell: the command is dropped
        if (!connection_.send(commandText(command))) {
            dropConnection();
            round.disconnected = true;
            continue;
        }
        round.stopSeen = false;
        Answer answer = awaitAnswer(round);
        if (answer == Answer::Stopping)
            return false;
        if (answer == Answer::Lost) {
            dropConnection();
            round.disconnected = true;
            continue;
        }
        if (answer != Answer::Ok)
            continue; // dropped without effect
        if (command == CMD_UNLOCK)
            round.effect = round.stopSeen ? Effect::Stopped : Effect::Started;
        else if (command == CMD_LOCK)
            round.effect = Effect::Stopped;
        else if (command == CMD_QUIT || command == CMD_SHUTDOWN)
            round.goingAway = true;
    }

    // The station program is ending: its connection is done with, and waiting
    // for its close would only report the same disconnection a second time.
    if (round.goingAway)
        dropConnection();

    std::uint32_t events = 0;
    if (round.goingAway || round.disconnected)
        events |= EVT_DISCONNECTED;
    // A station that is going away reports no session change, except a STOP
    // its user sent: that session really ended.
    if (round.effect && !round.goingAway)
        events |= *round.effect == Effect::Started ? EVT_STARTED : EVT_STOPPED;
    else if (round.goingAway && round.stationStopped)
        events |= EVT_STOPPED;
    return events == 0 || raise(events);
}

StationWorker::Answer StationWorker::awaitAnswer(CommandRound& round)
{
    auto deadline = Clock::now() + settings_.answerWait;
    for (;;) {
        // Whatever came with or before the answer counts, in the order it came.
        while (auto message = received_.take()) {
            switch (classifyStationMessage(*message)) {
            case StationMessageKind::Ok:
                return Answer::Ok;
            case StationMessageKind::Stop:
                // The station ended its session while the command was under way.
                round.stopSeen = true;
                round.stationStopped = true;
                round.effect = Effect::Stopped;
                break;
            case StationMessageKind::Started:
                // A session reclaimed right as the command went out: keep it.
                slot_.startTime = *parseStarted(*message);
                round.stationStopped = false;
                round.effect = Effect::Started;
                break;
            case StationMessageKind::Other:
                return Answer::Other;
            }
        }
        if (Clock::now() >= deadline)
            return Answer::TimedOut;
        platform::ReadResult r = connection_.read();
        if (r.kind == platform::ReadResult::Kind::Closed || r.kind == platform::ReadResult::Kind::Error)
            return Answer::Lost;
        if (r.kind == platform::ReadResult::Kind::Data) {
            received_.append(r.data);
            continue;
        }
        const platform::ManualResetEvent* events[] = {&slot_.stationStop};
        const platform::TcpSocket* sockets[] = {&connection_};
        platform::waitAny(events, sockets, std::min(timeLeft(deadline), kIdleWake));
        if (slot_.stationStop.isSet())
            return Answer::Stopping;
    }
}

std::string StationWorker::commandText(std::uint32_t command)
{
    switch (command) {
    case CMD_UNLOCK:
        return std::string(kUnlock);
    case CMD_LOCK:
        return std::string(kLock);
    case CMD_QUIT:
        return std::string(kQuit);
    case CMD_SHUTDOWN:
        return std::string(kShutdown);
    default: {
        std::lock_guard lock(slot_.sessionInfoLock);
        return buildSessionInfoMessage(slot_.sessionInfo);
    }
    }
}

void StationWorker::dropConnection()
{
    connection_.close();
    received_.clear();
}

bool StationWorker::raise(std::uint32_t events)
{
    {
        std::lock_guard lock(slot_.linkLock);
        slot_.linkWord |= events;
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
        connection_.send(kServerDown);
        connection_.close();
    }
    armed_ = false;
}

} // namespace stationlink

