// Some log lines name old socket things ("SO_DONTLINGER", "InitSendSocket()")
// on every system: the log lines are part of what the station shows (tests and
// the console operator's support read them word for word), so they keep their
// exact old texts.
#include "client/client_link.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace client {

using namespace std::chrono_literals;

namespace {

// How long the console's port number may take to arrive whole after its
// first digits: it has no end mark, and the console sends nothing after it.
constexpr auto kPortSettle = 50ms;
constexpr std::size_t kLongestPort = 5;
// How long the start of a message may wait for its rest before it is taken as
// it stands (the console sends each message in one piece, so its rest, when
// split, follows within a few milliseconds).
constexpr auto kPartialPatience = 200ms;
// How often a partial message is looked at again while it waits for its rest.
constexpr auto kPartialRecheck = 50ms;

// The decimal number at the start of the console's reply; 0 when there is none
// or it is no port number.
std::uint16_t leadingPort(std::string_view reply)
{
    std::size_t digits = 0;
    while (digits < reply.size() && reply[digits] >= '0' && reply[digits] <= '9')
        ++digits;
    return stationlink::parsePortReply(reply.substr(0, digits)).value_or(0);
}

bool mayGrow(const std::string& reply)
{
    return reply.size() < kLongestPort &&
           std::all_of(reply.begin(), reply.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

ClientLink::ClientLink(ClientLog& log, const LinkSession& session, LinkSettings settings)
    : log_(log), session_(session), settings_(settings)
{
}

void ClientLink::initSendSocket()
{
    while (step()) {
    }
}

bool ClientLink::step()
{
    switch (phase_) {
    case Phase::Idle:
        // Only the unset address 0.0.0.0 means "not configured"; any other
        // address, zero octets and all (192.168.0.10), is tried.
        if (server_.isAny() || session_.setupMode()) {
            log_.endAttempts(); // no attempt comes to close the last one's block
            return false;
        }
        startAttempt();
        return phase_ != Phase::Idle;
    case Phase::Connecting:
        checkConnect();
        return phase_ != Phase::Connecting;
    case Phase::Securing:
        secure();
        return phase_ != Phase::Securing;
    case Phase::HoldingOff:
        if (Clock::now() < deadline_)
            return false;
        // The attempt is over; the next poll starts another one.
        phase_ = Phase::Idle;
        return false;
    case Phase::AwaitingPort:
        readPort();
        return phase_ != Phase::AwaitingPort;
    case Phase::SettlingPort:
        settlePort();
        return phase_ != Phase::SettlingPort;
    case Phase::AwaitingClose:
        awaitClose();
        return phase_ != Phase::AwaitingClose;
    case Phase::Up:
        return false;
    }
    return false;
}

void ClientLink::startAttempt()
{
    // The main port's handshake and the station port's connect each make a
    // block of the log; a failing attempt that goes as the last one did adds
    // only to its count.
    log_.beginAttempt();
    received_.clear();
    auto created = platform::TcpSocket::create();
    if (!created) {
        socket_.close();
        lastError_ = created.error().code;
        log_.logLine("Problem disabling blocking.");
        holdOff();
        return;
    }
    socket_ = std::move(*created);
    log_.logLine("Non-blocking set.  connecting...");
    if (auto set = socket_.setLingerOff(); !set) {
        lastError_ = set.error().code;
        log_.logLine("Error setting SO_DONTLINGER");
        holdOff();
        return;
    }
    // A console that went away while nothing was being sent (a pulled cable, a
    // console whose machine gave the connection up) is noticed, and the link
    // starts over, rather than waiting on a dead connection for ever.
    if (!socket_.setKeepAlive(kKeepAliveIdle, kKeepAliveInterval, kKeepAliveProbes))
        log_.logLine("Error setting keep-alive");
    if (settings_.ownAddress) {
        if (auto bound = socket_.bind(*settings_.ownAddress, 0); !bound) {
            lastError_ = bound.error().code;
            log_.logText("Error binding to the station's address: ");
            log_.logSocketError(lastError_);
            holdOff();
            return;
        }
    }

    std::uint16_t port = stationPort_ != 0 ? stationPort_ : settings_.mainPort;
    auto result = socket_.connect(server_, port);
    switch (result.kind) {
    case platform::ConnectResult::Kind::Connected:
        log_.logLine("success.");
        connected_ = true;
        connected();
        return;
    case platform::ConnectResult::Kind::WouldBlock:
        lastError_ = platform::kSocketWouldBlock;
        log_.logLine("success (WOULDBLOCK).");
        phase_ = Phase::Connecting;
        deadline_ = Clock::now() + settings_.connectWait;
        refused_ = false;
        checkConnect();
        return;
    case platform::ConnectResult::Kind::Error:
        lastError_ = result.error;
        log_.logLine("failed.");
        holdOff();
        return;
    }
}

void ClientLink::checkConnect()
{
    // Only a socket that becomes writable with its connect completed counts;
    // a refused connect waits out its time like one that never answers, so
    // that attempts keep a steady pace. "Select " is written with its outcome
    // so that a line logged meanwhile never lands inside it.
    if (!refused_) {
        auto waited = socket_.waitConnected(0ms);
        if (waited) {
            log_.logLine("Select succeeded.");
            connected_ = true;
            connected();
            return;
        }
        refused_ = waited.error().code != platform::kSocketTimedOut;
    }
    if (Clock::now() < deadline_)
        return;
    log_.logLine("Select timed out.");
    // After the handshake the station goes on as connected even when the
    // connect to the station port did not complete: its first read or send
    // then fails and resets the link.
    if (connected_) {
        connected();
        return;
    }
    log_.logSocketError(lastError_);
    socket_.close();
    phase_ = Phase::Idle;
}

void ClientLink::connected()
{
    // The console knows a station by the address its connection comes from,
    // so that is the address to announce (not the host name's, which Debian
    // maps to 127.0.1.1).
    if (settings_.ownAddress)
        announced_ = *settings_.ownAddress;
    else if (const auto local = socket_.localAddress())
        announced_ = *local;
    if (!key_) {
        channel_ = stationlink::Channel::plain(std::move(socket_));
        ready();
        return;
    }
    channel_ = stationlink::Channel::tlsClient(std::move(socket_), *key_);
    phase_ = Phase::Securing;
    deadline_ = Clock::now() + settings_.replyWait;
    secure();
}

void ClientLink::secure()
{
    const auto step = channel_.continueHandshake();
    if (step == stationlink::Channel::Handshake::Done) {
        ready();
        return;
    }
    if (step == stationlink::Channel::Handshake::Pending && Clock::now() < deadline_)
        return;
    // Nothing from a console that cannot prove the cafe's key is ever obeyed.
    log_.logLine("The console at " + server_.toString() + " could not prove the cafe's key.");
    channel_.close();
    stationPort_ = 0;
    connected_ = false;
    holdOff();
}

void ClientLink::ready()
{
    if (stationPort_ != 0) {
        phase_ = Phase::Up; // the station connection is up (or counts as up)
        reclaimDue_ = true;
        log_.endAttempts();
        return;
    }
    sendConnect();
}

void ClientLink::holdOff()
{
    // An attempt that fails at once (no route to the console yet, the
    // station's address not on this host, a console that refuses the
    // handshake) waits out the connect time like one that gets no answer:
    // otherwise the station would try again at once, over and over, and add
    // its lines to the log each time.
    phase_ = Phase::HoldingOff;
    deadline_ = Clock::now() + settings_.connectWait;
}

void ClientLink::sendConnect()
{
    log_.logText("Trying send ");
    if (auto sent = channel_.send(stationlink::buildConnect(announced_))) {
        log_.logLine("success.");
    } else {
        lastError_ = sent.error().code;
        log_.logSocketError(lastError_);
    }
    phase_ = Phase::AwaitingPort;
    deadline_ = Clock::now() + settings_.replyWait;
    portReply_.clear();
    readPort();
}

void ClientLink::readPort()
{
    log_.logText("TRYING RECV ");
    auto reply = channel_.read();
    switch (reply.kind) {
    case platform::ReadResult::Kind::WouldBlock:
        log_.logLine("WOULDBLOCK");
        if (Clock::now() < deadline_)
            return;
        // A console that neither answers nor closes must not hold the station for ever.
        reply.kind = platform::ReadResult::Kind::Error;
        reply.error = platform::kSocketTimedOut;
        [[fallthrough]];
    case platform::ReadResult::Kind::Error:
        lastError_ = reply.error;
        log_.logSocketError(reply.error);
        log_.logLine("Resetting send socket from InitSendSocket().");
        stationPort_ = 0;
        connected_ = false;
        channel_.close();
        holdOff();
        return;
    case platform::ReadResult::Kind::Closed:
        // The console closed without a word (unknown station, or it looked too
        // early): the next attempt starts over at the main port, after a pause.
        log_.logLine("closed.");
        connected_ = false;
        channel_.close();
        holdOff();
        return;
    case platform::ReadResult::Kind::Data:
        portReply_ = reply.data;
        phase_ = Phase::SettlingPort;
        deadline_ = Clock::now() + kPortSettle;
        settlePort();
        return;
    }
}

void ClientLink::settlePort()
{
    // A port number that arrived in pieces: its digits keep coming for a
    // moment. Five digits, any other byte, or the console's close end it.
    while (mayGrow(portReply_)) {
        auto more = channel_.read();
        if (more.kind == platform::ReadResult::Kind::Data) {
            portReply_ += more.data;
            continue;
        }
        if (more.kind == platform::ReadResult::Kind::WouldBlock && Clock::now() < deadline_)
            return;
        break;
    }
    sendOk();
}

void ClientLink::sendOk()
{
    stationPort_ = leadingPort(portReply_);
    char text[48];
    std::snprintf(text, sizeof text, "SUCCESS port:%d sending OK ", stationPort_);
    log_.logText(text);
    auto sent = channel_.send(stationlink::kOk);
    if (sent) {
        log_.logLine("success.");
        phase_ = Phase::AwaitingClose; // until the console closes the main-port connection
        deadline_ = Clock::now() + settings_.replyWait;
        awaitClose();
        return;
    }
    lastError_ = sent.error().code;
    log_.logSocketError(lastError_);
    channel_.close();
    // The socket still counts as connected: the next attempt goes to the station port.
    phase_ = Phase::Idle;
}

void ClientLink::awaitClose()
{
    auto result = channel_.read();
    if (result.kind == platform::ReadResult::Kind::WouldBlock && Clock::now() < deadline_)
        return;
    channel_.close();
    // The socket still counts as connected: the next attempt goes to the station port.
    phase_ = Phase::Idle;
}

bool ClientLink::sendStarted()
{
    if (!connected_)
        return true;
    std::string stamp = session_.reclaimStamp();
    if (stamp.empty())
        return true;
    log_.logText("Sending STARTED message ");
    auto sent = channel_.send(std::string(stationlink::kStarted) + stamp);
    if (sent) {
        log_.logLine("success.");
        return true;
    }
    lastError_ = sent.error().code;
    log_.logSocketError(lastError_);
    return false;
}

void ClientLink::reset()
{
    log_.logLine("Resetting send socket.");
    socket_.close();
    channel_.close();
    received_.clear();
    stationPort_ = 0;
    connected_ = false;
    phase_ = Phase::Idle;
    reclaimDue_ = false;
    initSendSocket();
}

std::optional<std::string> ClientLink::poll()
{
    if (phase_ != Phase::Up)
        initSendSocket();
    if (phase_ != Phase::Up)
        return std::nullopt;
    // Just connected: a running session is reclaimed first.
    if (std::exchange(reclaimDue_, false) && !sendStarted()) {
        reset();
        return std::nullopt;
    }

    auto message = takeMessage();
    if (!message)
        return std::nullopt;

    log_.logLine("Read data: " + *message);
    if (auto sent = channel_.send(stationlink::kOk)) {
        log_.logLine("send() OK");
    } else {
        lastError_ = sent.error().code;
        log_.logText("send() failed:");
        log_.logSocketError(lastError_);
        reset();
    }
    return message;
}

std::optional<std::string> ClientLink::takeMessage()
{
    if (auto message = received_.take())
        return message;

    auto result = channel_.read();
    switch (result.kind) {
    case platform::ReadResult::Kind::WouldBlock:
        // Every message is answered, so the start of one that never gets its
        // rest is taken as it stands after a while.
        return received_.takeStalled(kPartialPatience);
    case platform::ReadResult::Kind::Error:
        lastError_ = result.error;
        log_.logText("recv() failed:");
        log_.logSocketError(result.error);
        reset();
        return std::nullopt;
    case platform::ReadResult::Kind::Closed:
        // The console closed the station connection (it ended or crashed):
        // start over so that the station does not sit unreachable.
        log_.logLine("recv() returned 0: connection closed by the server.");
        reset();
        return std::nullopt;
    case platform::ReadResult::Kind::Data:
        break;
    }
    received_.append(result.data);
    return received_.take();
}

void ClientLink::sendStop()
{
    // A "STOP" that cannot be sent leaves a broken connection, which the next
    // poll's read finds and starts over from; nothing is logged here, as ever.
    if (stationConnectionUp())
        (void)channel_.send(stationlink::kStop);
}

void ClientLink::sendSetupState(bool inSetup)
{
    // As with "STOP": a failed send leaves a broken connection for the next poll.
    if (stationConnectionUp())
        (void)channel_.send(inSetup ? stationlink::kSetupBegun : stationlink::kSetupEnded);
}

void ClientLink::closeConnection()
{
    if (phase_ == Phase::Up) {
        channel_.close();
        received_.clear();
    }
}

LinkWake ClientLink::nextWake() const
{
    LinkWake wake;
    switch (phase_) {
    case Phase::Idle:
        if (!server_.isAny() && !session_.setupMode())
            wake.at = Clock::now();
        return wake;
    case Phase::HoldingOff:
        wake.at = deadline_;
        return wake;
    case Phase::Connecting:
        // A refused connect only waits out its time.
        if (!refused_) {
            wake.socket = socket_.nativeHandle();
            wake.forWriting = true;
        }
        wake.at = deadline_;
        return wake;
    case Phase::Securing:
        wake.socket = channel_.socket().nativeHandle();
        wake.forWriting = channel_.handshakeWantsWrite();
        wake.at = deadline_;
        return wake;
    case Phase::AwaitingPort:
    case Phase::SettlingPort:
    case Phase::AwaitingClose:
        wake.socket = channel_.socket().nativeHandle();
        wake.at = channel_.hasBufferedData() ? Clock::now() : deadline_;
        return wake;
    case Phase::Up:
        wake.socket = channel_.socket().nativeHandle();
        if (received_.holdsPiece() || channel_.hasBufferedData())
            wake.at = Clock::now();
        else if (received_.size() > 0)
            wake.at = Clock::now() + kPartialRecheck;
        return wake;
    }
    return wake;
}

} // namespace client
