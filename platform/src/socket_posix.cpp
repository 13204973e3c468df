#include "platform/tcp_socket.h"
#include "poll_posix.h"
#include "platform/system_error_log.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

// The failure of the system call that just failed, from errno.
Failure<SocketError> lastSocketFailure() { return failure(SocketError{socketErrorFromNative(errno)}); }

sockaddr_in toSockaddr(Ipv4Address address, std::uint16_t port)
{
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    std::memcpy(&sa.sin_addr.s_addr, address.octets.data(), 4);
    return sa;
}

Ipv4Address fromSockaddr(const sockaddr_in& sa)
{
    Ipv4Address a;
    std::memcpy(a.octets.data(), &sa.sin_addr.s_addr, 4);
    return a;
}

// The link's messages are a few bytes each, one send a message, and each waits
// for its answer: Nagle's delay would hold every message after the first
// (after a TLS handshake, the first one too) for up to 40 ms.
void sendAtOnce(int fd)
{
    const int on = 1;
    if (::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0)
        logSystemError("setsockopt(TCP_NODELAY)", errno);
}

// What a recv() or send() that returned `n` did (errno still its own).
Transfer transferOf(ssize_t n)
{
    if (n >= 0)
        return {Transfer::Kind::Done, static_cast<std::size_t>(n), 0};
    if (errno == EWOULDBLOCK || errno == EAGAIN)
        return {Transfer::Kind::WouldBlock, 0, 0};
    return {Transfer::Kind::Error, 0, socketErrorFromNative(errno)};
}

} // namespace

TcpSocket::~TcpSocket() { close(); }

TcpSocket::TcpSocket(TcpSocket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

void TcpSocket::close()
{
    if (fd_ >= 0)
        closeDescriptor(fd_, "socket");
    fd_ = -1;
}

Result<TcpSocket, SocketError> TcpSocket::create()
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return lastSocketFailure();
    sendAtOnce(fd);
    return TcpSocket(fd);
}

Result<TcpSocket, SocketError> TcpSocket::listenOn(Ipv4Address address, std::uint16_t port, int backlog)
{
    auto created = create();
    if (!created)
        return created;
    TcpSocket& s = *created;
    if (auto set = s.setReuseAddress(); !set)
        return failure(set.error());
    if (auto set = s.setLingerOff(); !set)
        return failure(set.error());
    if (auto bound = s.bind(address, port); !bound)
        return failure(bound.error());
    if (::listen(s.fd_, backlog) != 0)
        return lastSocketFailure();
    return created;
}

Result<void, SocketError> TcpSocket::setLingerOff()
{
    linger l{};
    l.l_onoff = 0;
    l.l_linger = 0;
    if (::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, sizeof l) != 0)
        return lastSocketFailure();
    return {};
}

Result<void, SocketError> TcpSocket::setKeepAlive(std::chrono::seconds idle, std::chrono::seconds interval, int probes)
{
    const int on = 1;
    const int idleSeconds = static_cast<int>(idle.count());
    const int intervalSeconds = static_cast<int>(interval.count());
    const unsigned userTimeout = static_cast<unsigned>((idle + interval * probes) / std::chrono::milliseconds(1));
    if (::setsockopt(fd_, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) != 0 ||
        ::setsockopt(fd_, IPPROTO_TCP, TCP_KEEPIDLE, &idleSeconds, sizeof idleSeconds) != 0 ||
        ::setsockopt(fd_, IPPROTO_TCP, TCP_KEEPINTVL, &intervalSeconds, sizeof intervalSeconds) != 0 ||
        ::setsockopt(fd_, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes) != 0 ||
        ::setsockopt(fd_, IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeout, sizeof userTimeout) != 0)
        return lastSocketFailure();
    return {};
}

Result<void, SocketError> TcpSocket::setReuseAddress()
{
    int on = 1;
    if (::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0)
        return lastSocketFailure();
    return {};
}

Result<void, SocketError> TcpSocket::bind(Ipv4Address address, std::uint16_t port)
{
    sockaddr_in sa = toSockaddr(address, port);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0)
        return lastSocketFailure();
    return {};
}

ConnectResult TcpSocket::connect(Ipv4Address address, std::uint16_t port)
{
    if (fd_ < 0)
        return {ConnectResult::Kind::Error, kSocketNotSocket};
    sockaddr_in sa = toSockaddr(address, port);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0)
        return {ConnectResult::Kind::Connected, kSocketOk};
    int e = errno;
    if (e == EINPROGRESS || e == EWOULDBLOCK)
        return {ConnectResult::Kind::WouldBlock, kSocketWouldBlock};
    return {ConnectResult::Kind::Error, socketErrorFromNative(e)};
}

Result<void, SocketError> TcpSocket::waitConnected(std::chrono::milliseconds timeout)
{
    pollfd p{fd_, POLLOUT, 0};
    const int n = pollThroughSignals({&p, 1}, timeout);
    if (n == 0)
        return failure(SocketError{kSocketTimedOut});
    if (n < 0)
        return lastSocketFailure();
    int soError = 0;
    socklen_t len = sizeof soError;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &soError, &len) != 0)
        return lastSocketFailure();
    if (soError != 0)
        return failure(SocketError{socketErrorFromNative(soError)});
    return {};
}

Result<TcpSocket, SocketError> TcpSocket::accept(Ipv4Address* peer)
{
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    int fd = ::accept4(fd_, reinterpret_cast<sockaddr*>(&sa), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return lastSocketFailure();
    if (peer)
        *peer = fromSockaddr(sa);
    TcpSocket s(fd);
    sendAtOnce(fd);
    // Linger is off by default, so the connection is served as it is when the
    // option cannot be set; the failure is only worth a line.
    if (!s.setLingerOff())
        logSystemError("setsockopt(SO_LINGER)", errno);
    return s;
}

ReadResult TcpSocket::read() { return receive(kMaxMessage, 0); }

ReadResult TcpSocket::peekByte() const { return receive(1, MSG_PEEK | MSG_DONTWAIT); }

ReadResult TcpSocket::receive(std::size_t most, int flags) const
{
    ReadResult r;
    char buffer[kMaxMessage + 1];
    ssize_t n;
    do {
        n = ::recv(fd_, buffer, most, flags);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
        r.kind = ReadResult::Kind::Data;
        r.data.assign(buffer, static_cast<std::size_t>(n));
    } else if (n == 0) {
        r.kind = ReadResult::Kind::Closed;
    } else if (errno == EWOULDBLOCK || errno == EAGAIN) {
        r.kind = ReadResult::Kind::WouldBlock;
        r.error = kSocketWouldBlock;
    } else {
        r.kind = ReadResult::Kind::Error;
        r.error = socketErrorFromNative(errno);
    }
    return r;
}

Transfer TcpSocket::receiveSome(std::span<char> out)
{
    ssize_t n;
    do {
        n = ::recv(fd_, out.data(), out.size(), 0);
    } while (n < 0 && errno == EINTR);
    if (n == 0 && !out.empty())
        return {Transfer::Kind::Closed, 0, 0};
    return transferOf(n);
}

Transfer TcpSocket::sendSome(std::string_view data)
{
    ssize_t n;
    do {
        n = ::send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    return transferOf(n);
}

bool TcpSocket::waitWritable(std::chrono::milliseconds timeout) const
{
    pollfd p{fd_, POLLOUT, 0};
    return pollThroughSignals({&p, 1}, timeout) > 0 && (p.revents & POLLOUT) != 0;
}

Result<void, SocketError> TcpSocket::send(std::string_view message)
{
    if (fd_ < 0)
        return failure(SocketError{kSocketNotSocket});
    std::size_t done = 0;
    while (done < message.size()) {
        ssize_t n = ::send(fd_, message.data() + done, message.size() - done, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EWOULDBLOCK || errno == EAGAIN) {
                // Messages are tiny; a full send buffer means a stuck peer. Give it a moment.
                pollfd p{fd_, POLLOUT, 0};
                if (pollThroughSignals({&p, 1}, std::chrono::seconds(1)) > 0)
                    continue;
            }
            return lastSocketFailure();
        }
        done += static_cast<std::size_t>(n);
    }
    return {};
}

namespace {

// The socket's own end (getsockname) or the peer's (getpeername).
enum class End { Local, Peer };

std::optional<sockaddr_in> endOf(int fd, End end)
{
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    auto* name = reinterpret_cast<sockaddr*>(&sa);
    const int result = end == End::Local ? ::getsockname(fd, name, &len) : ::getpeername(fd, name, &len);
    if (result != 0)
        return std::nullopt;
    return sa;
}

} // namespace

std::optional<std::uint16_t> TcpSocket::localPort() const
{
    const auto sa = endOf(fd_, End::Local);
    return sa ? std::optional<std::uint16_t>(ntohs(sa->sin_port)) : std::nullopt;
}

std::optional<Ipv4Address> TcpSocket::localAddress() const
{
    const auto sa = endOf(fd_, End::Local);
    return sa ? std::optional<Ipv4Address>(fromSockaddr(*sa)) : std::nullopt;
}

std::optional<Ipv4Address> TcpSocket::peerAddress() const
{
    const auto sa = endOf(fd_, End::Peer);
    return sa ? std::optional<Ipv4Address>(fromSockaddr(*sa)) : std::nullopt;
}

bool TcpSocket::waitReadable(std::chrono::milliseconds timeout) const
{
    pollfd p{fd_, POLLIN, 0};
    return pollThroughSignals({&p, 1}, timeout) > 0;
}

std::optional<Ipv4Address> hostFirstIpv4Address()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return std::nullopt;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &list) != 0 || !list)
        return std::nullopt;
    auto address = fromSockaddr(*reinterpret_cast<const sockaddr_in*>(list->ai_addr));
    ::freeaddrinfo(list);
    return address;
}

} // namespace platform
