#include "link/channel.h"

#include "socket_bio.h"
#include "tls_context.h"

#include "platform/socket_error.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <utility>

namespace stationlink {

namespace {

using platform::ReadResult;

// As long as TcpSocket::send waits for a full send buffer.
constexpr std::chrono::seconds kSendPatience{1};
constexpr unsigned char kHandshakeRecord = 0x16;

std::chrono::milliseconds timeUntil(std::chrono::steady_clock::time_point deadline)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
}

ReadResult resultOf(ReadResult::Kind kind, int error)
{
    ReadResult r;
    r.kind = kind;
    r.error = error;
    return r;
}

} // namespace

void Channel::SslFree::operator()(ssl_st* ssl) const { SSL_free(ssl); }

Channel::Channel() = default;

Channel::~Channel() { close(); }

Channel::Channel(Channel&& other) noexcept
    : socket_(std::move(other.socket_)),
      context_(std::move(other.context_)),
      io_(std::move(other.io_)),
      ssl_(std::move(other.ssl_)),
      stage_(std::exchange(other.stage_, Stage::Plain)),
      wantsWrite_(std::exchange(other.wantsWrite_, false))
{
    if (io_)
        io_->socket = &socket_;
}

Channel& Channel::operator=(Channel&& other) noexcept
{
    if (this != &other) {
        close();
        socket_ = std::move(other.socket_);
        context_ = std::move(other.context_);
        io_ = std::move(other.io_);
        ssl_ = std::move(other.ssl_);
        stage_ = std::exchange(other.stage_, Stage::Plain);
        wantsWrite_ = std::exchange(other.wantsWrite_, false);
        if (io_)
            io_->socket = &socket_;
    }
    return *this;
}

Channel Channel::plain(platform::TcpSocket socket)
{
    Channel channel;
    channel.socket_ = std::move(socket);
    return channel;
}

Channel Channel::tlsServer(platform::TcpSocket socket, const CafeKey& key) { return tls(std::move(socket), key, true); }

Channel Channel::tlsClient(platform::TcpSocket socket, const CafeKey& key)
{
    return tls(std::move(socket), key, false);
}

Channel Channel::tls(platform::TcpSocket socket, const CafeKey& key, bool server)
{
    Channel channel;
    channel.socket_ = std::move(socket);
    channel.stage_ = Stage::Handshaking;
    channel.context_ = TlsContext::forKey(server ? TlsContext::Role::Server : TlsContext::Role::Client, key);
    if (!channel.context_ || !channel.socket_.isValid()) {
        channel.fail();
        return channel;
    }
    channel.io_ = std::make_unique<SocketIo>();
    channel.io_->socket = &channel.socket_;
    channel.ssl_.reset(channel.context_->newConnection().release());
    auto bio = makeSocketBio(*channel.io_);
    if (!channel.ssl_ || !bio) {
        channel.fail();
        return channel;
    }
    BIO* io = bio.release();
    SSL_set_bio(channel.ssl_.get(), io, io); // the one reference, for both directions
    if (server)
        SSL_set_accept_state(channel.ssl_.get());
    else
        SSL_set_connect_state(channel.ssl_.get());
    return channel;
}

Channel::Handshake Channel::continueHandshake()
{
    switch (stage_) {
    case Stage::Plain:
    case Stage::Secured:
        return Handshake::Done;
    case Stage::Failed:
        return Handshake::Failed;
    case Stage::Handshaking:
        break;
    }
    ERR_clear_error();
    const int result = SSL_do_handshake(ssl_.get());
    wantsWrite_ = false;
    if (result == 1) {
        stage_ = Stage::Secured;
        return Handshake::Done;
    }
    switch (SSL_get_error(ssl_.get(), result)) {
    case SSL_ERROR_WANT_READ:
        return Handshake::Pending;
    case SSL_ERROR_WANT_WRITE:
        wantsWrite_ = true;
        return Handshake::Pending;
    default:
        // OpenSSL has already sent the peer its alert, where there was one to send.
        fail();
        return Handshake::Failed;
    }
}

platform::ReadResult Channel::read()
{
    if (stage_ == Stage::Plain)
        return socket_.read();
    if (stage_ != Stage::Secured)
        return resultOf(ReadResult::Kind::Error, platform::kSocketNotConnected);

    char buffer[platform::kMaxMessage];
    const auto deadline = std::chrono::steady_clock::now() + kSendPatience;
    for (;;) {
        ERR_clear_error();
        std::size_t got = 0;
        const int result = SSL_read_ex(ssl_.get(), buffer, sizeof buffer, &got);
        if (result == 1) {
            ReadResult r;
            r.kind = ReadResult::Kind::Data;
            r.data.assign(buffer, got);
            return r;
        }
        switch (SSL_get_error(ssl_.get(), result)) {
        case SSL_ERROR_WANT_READ:
            return resultOf(ReadResult::Kind::WouldBlock, platform::kSocketWouldBlock);
        case SSL_ERROR_ZERO_RETURN:
            // Reading again gives Closed again, as on a TCP socket.
            return resultOf(ReadResult::Kind::Closed, 0);
        case SSL_ERROR_WANT_WRITE: {
            // TLS answers some records (a key update) from inside a read; a
            // full send buffer then holds the read up, as it would a send.
            const auto left = timeUntil(deadline);
            if (left.count() > 0 && socket_.waitWritable(left))
                continue;
            fail();
            return resultOf(ReadResult::Kind::Error, platform::kSocketTimedOut);
        }
        default: {
            const int error = lastError();
            fail();
            return resultOf(ReadResult::Kind::Error, error);
        }
        }
    }
}

bool Channel::hasBufferedData() const
{
    // Decrypted bytes only: a record still arriving leaves bytes in OpenSSL's
    // buffer too, but read() could not give them yet, and the socket signals
    // the rest when it comes.
    return stage_ == Stage::Secured && SSL_pending(ssl_.get()) > 0;
}

platform::Result<void, platform::SocketError> Channel::send(std::string_view message)
{
    if (stage_ == Stage::Plain)
        return socket_.send(message);
    if (stage_ != Stage::Secured)
        return platform::failure(platform::SocketError{platform::kSocketNotConnected});
    if (message.empty())
        return {};
    for (;;) {
        ERR_clear_error();
        std::size_t written = 0;
        // Without partial writes SSL_write_ex takes the whole message or
        // nothing, and a retry after WANT_WRITE must offer the same bytes.
        const int result = SSL_write_ex(ssl_.get(), message.data(), message.size(), &written);
        if (result == 1)
            return {};
        const bool full = SSL_get_error(ssl_.get(), result) == SSL_ERROR_WANT_WRITE;
        if (full && socket_.waitWritable(kSendPatience))
            continue;
        const platform::SocketError error{full ? platform::kSocketTimedOut : lastError()};
        fail();
        return platform::failure(error);
    }
}

void Channel::close()
{
    if (ssl_ && stage_ == Stage::Secured) {
        ERR_clear_error();
        // One try: a peer that cannot take the close_notify notices the TCP close instead.
        SSL_shutdown(ssl_.get());
        ERR_clear_error();
    }
    ssl_.reset();
    io_.reset();
    context_.reset();
    socket_.close();
    stage_ = Stage::Plain;
    wantsWrite_ = false;
}

void Channel::fail()
{
    stage_ = Stage::Failed;
    wantsWrite_ = false;
    // Left in the queue, this connection's errors would be read as the next one's.
    ERR_clear_error();
}

int Channel::lastError() const
{
    if (io_ && io_->lastError != 0)
        return io_->lastError;
    // No system error: TLS itself refused what came (a damaged record, an alert).
    return platform::kSocketConnectionAborted;
}

Opening peekOpening(const platform::TcpSocket& socket)
{
    const ReadResult first = socket.peekByte();
    switch (first.kind) {
    case ReadResult::Kind::Data:
        return static_cast<unsigned char>(first.data[0]) == kHandshakeRecord ? Opening::Tls : Opening::Plain;
    case ReadResult::Kind::WouldBlock:
        return Opening::Nothing;
    case ReadResult::Kind::Closed:
    case ReadResult::Kind::Error:
        break;
    }
    return Opening::Closed;
}

} // namespace stationlink
