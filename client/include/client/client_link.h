#pragma once
// The station's side of the station link. Everything runs on the window thread,
// driven by the 10 ms tick: connecting to the console's main port, the
// handshake that yields the station port, the station connection, reclaiming a
// running session with "STARTED", answering every message "OK", and starting
// over after any failure. Every step writes a line to the station log.
//
// Messages from the console are taken from a receive buffer, one per poll, so
// two that arrive in one read are both acted on and one that arrives in
// pieces waits for its rest.
//
// Connecting may take a while (each attempt waits up to a second for the
// connect); the link keeps the screen alive meanwhile through the host's event
// pump and never runs its own tick from inside that pump.

#include "client/client_log.h"
#include "client/workstation.h"
#include "link/protocol.h"
#include "link/receive_buffer.h"
#include "platform/ipv4.h"
#include "platform/tcp_socket.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace client {

struct LinkSettings {
    platform::Ipv4Address ownAddress;   // announced in "CONNECT"
    bool bindOwnAddress = false;        // also use it as the source address of every connection
    std::uint16_t mainPort = stationlink::kMainPort;
    std::chrono::milliseconds connectWait{1000}; // how long one connect may take
    std::chrono::milliseconds replyWait{5000};   // longest wait for the console's handshake reply
};

// What the link needs to know about the station's state.
class LinkSession {
public:
    virtual ~LinkSession() = default;
    // While setup mode is on no new connection is attempted.
    virtual bool setupMode() const = 0;
    // The session stamp to reclaim with "STARTED": only when unlocked with a
    // stamp; empty otherwise.
    virtual std::string reclaimStamp() const = 0;
};

class ClientLink {
public:
    ClientLink(ClientLog& log, ClientHost& host, const LinkSession& session, LinkSettings settings);

    void setServerAddress(platform::Ipv4Address server) { server_ = server; }
    platform::Ipv4Address serverAddress() const { return server_; }

    bool isConnected() const { return connected_; }
    std::uint16_t stationPort() const { return stationPort_; }
    // True while a connection attempt runs (the host's events are being pumped).
    bool isBusy() const { return busy_; }
    // The station connection is up and free for a message of our own.
    bool stationConnectionUp() const { return connected_ && stationPort_ != 0 && socket_.isValid() && !busy_; }

    // Connects, running the handshake when the station port is not known yet.
    void InitSendSocket();
    // Reports a running session after a (re)connection; false when the send failed.
    bool SendStarted();
    // Drops the link, connects again and reclaims a running session.
    void Reset();
    // One poll: connects when needed, then takes the next whole message,
    // reading once when none is waiting. Returns the message, already logged
    // and answered "OK"; nullopt when nothing whole came.
    std::optional<std::string> Poll();

    // "STOP" on the station connection, when it is up.
    void sendStop();
    // Closes the station connection at program end.
    void closeConnection();

private:
    enum class ConnectStep { Connected, NotConnected, Failed };
    ConnectStep connectAttempt();
    bool waitWritable();
    void holdOff();
    void mainPortExchange();
    platform::ReadResult readReply(bool logAttempts);
    void readRestOfPort(platform::ReadResult& reply);
    std::optional<std::string> takeMessage();
    void pause(std::chrono::milliseconds slice);

    ClientLog& log_;
    ClientHost& host_;
    const LinkSession& session_;
    LinkSettings settings_;

    platform::Ipv4Address server_;
    platform::TcpSocket socket_;
    stationlink::ReceiveBuffer received_{stationlink::frameServerMessage}; // station connection only
    bool connected_ = false;
    std::uint16_t stationPort_ = 0;
    bool busy_ = false;
    int lastError_ = 0; // the last socket error, as the log reports it
};

} // namespace client
