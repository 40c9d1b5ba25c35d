#pragma once
// Network outcomes travel through the whole program as Windows Sockets error
// numbers (0 is success), whatever the platform underneath reports. This is
// the one place where platform errors become those numbers.

#include <QAbstractSocket>
#include <QHostInfo>
#include <QNetworkReply>
#include <cstdint>

namespace torvane::net {

using ErrorCode = std::uint16_t;

inline constexpr ErrorCode kNoError = 0;
// Interrupted: a pending name lookup was cancelled.
inline constexpr ErrorCode kWsaEintr = 10004;
inline constexpr ErrorCode kWsaEacces = 10013;
inline constexpr ErrorCode kWsaEinval = 10022;
inline constexpr ErrorCode kWsaEmfile = 10024;
inline constexpr ErrorCode kWsaEwouldblock = 10035;
inline constexpr ErrorCode kWsaEinprogress = 10036;
inline constexpr ErrorCode kWsaEmsgsize = 10040;
inline constexpr ErrorCode kWsaEopnotsupp = 10045;
inline constexpr ErrorCode kWsaEafnosupport = 10047;
inline constexpr ErrorCode kWsaEaddrinuse = 10048;
inline constexpr ErrorCode kWsaEaddrnotavail = 10049;
inline constexpr ErrorCode kWsaEnetdown = 10050;
inline constexpr ErrorCode kWsaEnetunreach = 10051;
inline constexpr ErrorCode kWsaEconnaborted = 10053;
inline constexpr ErrorCode kWsaEconnreset = 10054;
inline constexpr ErrorCode kWsaEnobufs = 10055;
inline constexpr ErrorCode kWsaEnotconn = 10057;
inline constexpr ErrorCode kWsaEtimedout = 10060;
inline constexpr ErrorCode kWsaEconnrefused = 10061;
inline constexpr ErrorCode kWsaEhostdown = 10064;
inline constexpr ErrorCode kWsaEhostunreach = 10065;
// Resolver outcomes.
inline constexpr ErrorCode kWsaHostNotFound = 11001;
inline constexpr ErrorCode kWsaTryAgain = 11002;
inline constexpr ErrorCode kWsaNoRecovery = 11003;
inline constexpr ErrorCode kWsaNoData = 11004;
// HTTP outcomes (the RDAP client) without a Windows Sockets counterpart take
// the numbers of the Windows Internet functions.
// The URL cannot be parsed or names no host.
inline constexpr ErrorCode kInetInvalidUrl = 12005;
// A URL given to the client is neither https nor http to a loopback address.
inline constexpr ErrorCode kInetSchemeNotAllowed = 12006;
// A redirect points to http or to any other scheme than https.
inline constexpr ErrorCode kInetRedirectNotHttps = 12040;
// The answer is not HTTP the client can read.
inline constexpr ErrorCode kInetInvalidServerResponse = 12152;
// A redirect beyond the limit (loops end here too).
inline constexpr ErrorCode kInetTooManyRedirects = 12156;
// The TLS handshake failed, the certificate included (untrusted, expired,
// for another name).
inline constexpr ErrorCode kInetTlsFailure = 12157;
// A proxy from the environment or the desktop cannot be reached (its own
// connect failed: refused, no such host, unreachable).
inline constexpr ErrorCode kProxyUnreachable = 12165;
// The proxy was reached and refused to open the connection asked for.
inline constexpr ErrorCode kProxyRefused = 12901;
// The proxy asks for credentials that were not given or not accepted.
inline constexpr ErrorCode kProxyAuthRequired = 12902;
// The proxy's reply to the tunnel handshake is not its protocol (a SOCKS5
// proxy that is not one, an HTTP reply head that does not parse or passes
// its cap).
inline constexpr ErrorCode kProxyBadReply = 12903;
// The body's content coding could not be undone: a Content-Encoding the
// client does not decode (br, zstd, ...), or gzip/deflate data that is
// corrupt or cut off (the number of the Windows Internet functions' content
// decoding failure).
inline constexpr ErrorCode kInetDecodingFailed = 12175;

// The code for an error number (errno) reported by the socket calls; 0 maps
// to 0, and numbers without a counterpart become kWsaEinval.
ErrorCode CodeFromErrno(int error_number);

// The code for an error that QTcpSocket reports. RemoteHostClosedError is the
// ordinary end of a WHOIS answer and maps to 0.
ErrorCode CodeFromSocketError(QAbstractSocket::SocketError error);

// The code for the outcome of a QHostInfo lookup; NoError maps to 0.
ErrorCode CodeFromLookupError(QHostInfo::HostInfoError error);

// The code for how a QNetworkReply ended. Errors that only mean an HTTP
// status other than 2xx (404, 500, ...) map to 0: the exchange worked, the
// status tells the rest. A closed or reset connection maps to 10054. The
// proxy errors map onto the proxy codes above; Qt reports many proxy
// failures as UnknownNetworkError only, which TRdapCli tells apart itself.
ErrorCode CodeFromReplyError(QNetworkReply::NetworkError error);

}  // namespace torvane::net
