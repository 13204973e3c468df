#include "socket_bio.h"

namespace stationlink {

namespace {

SocketIo& ioOf(BIO* bio) { return *static_cast<SocketIo*>(BIO_get_data(bio)); }

int readSocket(BIO* bio, char* out, std::size_t size, std::size_t* got)
{
    SocketIo& io = ioOf(bio);
    BIO_clear_retry_flags(bio);
    *got = 0;
    if (size == 0)
        return 0;
    const platform::Transfer t = io.socket->receiveSome({out, size});
    switch (t.kind) {
    case platform::Transfer::Kind::Done:
        *got = t.bytes;
        return 1;
    case platform::Transfer::Kind::Closed:
        io.peerClosed = true;
        break;
    case platform::Transfer::Kind::WouldBlock:
        BIO_set_retry_read(bio);
        break;
    case platform::Transfer::Kind::Error:
        io.lastError = t.error;
        break;
    }
    return 0;
}

int writeSocket(BIO* bio, const char* data, std::size_t size, std::size_t* sent)
{
    SocketIo& io = ioOf(bio);
    BIO_clear_retry_flags(bio);
    *sent = 0;
    const platform::Transfer t = io.socket->sendSome({data, size});
    switch (t.kind) {
    case platform::Transfer::Kind::Done:
        *sent = t.bytes;
        return 1;
    case platform::Transfer::Kind::WouldBlock:
        BIO_set_retry_write(bio);
        break;
    case platform::Transfer::Kind::Closed:
    case platform::Transfer::Kind::Error:
        io.lastError = t.error;
        break;
    }
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
    if (method &&
        (BIO_meth_set_read_ex(method.get(), readSocket) != 1 || BIO_meth_set_write_ex(method.get(), writeSocket) != 1 ||
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

} // namespace stationlink
