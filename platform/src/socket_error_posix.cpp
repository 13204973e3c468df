#include "platform/socket_error.h"

#include <cerrno>

namespace platform {

int socketErrorFromNative(int e)
{
    switch (e) {
    case 0:
        return kSocketOk;
    case EINTR:
        return kSocketInterrupted;
    case EFAULT:
        return kSocketFault;
    case EINVAL:
        return kSocketInvalid;
    case EMFILE:
    case ENFILE:
        return kSocketTooManyFiles;
    case EWOULDBLOCK:
    case EINPROGRESS: // a connect under way reads as would-block, as on Windows
        return kSocketWouldBlock;
    case EALREADY:
        return kSocketInProgress;
    case ENOTSOCK:
    case EBADF:
        return kSocketNotSocket;
    case EMSGSIZE:
        return kSocketMessageSize;
    case EOPNOTSUPP:
        return kSocketNotSupported;
    case EADDRINUSE:
        return kSocketAddressInUse;
    case EADDRNOTAVAIL:
        return kSocketAddressNotAvailable;
    case ENETDOWN:
        return kSocketNetworkDown;
    case ENETUNREACH:
        return kSocketNetworkUnreachable;
    case ENETRESET:
        return kSocketNetworkReset;
    case ECONNABORTED:
        return kSocketConnectionAborted;
    case ECONNRESET:
    case EPIPE:
        return kSocketConnectionReset;
    case ENOBUFS:
        return kSocketNoBuffers;
    case ENOTCONN:
        return kSocketNotConnected;
    case ESHUTDOWN:
        return kSocketShutdown;
    case ETIMEDOUT:
        return kSocketTimedOut;
    case ECONNREFUSED:
        return kSocketConnectionRefused;
    case EHOSTUNREACH:
        return kSocketHostUnreachable;
    default:
        return e;
    }
}

} // namespace platform
