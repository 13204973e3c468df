#pragma once
// The path between a TLS connection and its socket. OpenSSL's own socket BIO
// writes with write(), which raises SIGPIPE, and so ends the program, when
// the peer has reset the connection; this one sends with MSG_NOSIGNAL as
// TcpSocket does, never blocks, and keeps the last system error and whether
// the peer closed for the channel to report.
//
// A SocketIo and its BIO belong to one channel, used by one thread at a time.

#include <openssl/bio.h>

#include <chrono>
#include <memory>

namespace stationlink {

struct SocketIo {
    int fd = -1;
    int lastError = 0;     // errno of the last failed send or receive, 0 if none
    bool peerClosed = false;
};

struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};

// A BIO that reads and writes io.fd; `io` must outlive it. Null when OpenSSL
// cannot make one.
std::unique_ptr<BIO, BioFree> makeSocketBio(SocketIo& io);

// Waits up to `timeout` for the socket to take more bytes; false on time-out or error.
bool waitWritable(int fd, std::chrono::milliseconds timeout);

} // namespace stationlink
