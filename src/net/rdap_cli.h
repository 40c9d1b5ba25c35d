#pragma once
// TRdapCli carries out one RDAP request at a time: GET of a URL with
// "Accept: application/rdap+json" and "Accept-Encoding: identity", following
// redirects, and reports the outcome through OnQueryDone. It does no
// interpretation of the answer: the body is handed over as the bytes that
// arrived, after undoing a gzip or deflate coding that a server applied
// unasked (rdap/content_coding.h).
//
// Rules: every real host is asked over HTTPS, with the system's trusted
// certificates plus those given to AddTrustedCertificate; plain HTTP only to
// a loopback address, directly or through the host map (rdap_target.h). At
// most kMaxRedirects redirects (301, 302, 303, 307, 308 with a Location),
// each only to https. At most kMaxAnswerSize bytes of body, counted after
// decoding (a small compressed body must not inflate past it). The whole
// exchange, redirects included, must end within Timeout().
//
// Events, by situation (codes are Windows Sockets numbers or the HTTP ones
// in error_codes.h, 0 is success):
//   URL not allowed or not a URL       OnQueryDone(12005 or 12006), later
//                                      from the event loop, never inside
//                                      StartQuery
//   host cannot be resolved            OnQueryDone(11001)
//   connection refused / reset         OnQueryDone(10061 / 10054)
//   TLS handshake or certificate fails OnQueryDone(12157)
//   proxy cannot be reached            OnQueryDone(12165)
//   proxy refuses the tunnel (403, an  OnQueryDone(12901)
//     error answer, a closed
//     connection)
//   proxy wants credentials            OnQueryDone(12902)
//   answer arrived (any HTTP status)   OnSessionConnected(0), OnQueryDone(0);
//                                      HttpStatus() says 200, 404, ...
//   redirect to a non-https URL        OnSessionConnected(0), OnQueryDone(12040)
//   one redirect more than allowed     OnSessionConnected(0), OnQueryDone(12156)
//   body longer than kMaxAnswerSize    OnSessionConnected(0), OnQueryDone(0),
//   (decoded)                          the first kMaxAnswerSize bytes in Body()
//                                      and Truncated() true
//   a Content-Encoding other than      OnSessionConnected(0), OnQueryDone(12175),
//   gzip, x-gzip, deflate, identity    Fault() kUnknownCoding, Body() empty
//                                      (the coded bytes are never kept)
//   compressed body corrupt / cut off  OnSessionConnected(0), OnQueryDone(12175),
//                                      Fault() kCorrupt / kCutOff, Body() what
//                                      decoded before the fault
//   Timeout() passed                   OnQueryDone(10060) with what arrived
//   Abort while running                OnQueryDone(10004) inside the call,
//                                      with what arrived
//   Abort on an idle client            none
// OnSessionConnected is raised at most once per StartQuery: when the first
// request was written to its connection (TLS established). Every StartQuery
// ends in exactly one OnQueryDone; StartQuery may be called again from
// inside it (to follow a link), and a StartQuery while one runs abandons the
// old one silently. After a failure HttpStatus(), Body() and FinalUrl() hold
// what the last hop got so far (status 0 when no response head arrived).
// The body of a redirect that is followed is read and dropped undecoded.
//
// Proxies: each hop (redirects included) goes through the proxy that
// RdapProxyFor (rdap_proxy.h) names for it, from the process environment and
// the desktop by default (SetProxySource); Qt's own proxy choice never
// applies. Through a proxy a server that cannot be reached is what the proxy
// says: 11001 or 10061 when it says that much, 12901 otherwise. When a hop
// through a proxy fails before its request was sent, the client connects to
// the proxy once more by itself to tell 12165 (unreachable) from the rest,
// because Qt reports both alike.
// Events come from the Qt event loop of the creating thread, except that
// Abort raises its OnQueryDone inside the call. Destroying the client while
// it runs raises nothing.

#include <QList>
#include <QSslCertificate>
#include <QUrl>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "net/error_codes.h"
#include "net/proxy_endpoint.h"
#include "net/rdap_proxy.h"
#include "net/whois_cli.h"
#include "rdap/content_coding.h"

class QNetworkAccessManager;
class QNetworkReply;
class QTcpSocket;
class QTimer;

namespace torvane::net {

class TRdapCli {
  public:
    using TQueryEvent = std::function<void(TRdapCli* sender, ErrorCode error)>;

    static constexpr int kMaxRedirects = 5;
    static constexpr std::chrono::milliseconds kDefaultTimeout{30000};

    TRdapCli();
    ~TRdapCli();
    TRdapCli(const TRdapCli&) = delete;
    TRdapCli& operator=(const TRdapCli&) = delete;

    // Starts the request for `url` (UTF-8, e.g.
    // "https://rdap.verisign.com/com/v1/domain/example.com"). Empties Body(),
    // HttpStatus(), RetryAfter(), Truncated(), ContentType(), ContentEncoding(),
    // Fault() and sets FinalUrl() to `url`.
    void StartQuery(const std::string& url);

    // Ends the running request at once: OnQueryDone(10004) inside this call.
    void Abort();

    // True from StartQuery until OnQueryDone is raised.
    bool Busy() const { return busy_; }

    // For the requests started from now on; must be positive.
    void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    std::chrono::milliseconds Timeout() const { return timeout_; }

    // Trusts `certificate` as an authority for the requests of this client,
    // beside the system's (tests of TLS; the environment is never read).
    void AddTrustedCertificate(const QSslCertificate& certificate);

    // Where the proxies of the requests started from now on come from.
    void SetProxySource(RdapProxySource source) { proxy_source_ = std::move(source); }

    // The proxy the last hop went through; nullopt when it went direct.
    const std::optional<ProxyEndpoint>& Proxy() const { return proxy_endpoint_; }

    // The HTTP status of the last response head received; 0 when none.
    int HttpStatus() const { return status_; }
    // The body of the last response, exactly the bytes that arrived (after
    // any content decoding); at most kMaxAnswerSize bytes.
    const std::string& Body() const { return body_; }
    // The URL of the last request sent, after redirects, as the server that
    // redirected named it (before host mapping), fully encoded.
    const std::string& FinalUrl() const { return final_url_; }
    // True when the body was cut off at kMaxAnswerSize.
    bool Truncated() const { return truncated_; }
    // The Content-Type and Content-Encoding header values of the last
    // response head, as sent (empty when absent); untrusted text.
    const std::string& ContentType() const { return content_type_; }
    const std::string& ContentEncoding() const { return content_encoding_; }
    // Why the last request ended with 12175 (kUnknownCoding: ContentEncoding()
    // names a coding the client does not decode); kNone otherwise.
    rdap::CodingFault Fault() const { return fault_; }
    // The Retry-After header of the last response head, as it came (at most
    // kMaxRetryAfterSize bytes of it); empty when it had none.
    const std::string& RetryAfter() const { return retry_after_; }
    static constexpr std::size_t kMaxRetryAfterSize = 128;

    TQueryEvent OnSessionConnected;
    TQueryEvent OnQueryDone;

  private:
    void Send(const QUrl& url);
    void RequestSent();
    bool ReadAvailable();
    bool ReadHead();
    void ReplyFinished();
    void Fail(rdap::CodingFault fault);
    void ProbeProxy(ErrorCode code);
    void CompleteLater(ErrorCode code);
    void Complete(ErrorCode code);
    void DropReply();
    void DropProbe();

    std::unique_ptr<QNetworkAccessManager> manager_;
    std::unique_ptr<QTimer> timer_;
    QNetworkReply* reply_ = nullptr;
    std::unique_ptr<QTcpSocket> probe_;
    QList<QSslCertificate> trusted_;
    RdapProxySource proxy_source_;
    QNetworkProxy proxy_{QNetworkProxy::NoProxy};  // the current hop's
    std::optional<ProxyEndpoint> proxy_endpoint_;
    std::chrono::milliseconds timeout_ = kDefaultTimeout;

    QUrl url_;  // the current hop, before mapping
    std::string body_;
    std::string content_type_;
    std::string content_encoding_;
    // From the current hop's response head on: how its body is decoded;
    // none while no head arrived, and for a followed redirect's body.
    std::optional<rdap::ContentDecoder> decoder_;
    bool head_read_ = false;
    rdap::CodingFault fault_ = rdap::CodingFault::kNone;
    std::string final_url_;
    std::string retry_after_;
    int status_ = 0;
    int redirects_ = 0;
    bool truncated_ = false;
    bool connected_ = false;
    bool busy_ = false;
    // Raised by every StartQuery; lets a handler notice that the owner began
    // a new request while it was running.
    std::uint64_t exchange_ = 0;
};

// Fetches `url` by TRdapCli's rules (for the bootstrap files) and calls
// `done` exactly once: with the body when the answer was HTTP 200 and
// arrived whole, with nullopt otherwise. Keep the returned client alive
// until then; destroying it cancels the fetch without a call.
std::unique_ptr<TRdapCli> FetchBody(const std::string& url,
                                    std::function<void(std::optional<std::string> body)> done);

}  // namespace torvane::net
