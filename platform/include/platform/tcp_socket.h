#pragma once
// A non-blocking IPv4 TCP socket with linger switched off and every send going
// out at once (no Nagle delay). A read returns at most kMaxMessage bytes, which
// may hold several messages or part of one: the link's receive buffers take
// whole messages off what the reads bring.
// Calls that can fail return Result<..., SocketError>, the error carrying the
// Windows Sockets number. A socket belongs to one thread at a time.

#include "platform/ipv4.h"
#include "platform/result.h"
#include "platform/socket_error.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

inline constexpr std::size_t kMaxMessage = 255;

struct ReadResult {
    enum class Kind { Data, WouldBlock, Closed, Error };
    Kind kind = Kind::WouldBlock;
    std::string data; // at most kMaxMessage bytes when kind == Data
    int error = 0;    // Windows Sockets number when kind == Error
    bool hasData() const { return kind == Kind::Data; }
};

// What one non-blocking receive or send of raw bytes did.
struct Transfer {
    enum class Kind { Done, WouldBlock, Closed, Error };
    Kind kind = Kind::WouldBlock;
    std::size_t bytes = 0; // moved, when Done
    int error = 0;         // Windows Sockets number when kind == Error
};

struct ConnectResult {
    enum class Kind { Connected, WouldBlock, Error };
    Kind kind = Kind::Error;
    int error = 0;
};

class TcpSocket {
public:
    TcpSocket() = default;
    ~TcpSocket();
    TcpSocket(TcpSocket&& other) noexcept;
    TcpSocket& operator=(TcpSocket&& other) noexcept;
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // A new non-blocking stream socket.
    [[nodiscard]] static Result<TcpSocket, SocketError> create();
    // Opens a non-blocking listening socket on address:port (port 0 lets the system choose).
    [[nodiscard]] static Result<TcpSocket, SocketError> listenOn(Ipv4Address address, std::uint16_t port, int backlog);

    bool isValid() const { return fd_ >= 0; }
    void close();
    int nativeHandle() const { return fd_; }

    [[nodiscard]] Result<void, SocketError> setLingerOff();
    // Probes an idle connection after `idle`, then every `interval`, and gives
    // it up after `probes` unanswered probes; data left unanswered for as long
    // gives it up too. A peer that vanished (a pulled cable, a crashed
    // machine) is then noticed instead of being waited for until the kernel's
    // own retries run out, or for ever when nothing is being sent.
    [[nodiscard]] Result<void, SocketError> setKeepAlive(std::chrono::seconds idle, std::chrono::seconds interval,
                                                         int probes);
    [[nodiscard]] Result<void, SocketError> setReuseAddress();
    [[nodiscard]] Result<void, SocketError> bind(Ipv4Address address, std::uint16_t port);

    // Starts a non-blocking connect.
    [[nodiscard]] ConnectResult connect(Ipv4Address address, std::uint16_t port);
    // Waits up to timeout for the socket to become writable after a would-block
    // connect; succeeds when writable and the connection succeeded, fails with
    // kSocketTimedOut when the time ran out first.
    [[nodiscard]] Result<void, SocketError> waitConnected(std::chrono::milliseconds timeout);

    // Accepts one pending connection (non-blocking), its address in `peer`;
    // fails with kSocketWouldBlock when none is waiting.
    [[nodiscard]] Result<TcpSocket, SocketError> accept(Ipv4Address* peer = nullptr);

    // One non-blocking read of at most kMaxMessage bytes.
    ReadResult read();
    // The first byte waiting, left in place for the next read (non-blocking):
    // Data with that one byte, WouldBlock while none has come, Closed, Error.
    ReadResult peekByte() const;
    // Sends the whole message.
    Result<void, SocketError> send(std::string_view message);

    // Raw bytes for a layer that frames its own records (TLS): one receive of
    // at most out.size() bytes (Closed when the peer closed), and one send of
    // as much of `data` as the system takes now, never raising SIGPIPE.
    Transfer receiveSome(std::span<char> out);
    Transfer sendSome(std::string_view data);
    // Waits up to timeout for the socket to take more bytes.
    bool waitWritable(std::chrono::milliseconds timeout) const;

    std::optional<std::uint16_t> localPort() const;
    // This end's address: for a connected socket, the address of the
    // interface the route to the peer goes out of.
    std::optional<Ipv4Address> localAddress() const;
    std::optional<Ipv4Address> peerAddress() const;

    // Waits up to timeout for the socket to become readable (data, close or error).
    bool waitReadable(std::chrono::milliseconds timeout) const;

private:
    explicit TcpSocket(int fd) : fd_(fd) {}
    // One recv() of at most `most` bytes (at most kMaxMessage) with `flags`.
    ReadResult receive(std::size_t most, int flags) const;
    int fd_ = -1;
};

// The first IPv4 address of this host's name, or nullopt.
std::optional<Ipv4Address> hostFirstIpv4Address();

} // namespace platform
