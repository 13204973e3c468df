#pragma once
// One connection of the station link, on a non-blocking TcpSocket: either
// plain, or protected by TLS 1.3 with the cafe's key as its pre-shared key
// (see cafe_key.h), so that only machines given the key can talk to the
// console or pose as it, and nobody on the cafe's network reads or alters what
// they say. A TLS channel first runs its handshake in non-blocking steps
// (continueHandshake) until Done; then read() and send() carry the same bytes
// a plain connection would, each send (up to 16 KiB) in one TLS record.
//
// Waiting on a channel: sleep on socket() (platform::waitAny) only when
// hasBufferedData() is false, since TLS may hold bytes already taken off the
// socket; while the handshake is Pending and handshakeWantsWrite(), wait for
// the socket to take bytes rather than to bring them.
//
// Thread contract: a Channel belongs to one thread at a time; channels on
// different threads may share a key. Failures come back as results, never
// as exceptions or aborts.

#include "link/cafe_key.h"
#include "platform/ipv4.h"
#include "platform/tcp_socket.h"

#include <memory>
#include <optional>
#include <string_view>

struct ssl_st; // OpenSSL's SSL

namespace stationlink {

class TlsContext;
struct SocketIo;

class Channel {
public:
    enum class Handshake { Done, Pending, Failed };

    Channel();
    ~Channel();
    Channel(Channel&& other) noexcept;
    Channel& operator=(Channel&& other) noexcept;
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    // A connection without TLS: its handshake is Done at once.
    static Channel plain(platform::TcpSocket socket);
    // The console's side and the station's side of a TLS connection. Should
    // OpenSSL fail to set one up, the channel keeps the socket and its
    // handshake is Failed.
    static Channel tlsServer(platform::TcpSocket socket, const CafeKey& key);
    static Channel tlsClient(platform::TcpSocket socket, const CafeKey& key);

    // One non-blocking step of the handshake. Pending while it waits for the
    // peer; Failed for a peer with another key, one that speaks no TLS, or a
    // connection that closed or broke. Done and Failed are final.
    Handshake continueHandshake();
    // While Pending: true when the step waits for the socket to take bytes.
    bool handshakeWantsWrite() const { return wantsWrite_; }

    // One non-blocking read of at most platform::kMaxMessage bytes, as
    // TcpSocket::read(): Data, WouldBlock, Closed (the peer's close_notify or
    // TCP close), or Error (also for a record that fails its integrity check,
    // and before the handshake is Done). After Closed every read gives Closed;
    // after Error the channel carries nothing more.
    platform::ReadResult read();
    // True when read() has bytes for the caller that the socket no longer signals.
    bool hasBufferedData() const;

    // Sends the whole message, waiting up to a second at a time for a full
    // send buffer to drain, as TcpSocket::send(). After a failure the channel
    // carries nothing more: part of a record may have gone.
    platform::Result<void, platform::SocketError> send(std::string_view message);

    bool isValid() const { return socket_.isValid(); }
    bool isSecured() const { return stage_ == Stage::Secured; }
    // Tells a TLS peer the channel ends (one attempt, without waiting) and
    // closes the socket.
    void close();

    // For waiting and socket options only: bytes read or sent on the socket
    // directly bypass TLS and break the channel.
    const platform::TcpSocket& socket() const { return socket_; }
    platform::TcpSocket& socket() { return socket_; }
    std::optional<platform::Ipv4Address> peerAddress() const { return socket_.peerAddress(); }

private:
    enum class Stage { Plain, Handshaking, Secured, Failed };
    struct SslFree {
        void operator()(ssl_st* ssl) const;
    };

    static Channel tls(platform::TcpSocket socket, const CafeKey& key, bool server);
    // Marks the channel unusable and drops OpenSSL's queued errors.
    void fail();
    // The Windows Sockets number for the last failure.
    int lastError() const;

    platform::TcpSocket socket_;
    std::shared_ptr<TlsContext> context_;
    std::unique_ptr<SocketIo> io_;
    std::unique_ptr<ssl_st, SslFree> ssl_; // declared after io_: freed before what its BIO points to
    Stage stage_ = Stage::Plain;
    bool wantsWrite_ = false;
};

// What a new connection speaks, from the first byte waiting, without reading
// it: Tls for a TLS handshake record (0x16), Plain for any other byte, Nothing
// while no byte has come, Closed when the peer closed or the connection broke
// before sending anything.
enum class Opening { Nothing, Tls, Plain, Closed };
Opening peekOpening(const platform::TcpSocket& socket);

} // namespace stationlink
