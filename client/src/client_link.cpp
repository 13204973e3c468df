#include "client/client_link.h"

#include "flag_scope.h"

#include <algorithm>
#include <cstdio>
#include <thread>
#include <utility>

namespace client {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kPumpSlice = 10ms;
// How long the console's port number may take to arrive whole after its
// first digits: it has no end mark, and the console sends nothing after it.
constexpr auto kPortSettle = 50ms;
constexpr std::size_t kLongestPort = 5;
// How long the start of a message may wait for its rest before it is taken as
// it stands (the console sends each message in one piece, so its rest, when
// split, follows within a few milliseconds).
constexpr auto kPartialPatience = 200ms;

// The decimal number at the start of the console's reply; 0 when there is none
// or it is no port number.
std::uint16_t leadingPort(std::string_view reply)
{
    std::size_t digits = 0;
    while (digits < reply.size() && reply[digits] >= '0' && reply[digits] <= '9')
        ++digits;
    return stationlink::parsePortReply(reply.substr(0, digits)).value_or(0);
}

} // namespace

ClientLink::ClientLink(ClientLog& log, ClientHost& host, const LinkSession& session, LinkSettings settings)
    : log_(log), host_(host), session_(session), settings_(std::move(settings))
{
}

void ClientLink::pause(std::chrono::milliseconds slice)
{
    std::this_thread::sleep_for(slice);
}

void ClientLink::InitSendSocket()
{
    // Only the unset address 0.0.0.0 means "not configured"; any other address,
    // zero octets and all (192.168.0.10), is tried.
    if (server_.isAny())
        return;

    FlagScope busy(busy_);
    for (;;) {
        if (session_.setupMode())
            return;
        host_.pumpEvents();
        if (session_.setupMode())
            return;

        switch (connectAttempt()) {
        case ConnectStep::Failed:
            holdOff();
            return;
        case ConnectStep::NotConnected:
            log_.logSocketError(lastError_);
            socket_.close();
            continue;
        case ConnectStep::Connected:
            break;
        }
        if (stationPort_ != 0)
            return; // the station connection is up (or counts as up)
        mainPortExchange();
    }
}

ClientLink::ConnectStep ClientLink::connectAttempt()
{
    int error = 0;
    received_.clear();
    socket_ = platform::TcpSocket::create(&error);
    if (!socket_.isValid()) {
        lastError_ = error;
        log_.logLine("Problem disabling blocking.");
        return ConnectStep::Failed;
    }
    log_.logLine("Non-blocking set.  connecting...");
    if (!socket_.setLingerOff(&error)) {
        lastError_ = error;
        log_.logLine("Error setting SO_DONTLINGER");
        return ConnectStep::Failed;
    }
    if (settings_.bindOwnAddress && !socket_.bind(settings_.ownAddress, 0, &error)) {
        lastError_ = error;
        log_.logText("Error binding to the station's address: ");
        log_.logSocketError(error);
        return ConnectStep::Failed;
    }

    std::uint16_t port = stationPort_ != 0 ? stationPort_ : settings_.mainPort;
    auto result = socket_.connect(server_, port);
    switch (result.kind) {
    case platform::ConnectResult::Kind::Connected:
        log_.logLine("success.");
        connected_ = true;
        break;
    case platform::ConnectResult::Kind::WouldBlock: {
        lastError_ = platform::kSocketWouldBlock;
        log_.logLine("success (WOULDBLOCK).");
        // The wait keeps the window's events flowing, and a handler may log a
        // line meanwhile: "Select " is written with its outcome so that such a
        // line never lands inside it.
        bool writable = waitWritable();
        log_.logText("Select ");
        if (writable) {
            log_.logLine("succeeded.");
            connected_ = true;
        } else {
            log_.logLine("timed out.");
            pause(1ms);
        }
        break;
    }
    case platform::ConnectResult::Kind::Error:
        lastError_ = result.error;
        log_.logLine("failed.");
        return ConnectStep::Failed;
    }
    // After the handshake the station goes on as connected even when the
    // connect to the station port did not complete: its first read or send
    // then fails and resets the link.
    return connected_ ? ConnectStep::Connected : ConnectStep::NotConnected;
}

void ClientLink::holdOff()
{
    // An attempt that fails at once (no route to the console yet, the
    // station's address not on this host, a console that refuses the
    // handshake) waits out the connect time like one that gets no answer:
    // otherwise the station would try again at once, over and over, and add
    // its lines to the log each time. The screen is kept alive meanwhile.
    auto deadline = Clock::now() + settings_.connectWait;
    for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
        std::this_thread::sleep_for(std::min<Clock::duration>(kPumpSlice, deadline - now));
        host_.pumpEvents();
    }
}

bool ClientLink::waitWritable()
{
    // Only a socket that becomes writable with its connect completed counts; a
    // refused connect waits out the second like one that never answers, so
    // that attempts keep a steady pace. The screen is kept alive meanwhile.
    auto deadline = Clock::now() + settings_.connectWait;
    bool refused = false;
    for (;;) {
        auto now = Clock::now();
        if (now >= deadline)
            return false;
        auto slice = std::min<Clock::duration>(kPumpSlice, deadline - now);
        auto sliceEnd = now + slice;
        if (!refused) {
            int error = 0;
            if (socket_.waitConnected(std::chrono::ceil<std::chrono::milliseconds>(slice), &error))
                return true;
            refused = error != platform::kSocketTimedOut;
        }
        if (refused)
            std::this_thread::sleep_until(sliceEnd);
        host_.pumpEvents();
    }
}

platform::ReadResult ClientLink::readReply(bool logAttempts)
{
    auto deadline = Clock::now() + settings_.replyWait;
    for (;;) {
        if (logAttempts)
            log_.logText("TRYING RECV ");
        auto result = socket_.read();
        if (result.kind != platform::ReadResult::Kind::WouldBlock)
            return result;
        if (logAttempts)
            log_.logLine("WOULDBLOCK");
        if (Clock::now() >= deadline) {
            // A console that neither answers nor closes must not hold the station for ever.
            platform::ReadResult timedOut;
            timedOut.kind = platform::ReadResult::Kind::Error;
            timedOut.error = platform::kSocketTimedOut;
            return timedOut;
        }
        socket_.waitReadable(kPumpSlice);
        host_.pumpEvents();
    }
}

void ClientLink::readRestOfPort(platform::ReadResult& reply)
{
    // A port number that arrived in pieces: its digits keep coming for a
    // moment. Five digits, any other byte, or the console's close end it.
    auto mayGrow = [&] {
        return reply.data.size() < kLongestPort &&
               std::all_of(reply.data.begin(), reply.data.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (reply.kind != platform::ReadResult::Kind::Data)
        return;
    auto deadline = Clock::now() + kPortSettle;
    while (mayGrow()) {
        auto now = Clock::now();
        if (now >= deadline)
            return;
        socket_.waitReadable(std::chrono::ceil<std::chrono::milliseconds>(deadline - now));
        auto more = socket_.read();
        if (more.kind == platform::ReadResult::Kind::Data)
            reply.data += more.data;
        else if (more.kind != platform::ReadResult::Kind::WouldBlock)
            return;
    }
}

void ClientLink::mainPortExchange()
{
    int error = 0;
    log_.logText("Trying send ");
    if (socket_.send(stationlink::buildConnect(settings_.ownAddress), &error)) {
        log_.logLine("success.");
    } else {
        lastError_ = error;
        log_.logSocketError(error);
    }

    auto reply = readReply(true);
    readRestOfPort(reply);
    switch (reply.kind) {
    case platform::ReadResult::Kind::Error:
        lastError_ = reply.error;
        log_.logSocketError(reply.error);
        log_.logLine("Resetting send socket from InitSendSocket().");
        stationPort_ = 0;
        connected_ = false;
        socket_.close();
        holdOff();
        return;
    case platform::ReadResult::Kind::Closed:
        // The console closed without a word (unknown station, or it looked too
        // early): the next attempt starts over at the main port.
        log_.logLine("closed.");
        connected_ = false;
        socket_.close();
        holdOff(); // a console that refuses the station is not asked again at once
        return;
    case platform::ReadResult::Kind::WouldBlock:
    case platform::ReadResult::Kind::Data:
        break;
    }

    stationPort_ = leadingPort(reply.data);
    char text[48];
    std::snprintf(text, sizeof text, "SUCCESS port:%d sending OK ", stationPort_);
    log_.logText(text);
    if (socket_.send(stationlink::kOk, &error)) {
        log_.logLine("success.");
        readReply(false); // until the console closes the main-port connection
    } else {
        lastError_ = error;
        log_.logSocketError(error);
    }
    socket_.close();
    // The socket still counts as connected: the next attempt goes to the station port.
}

bool ClientLink::SendStarted()
{
    if (!connected_)
        return true;
    std::string stamp = session_.reclaimStamp();
    if (stamp.empty())
        return true;
    log_.logText("Sending STARTED message ");
    int error = 0;
    if (socket_.send(std::string(stationlink::kStarted) + stamp, &error)) {
        log_.logLine("success.");
        return true;
    }
    lastError_ = error;
    log_.logSocketError(error);
    return false;
}

void ClientLink::Reset()
{
    // Repeated rather than nested: a STARTED that fails again starts the next
    // round here instead of growing the call stack.
    do {
        log_.logLine("Resetting send socket.");
        socket_.close();
        received_.clear();
        stationPort_ = 0;
        connected_ = false;
        InitSendSocket();
    } while (!SendStarted());
}

std::optional<std::string> ClientLink::Poll()
{
    if (!connected_) {
        InitSendSocket();
        if (!SendStarted())
            Reset();
        if (!connected_)
            return std::nullopt;
    }

    auto message = takeMessage();
    if (!message)
        return std::nullopt;

    log_.logLine("Read data: " + *message);
    int error = 0;
    if (socket_.send(stationlink::kOk, &error)) {
        log_.logLine("send() OK");
    } else {
        lastError_ = error;
        log_.logText("send() failed:");
        log_.logSocketError(error);
        Reset();
    }
    return message;
}

std::optional<std::string> ClientLink::takeMessage()
{
    if (auto message = received_.take())
        return message;

    auto result = socket_.read();
    switch (result.kind) {
    case platform::ReadResult::Kind::WouldBlock:
        // Every message is answered, so the start of one that never gets its
        // rest is taken as it stands after a while.
        return received_.takeStalled(kPartialPatience);
    case platform::ReadResult::Kind::Error:
        lastError_ = result.error;
        log_.logText("recv() failed:");
        log_.logSocketError(result.error);
        Reset();
        return std::nullopt;
    case platform::ReadResult::Kind::Closed:
        // The console closed the station connection (it ended or crashed):
        // start over so that the station does not sit unreachable.
        log_.logLine("recv() returned 0: connection closed by the server.");
        Reset();
        return std::nullopt;
    case platform::ReadResult::Kind::Data:
        break;
    }
    received_.append(result.data);
    return received_.take();
}

void ClientLink::sendStop()
{
    if (stationConnectionUp())
        socket_.send(stationlink::kStop);
}

void ClientLink::closeConnection()
{
    if (connected_ && stationPort_ != 0) {
        socket_.close();
        received_.clear();
    }
}

} // namespace client
