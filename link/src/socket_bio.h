#pragma once
// The path between a TLS connection and its socket. OpenSSL's own socket BIO
// writes with write(), which raises SIGPIPE, and so ends the program, when
// the peer has reset the connection; this one sends and receives through
// TcpSocket, never blocks, and keeps the last socket error and whether the
// peer closed for the channel to report.
//
// A SocketIo and its BIO belong to one channel, used by one thread at a time.

#include "platform/tcp_socket.h"

#include <openssl/bio.h>

#include <memory>

namespace stationlink {

struct SocketIo {
    platform::TcpSocket* socket = nullptr; // the channel's, which keeps it pointing here when moved
    int lastError = 0;                     // Windows Sockets number of the last failed send or receive, 0 if none
    bool peerClosed = false;
};

struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};

// A BIO that reads and writes io.socket; `io` must outlive it. Null when
// OpenSSL cannot make one.
std::unique_ptr<BIO, BioFree> makeSocketBio(SocketIo& io);

} // namespace stationlink
