#pragma once
// Socket errors are reported with the Windows Sockets numbers on every platform,
// so that logs and callers read the same codes everywhere.
// No state: safe from any thread.

namespace platform {

enum SocketErrorCode : int {
    kSocketOk = 0,
    kSocketInterrupted = 10004,         // WSAEINTR
    kSocketFault = 10014,               // WSAEFAULT
    kSocketInvalid = 10022,             // WSAEINVAL
    kSocketTooManyFiles = 10024,        // WSAEMFILE
    kSocketWouldBlock = 10035,          // WSAEWOULDBLOCK
    kSocketInProgress = 10036,          // WSAEINPROGRESS
    kSocketNotSocket = 10038,           // WSAENOTSOCK
    kSocketMessageSize = 10040,         // WSAEMSGSIZE
    kSocketNotSupported = 10045,        // WSAEOPNOTSUPP
    kSocketAddressInUse = 10048,        // WSAEADDRINUSE
    kSocketAddressNotAvailable = 10049, // WSAEADDRNOTAVAIL
    kSocketNetworkDown = 10050,         // WSAENETDOWN
    kSocketNetworkUnreachable = 10051,  // WSAENETUNREACH
    kSocketNetworkReset = 10052,        // WSAENETRESET
    kSocketConnectionAborted = 10053,   // WSAECONNABORTED
    kSocketConnectionReset = 10054,     // WSAECONNRESET
    kSocketNoBuffers = 10055,           // WSAENOBUFS
    kSocketNotConnected = 10057,        // WSAENOTCONN
    kSocketShutdown = 10058,            // WSAESHUTDOWN
    kSocketTimedOut = 10060,            // WSAETIMEDOUT
    kSocketConnectionRefused = 10061,   // WSAECONNREFUSED
    kSocketHostUnreachable = 10065,     // WSAEHOSTUNREACH
    kSocketNotInitialised = 10093,      // WSANOTINITIALISED
};

// Why a socket call failed: its Windows Sockets number, one of SocketErrorCode
// or, for a native error that has none, that number as it came. Logs print `code`.
struct SocketError {
    int code = kSocketOk;
    friend bool operator==(const SocketError&, const SocketError&) = default;
};

// Maps a native error (errno here) to its Windows Sockets number; unknown values pass through.
int socketErrorFromNative(int nativeError);

} // namespace platform
