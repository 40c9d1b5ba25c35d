#include "net/error_codes.h"

#include <array>
#include <cerrno>
#include <utility>

namespace torvane::net {
namespace {

// errno values of connect, send, recv and getsockopt(SO_ERROR) on Linux.
constexpr std::array<std::pair<int, ErrorCode>, 21> kErrnoCodes{{
    {EINTR, kWsaEintr},
    {EACCES, kWsaEacces},
    {EPERM, kWsaEacces},
    {EINVAL, kWsaEinval},
    {EMFILE, kWsaEmfile},
    {ENFILE, kWsaEmfile},
    {EWOULDBLOCK, kWsaEwouldblock},
    {EINPROGRESS, kWsaEinprogress},
    {EMSGSIZE, kWsaEmsgsize},
    {EAFNOSUPPORT, kWsaEafnosupport},
    {EADDRINUSE, kWsaEaddrinuse},
    {EADDRNOTAVAIL, kWsaEaddrnotavail},
    {ENETDOWN, kWsaEnetdown},
    {ENETUNREACH, kWsaEnetunreach},
    {ECONNABORTED, kWsaEconnaborted},
    {ECONNRESET, kWsaEconnreset},
    {ENOBUFS, kWsaEnobufs},
    {ETIMEDOUT, kWsaEtimedout},
    {ECONNREFUSED, kWsaEconnrefused},
    {EHOSTDOWN, kWsaEhostdown},
    {EHOSTUNREACH, kWsaEhostunreach},
}};

// Qt folds several platform errors into NetworkError; the socket layer asks
// the platform itself where the difference matters (connect, reset), so what
// is left here is a network failure without further detail.
constexpr std::array<std::pair<QAbstractSocket::SocketError, ErrorCode>, 17> kSocketErrorCodes{{
    {QAbstractSocket::ConnectionRefusedError, kWsaEconnrefused},
    {QAbstractSocket::RemoteHostClosedError, kNoError},
    {QAbstractSocket::HostNotFoundError, kWsaHostNotFound},
    {QAbstractSocket::SocketAccessError, kWsaEacces},
    {QAbstractSocket::SocketResourceError, kWsaEnobufs},
    {QAbstractSocket::SocketTimeoutError, kWsaEtimedout},
    {QAbstractSocket::DatagramTooLargeError, kWsaEmsgsize},
    {QAbstractSocket::NetworkError, kWsaEnetdown},
    {QAbstractSocket::AddressInUseError, kWsaEaddrinuse},
    {QAbstractSocket::SocketAddressNotAvailableError, kWsaEaddrnotavail},
    {QAbstractSocket::UnsupportedSocketOperationError, kWsaEopnotsupp},
    {QAbstractSocket::UnfinishedSocketOperationError, kWsaEinprogress},
    {QAbstractSocket::ProxyConnectionRefusedError, kWsaEconnrefused},
    {QAbstractSocket::ProxyConnectionClosedError, kWsaEconnaborted},
    {QAbstractSocket::ProxyConnectionTimeoutError, kWsaEtimedout},
    {QAbstractSocket::ProxyNotFoundError, kWsaHostNotFound},
    {QAbstractSocket::TemporaryError, kWsaEwouldblock},
}};

}  // namespace

ErrorCode CodeFromErrno(int error_number) {
    if (error_number == 0) return kNoError;
    for (const auto& [number, code] : kErrnoCodes) {
        if (number == error_number) return code;
    }
    return kWsaEinval;
}

ErrorCode CodeFromSocketError(QAbstractSocket::SocketError error) {
    for (const auto& [qt_error, code] : kSocketErrorCodes) {
        if (qt_error == error) return code;
    }
    return kWsaEinval;
}

ErrorCode CodeFromLookupError(QHostInfo::HostInfoError error) {
    switch (error) {
        case QHostInfo::NoError:
            return kNoError;
        case QHostInfo::HostNotFound:
            return kWsaHostNotFound;
        case QHostInfo::UnknownError:
            // Qt reports a resolver that could not be reached this way.
            return kWsaTryAgain;
    }
    return kWsaNoRecovery;
}

}  // namespace torvane::net
