// The table from platform and Qt errors to Windows Sockets numbers.

#include "net/error_codes.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace torvane::net {
namespace {

TEST(ErrorCodes, PlatformErrorsMapOntoWindowsSocketsNumbers) {
    const struct {
        int error_number;
        ErrorCode code;
    } cases[] = {
        {0, 0},
        {ECONNREFUSED, 10061},  // refused
        {ECONNRESET, 10054},    // reset
        {EHOSTUNREACH, 10065},  // host unreachable
        {ENETUNREACH, 10051},   // network unreachable
        {ETIMEDOUT, 10060},     // timed out
        {EINTR, 10004},         // cancelled
        {ECONNABORTED, 10053},
        {EADDRNOTAVAIL, 10049},
        {EPERM, 10013},
        {EIO, 10022},  // no counterpart
    };
    for (const auto& c : cases) EXPECT_EQ(CodeFromErrno(c.error_number), c.code) << c.error_number;
}

TEST(ErrorCodes, QtSocketErrorsMapOntoWindowsSocketsNumbers) {
    const struct {
        QAbstractSocket::SocketError error;
        ErrorCode code;
    } cases[] = {
        {QAbstractSocket::ConnectionRefusedError, 10061},
        {QAbstractSocket::RemoteHostClosedError, 0},  // the ordinary end of an answer
        {QAbstractSocket::HostNotFoundError, 11001},
        {QAbstractSocket::SocketTimeoutError, 10060},
        {QAbstractSocket::NetworkError, 10050},
        {QAbstractSocket::SocketAccessError, 10013},
        {QAbstractSocket::SocketResourceError, 10055},
        {QAbstractSocket::UnknownSocketError, 10022},
    };
    for (const auto& c : cases) EXPECT_EQ(CodeFromSocketError(c.error), c.code) << c.error;
}

TEST(ErrorCodes, LookupOutcomesMapOntoResolverNumbers) {
    EXPECT_EQ(CodeFromLookupError(QHostInfo::NoError), 0);
    EXPECT_EQ(CodeFromLookupError(QHostInfo::HostNotFound), 11001);
    EXPECT_EQ(CodeFromLookupError(QHostInfo::UnknownError), 11002);
}

TEST(ErrorCodes, ReplyErrorsMapOntoSocketOrInternetNumbers) {
    const struct {
        QNetworkReply::NetworkError error;
        ErrorCode code;
    } cases[] = {
        {QNetworkReply::NoError, 0},
        {QNetworkReply::ContentNotFoundError, 0},  // 404: the status tells
        {QNetworkReply::InternalServerError, 0},   // 500: likewise
        {QNetworkReply::ConnectionRefusedError, 10061},
        {QNetworkReply::RemoteHostClosedError, 10054},
        {QNetworkReply::HostNotFoundError, 11001},
        {QNetworkReply::OperationCanceledError, 10004},
        {QNetworkReply::SslHandshakeFailedError, 12157},
        {QNetworkReply::ProtocolFailure, 12152},
        // The proxy's failures have their own codes, never the server's.
        {QNetworkReply::ProxyConnectionRefusedError, 12165},
        {QNetworkReply::ProxyNotFoundError, 12165},
        {QNetworkReply::ProxyTimeoutError, 12165},
        {QNetworkReply::ProxyConnectionClosedError, 12901},
        {QNetworkReply::UnknownProxyError, 12901},
        {QNetworkReply::ProxyAuthenticationRequiredError, 12902},
        {QNetworkReply::UnknownNetworkError, 10050},
    };
    for (const auto& c : cases) EXPECT_EQ(CodeFromReplyError(c.error), c.code) << c.error;
}

}  // namespace
}  // namespace torvane::net
