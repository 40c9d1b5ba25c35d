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

constexpr std::array<std::pair<QNetworkReply::NetworkError, ErrorCode>, 21> kReplyErrorCodes{{
    {QNetworkReply::NoError, kNoError},
    {QNetworkReply::ConnectionRefusedError, kWsaEconnrefused},
    // An answer cut short by the server, by a close or by a reset.
    {QNetworkReply::RemoteHostClosedError, kWsaEconnreset},
    {QNetworkReply::HostNotFoundError, kWsaHostNotFound},
    {QNetworkReply::TimeoutError, kWsaEtimedout},
    {QNetworkReply::OperationCanceledError, kWsaEintr},
    {QNetworkReply::SslHandshakeFailedError, kInetTlsFailure},
    {QNetworkReply::TemporaryNetworkFailureError, kWsaEnetdown},
    {QNetworkReply::NetworkSessionFailedError, kWsaEnetdown},
    {QNetworkReply::BackgroundRequestNotAllowedError, kWsaEacces},
    {QNetworkReply::TooManyRedirectsError, kInetTooManyRedirects},
    {QNetworkReply::InsecureRedirectError, kInetRedirectNotHttps},
    {QNetworkReply::ProtocolUnknownError, kInetSchemeNotAllowed},
    {QNetworkReply::ProtocolInvalidOperationError, kInetInvalidServerResponse},
    {QNetworkReply::ProtocolFailure, kInetInvalidServerResponse},
    // A failure of the proxy is the proxy's, not the server's: a 10061 would
    // send the user looking at a server that was never asked.
    {QNetworkReply::ProxyConnectionRefusedError, kProxyUnreachable},
    {QNetworkReply::ProxyNotFoundError, kProxyUnreachable},
    {QNetworkReply::ProxyTimeoutError, kProxyUnreachable},
    // Reached, but it closed or answered something other than a tunnel.
    {QNetworkReply::ProxyConnectionClosedError, kProxyRefused},
    {QNetworkReply::UnknownProxyError, kProxyRefused},
    {QNetworkReply::ProxyAuthenticationRequiredError, kProxyAuthRequired},
}};

}  // namespace

ErrorCode CodeFromReplyError(QNetworkReply::NetworkError error) {
    for (const auto& [qt_error, code] : kReplyErrorCodes) {
        if (qt_error == error) return code;
    }
    // Qt numbers HTTP-status errors 201-299 (content) and 401-499 (server).
    const int number = static_cast<int>(error);
    if ((number >= 201 && number <= 299) || (number >= 401 && number <= 499)) return kNoError;
    return kWsaEnetdown;
}

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
