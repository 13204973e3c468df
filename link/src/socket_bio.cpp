#include "socket_bio.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

namespace stationlink {

namespace {

SocketIo& ioOf(BIO* bio) { return *static_cast<SocketIo*>(BIO_get_data(bio)); }

bool wouldBlock(int err) { return err == EAGAIN || err == EWOULDBLOCK; }

int readSocket(BIO* bio, char* out, std::size_t size, std::size_t* got)
{
    SocketIo& io = ioOf(bio);
    BIO_clear_retry_flags(bio);
    *got = 0;
    if (size == 0)
        return 0;
    ssize_t n;
    do {
        n = ::recv(io.fd, out, size, 0);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
        *got = static_cast<std::size_t>(n);
        return 1;
    }
    if (n == 0)
        io.peerClosed = true;
    else if (wouldBlock(errno))
        BIO_set_retry_read(bio);
    else
        io.lastError = errno;
    return 0;
}

int writeSocket(BIO* bio, const char* data, std::size_t size, std::size_t* sent)
{
    SocketIo& io = ioOf(bio);
    BIO_clear_retry_flags(bio);
    *sent = 0;
    ssize_t n;
    do {
        n = ::send(io.fd, data, size, MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    if (n >= 0) {
        *sent = static_cast<std::size_t>(n);
        return 1;
    }
    if (wouldBlock(errno))
        BIO_set_retry_write(bio);
    else
        io.lastError = errno;
    return 0;
}

long control(BIO* bio, int command, long, void*)
{
    switch (command) {
    case BIO_CTRL_FLUSH:
        return 1; // nothing is held back
    case BIO_CTRL_EOF:
        // With SSL_OP_IGNORE_UNEXPECTED_EOF this turns a TCP close into an orderly end.
        return ioOf(bio).peerClosed ? 1 : 0;
    default:
        return 0;
    }
}

struct MethodFree {
    void operator()(BIO_METHOD* method) const { BIO_meth_free(method); }
};

std::unique_ptr<BIO_METHOD, MethodFree> makeMethod()
{
    const int index = BIO_get_new_index();
    if (index == -1)
        return nullptr;
    std::unique_ptr<BIO_METHOD, MethodFree> method(BIO_meth_new(index | BIO_TYPE_SOURCE_SINK, "station link socket"));
    if (method && (BIO_meth_set_read_ex(method.get(), readSocket) != 1 ||
                   BIO_meth_set_write_ex(method.get(), writeSocket) != 1 ||
                   BIO_meth_set_ctrl(method.get(), control) != 1))
        method.reset();
    return method;
}

} // namespace

std::unique_ptr<BIO, BioFree> makeSocketBio(SocketIo& io)
{
    static const std::unique_ptr<BIO_METHOD, MethodFree> method = makeMethod();
    if (!method)
        return nullptr;
    std::unique_ptr<BIO, BioFree> bio(BIO_new(method.get()));
    if (bio) {
        BIO_set_data(bio.get(), &io);
        BIO_set_init(bio.get(), 1);
    }
    return bio;
}

bool waitWritable(int fd, std::chrono::milliseconds timeout)
{
    pollfd p{fd, POLLOUT, 0};
    using std::chrono::steady_clock;
    const auto deadline = steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - steady_clock::now());
        const int n = ::poll(&p, 1, static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0)));
        if (n >= 0 || errno != EINTR)
            return n > 0 && (p.revents & POLLOUT) != 0;
    }
}

} // namespace stationlink
