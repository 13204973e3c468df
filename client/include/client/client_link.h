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
// With the cafe's key (setKey) every connection to the console first proves,
// through TLS, that both ends hold it; a console that cannot is logged and
// never obeyed, so no station unlocks for a console that is not the cafe's.
//
// Nothing here waits: connecting, the handshake on the main port and the
// waits for the console's replies are steps taken one per poll, each as far
// as it can go without blocking, so that the window thread stays free. Between
// polls the link tells when it next has something to do (nextWake): a socket
// to become readable or writable, a moment, or nothing at all.

#include "client/client_log.h"
#include "link/cafe_key.h"
#include "link/channel.h"
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
    // Announced in "CONNECT" and used as the source address of every
    // connection. Without it the station announces the address its connection
    // to the console goes out from, which is the one the console sees.
    std::optional<platform::Ipv4Address> ownAddress;
    std::uint16_t mainPort = stationlink::kMainPort;
    std::chrono::milliseconds connectWait{1000}; // how long one connect may take
    std::chrono::milliseconds replyWait{5000};   // longest wait for the console's handshake reply
};

// When the link next needs a poll: when `socket` becomes readable (or writable,
// for a connect under way), at `at`, or at once; never, when nothing is set.
struct LinkWake {
    int socket = -1;
    bool forWriting = false;
    std::optional<std::chrono::steady_clock::time_point> at;
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
    // A console silent on an idle connection is probed after 30 s, every 10 s,
    // and given up after 6 probes: 90 s after the cable was pulled at the latest.
    static constexpr std::chrono::seconds kKeepAliveIdle{30};
    static constexpr std::chrono::seconds kKeepAliveInterval{10};
    static constexpr int kKeepAliveProbes = 6;

    ClientLink(ClientLog& log, const LinkSession& session, LinkSettings settings);

    void setServerAddress(platform::Ipv4Address server) { server_ = server; }
    // The cafe's key, or none for a console that speaks without one; taken
    // from the next connection on.
    void setKey(const std::optional<stationlink::CafeKey>& key) { key_ = key; }
    platform::Ipv4Address serverAddress() const { return server_; }

    bool isConnected() const { return connected_; }
    std::uint16_t stationPort() const { return stationPort_; }
    // The station connection is up and free for a message of our own.
    bool stationConnectionUp() const { return phase_ == Phase::Up && channel_.isValid(); }

    // Takes the connection as far as it goes without waiting: starts an
    // attempt, or goes on with the one under way (connect, handshake).
    void initSendSocket();
    // Reports a running session after a (re)connection; false when the send failed.
    [[nodiscard]] bool sendStarted();
    // Drops the link and starts connecting again; a running session is
    // reclaimed once the station connection is back.
    void reset();
    // One poll: connects when needed, then takes the next whole message,
    // reading once when none is waiting. Returns the message, already logged
    // and answered "OK"; nullopt when nothing whole came.
    std::optional<std::string> poll();

    // "STOP" on the station connection, when it is up.
    void sendStop();
    // Tells the console that setup began ("SETUP BEGUN") or ended ("SETUP
    // ENDED"), when connected: the station is not locked during setup.
    void sendSetupState(bool inSetup);
    // Closes the station connection at program end.
    void closeConnection();
    // What the next poll waits for.
    LinkWake nextWake() const;

private:
    enum class Phase {
        Idle,          // no attempt under way
        Connecting,    // a connect waits to complete (or, refused, waits out its time)
        Securing,      // the connection's TLS handshake with the cafe's key runs
        HoldingOff,    // a failed attempt waits out the connect time
        AwaitingPort,  // "CONNECT" sent on the main port, the port number awaited
        SettlingPort,  // the port number's first digits came; the rest may follow
        AwaitingClose, // "OK" sent; the console closes the main-port connection
        Up,            // the station connection (or what counts as it)
    };
    using Clock = std::chrono::steady_clock;

    // One step of the connection; false when it must wait for the socket or the clock.
    bool step();
    void startAttempt();
    void checkConnect();
    void connected();
    void secure();
    // The connection is ready for the link's messages (secured, when there is a key).
    void ready();
    void holdOff();
    void sendConnect();
    void readPort();
    void settlePort();
    void sendOk();
    void awaitClose();
    std::optional<std::string> takeMessage();

    ClientLog& log_;
    const LinkSession& session_;
    LinkSettings settings_;

    platform::Ipv4Address server_;
    std::optional<stationlink::CafeKey> key_;
    platform::TcpSocket socket_;                                           // while connecting
    stationlink::Channel channel_;                                         // once connected
    stationlink::ReceiveBuffer received_{stationlink::frameServerMessage}; // station connection only
    bool connected_ = false;
    std::uint16_t stationPort_ = 0;
    Phase phase_ = Phase::Idle;
    Clock::time_point deadline_{};
    bool refused_ = false;            // the connect under way was refused: only its time is waited out
    bool reclaimDue_ = false;         // the station connection just came up: "STARTED" goes first
    std::string portReply_;           // what the console answered on the main port so far
    int lastError_ = 0;               // the last socket error, as the log reports it
    platform::Ipv4Address announced_; // the address the CONNECT of this connection announces
};

} // namespace client
