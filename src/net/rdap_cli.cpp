#include "net/rdap_cli.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <climits>

#include "net/rdap_target.h"

namespace torvane::net {
namespace {

bool IsRedirectStatus(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Read in pieces of this size, so that a body passing the cap is noticed
// without reading far beyond it.
constexpr qint64 kReadPiece = 64 * 1024;

}  // namespace

TRdapCli::TRdapCli()
    : manager_(std::make_unique<QNetworkAccessManager>()), timer_(std::make_unique<QTimer>()) {
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_.get(), &QTimer::timeout, manager_.get(), [this] {
        if (!busy_) return;
        if (!ReadAvailable()) return;
        Complete(kWsaEtimedout);
    });
}

TRdapCli::~TRdapCli() {
    busy_ = false;
    DropReply();
    DropProbe();
}

void TRdapCli::AddTrustedCertificate(const QSslCertificate& certificate) {
    trusted_.append(certificate);
}

void TRdapCli::StartQuery(const std::string& url) {
    if (busy_) {
        // Marking the old request finished first keeps its end silent.
        busy_ = false;
        DropReply();
    }
    ++exchange_;
    body_.clear();
    content_type_.clear();
    content_encoding_.clear();
    decoder_.reset();
    head_read_ = false;
    fault_ = rdap::CodingFault::kNone;
    final_url_ = url;
    retry_after_.clear();
    status_ = 0;
    redirects_ = 0;
    truncated_ = false;
    connected_ = false;
    proxy_endpoint_.reset();
    busy_ = true;
    timer_->start(
        static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(timeout_.count(), 1, INT_MAX)));
    Send(QUrl(QString::fromStdString(url), QUrl::StrictMode));
}

void TRdapCli::Abort() {
    if (!busy_) return;
    if (!ReadAvailable()) return;
    Complete(kWsaEintr);
}

void TRdapCli::Send(const QUrl& url) {
    url_ = url;
    if (url.isValid()) final_url_ = url.toEncoded().toStdString();
    const WireRequest wire = PlanRequest(url);
    if (wire.error != kNoError) {
        CompleteLater(wire.error);
        return;
    }
    // Set on the manager for every hop, NoProxy included: left at its
    // default, Qt would ask the system itself and could pick http_proxy or
    // HTTP_PROXY, bypassing no_proxy and the never-proxied hosts.
    proxy_ = RdapProxyFor(url, wire.url, proxy_source_);
    proxy_endpoint_ = FromQtProxy(proxy_);
    manager_->setProxy(proxy_);
    QNetworkRequest request(wire.url);
    request.setRawHeader("Accept", "application/rdap+json");
    // Asked for by hand, this also keeps Qt from decoding gzip itself, which
    // it would do without any cap; a server that compresses anyway is
    // decoded here, under the cap.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setRawHeader("User-Agent", "Torvane");
    // Redirects are followed here, so that each hop passes the same rules
    // (https only, the host map, the count).
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    if (!wire.verify_name.isEmpty()) request.setPeerVerifyName(wire.verify_name);
    if (!trusted_.isEmpty()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.addCaCertificates(trusted_);
        request.setSslConfiguration(tls);
    }
    reply_ = manager_->get(request);
    QObject::connect(reply_, &QNetworkReply::requestSent, manager_.get(),
                     [this] { RequestSent(); });
    QObject::connect(reply_, &QNetworkReply::readyRead, manager_.get(),
                     [this] { ReadAvailable(); });
    QObject::connect(reply_, &QNetworkReply::finished, manager_.get(), [this] { ReplyFinished(); });
}

void TRdapCli::RequestSent() {
    if (!busy_ || connected_) return;
    connected_ = true;
    if (OnSessionConnected) {
        TQueryEvent handler = OnSessionConnected;
        handler(this, kNoError);
    }
}

bool TRdapCli::ReadAvailable() {
    if (!reply_) return true;
    if (!ReadHead()) return false;
    while (reply_->bytesAvailable() > 0) {
        const QByteArray chunk = reply_->read(std::min(reply_->bytesAvailable(), kReadPiece));
        if (chunk.isEmpty()) break;
        if (!decoder_) continue;  // no head yet, or a redirect's body
        const rdap::DecodeResult result = decoder_->Feed(
            std::string_view(chunk.constData(), static_cast<std::size_t>(chunk.size())), body_);
        if (result == rdap::DecodeResult::kTooLarge) {
            truncated_ = true;
            Complete(kNoError);
            return false;
        }
        if (result != rdap::DecodeResult::kOk) {
            Fail(rdap::CodingFault::kCorrupt);
            return false;
        }
    }
    return true;
}

bool TRdapCli::ReadHead() {
    const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) return true;
    status_ = status.toInt();
    if (head_read_) return true;
    head_read_ = true;
    content_type_ = reply_->rawHeader("Content-Type").toStdString();
    content_encoding_ = reply_->rawHeader("Content-Encoding").toStdString();
    const QByteArray retryAfter =
        reply_->rawHeader("Retry-After").left(static_cast<qsizetype>(kMaxRetryAfterSize));
    retry_after_.assign(retryAfter.constData(), static_cast<std::size_t>(retryAfter.size()));
    // A redirect that is followed shows nothing of its body.
    if (IsRedirectStatus(status_) && !reply_->rawHeader("Location").isEmpty()) return true;
    const rdap::ContentCoding coding = rdap::ParseContentCoding(content_encoding_);
    if (coding == rdap::ContentCoding::kUnknown) {
        Fail(rdap::CodingFault::kUnknownCoding);
        return false;
    }
    decoder_.emplace(coding, kMaxAnswerSize);
    return true;
}

void TRdapCli::ReplyFinished() {
    if (!busy_ || !reply_) return;
    if (!ReadAvailable()) return;
    const ErrorCode code = CodeFromReplyError(reply_->error());
    if (code != kNoError && proxy_endpoint_ && !connected_ && code != kInetTlsFailure &&
        code != kProxyAuthRequired) {
        ProbeProxy(code);
        return;
    }
    const QByteArray location = reply_->rawHeader("Location");
    if (code != kNoError || !IsRedirectStatus(status_) || location.isEmpty()) {
        if (code == kNoError && decoder_ && decoder_->Finish() == rdap::DecodeResult::kCutOff) {
            Fail(rdap::CodingFault::kCutOff);
            return;
        }
        Complete(code);
        return;
    }
    if (redirects_ == kMaxRedirects) {
        Complete(kInetTooManyRedirects);
        return;
    }
    const RedirectTarget next = FollowRedirect(url_, QString::fromUtf8(location));
    if (next.error != kNoError) {
        Complete(next.error);
        return;
    }
    ++redirects_;
    DropReply();
    body_.clear();
    content_type_.clear();
    content_encoding_.clear();
    retry_after_.clear();
    decoder_.reset();
    head_read_ = false;
    status_ = 0;
    Send(next.url);
}

void TRdapCli::ProbeProxy(ErrorCode code) {
    // Qt reports a proxy that refuses connections and one that refuses the
    // tunnel with the same error (and a proxy whose name is unknown as the
    // server's name being unknown); one connect of our own tells them apart.
    DropReply();
    probe_ = std::make_unique<QTcpSocket>();
    probe_->setProxy(QNetworkProxy::NoProxy);
    auto decide = [this, code](bool reached) {
        if (!busy_) return;
        if (!reached) {
            Complete(kProxyUnreachable);
        } else if (code == kWsaHostNotFound || code == kWsaEconnrefused || code == kWsaEconnreset) {
            // The proxy answered for the server: that one is unknown, refused
            // or closed the tunnel.
            Complete(code);
        } else {
            Complete(kProxyRefused);
        }
    };
    QObject::connect(probe_.get(), &QTcpSocket::connected, manager_.get(),
                     [decide] { decide(true); });
    QObject::connect(probe_.get(), &QAbstractSocket::errorOccurred, manager_.get(),
                     [decide] { decide(false); });
    probe_->connectToHost(proxy_.hostName(), proxy_.port());
}

void TRdapCli::DropProbe() {
    if (!probe_) return;
    QTcpSocket* probe = probe_.release();
    QObject::disconnect(probe, nullptr, manager_.get(), nullptr);
    probe->abort();
    // Possibly inside one of its own signals.
    probe->deleteLater();
}

void TRdapCli::CompleteLater(ErrorCode code) {
    // Never inside StartQuery: the owner is not ready for its completion yet.
    QTimer::singleShot(0, manager_.get(), [this, code, exchange = exchange_] {
        if (busy_ && exchange == exchange_) Complete(code);
    });
}

void TRdapCli::Fail(rdap::CodingFault fault) {
    fault_ = fault;
    Complete(kInetDecodingFailed);
}

void TRdapCli::Complete(ErrorCode code) {
    busy_ = false;
    timer_->stop();
    DropReply();
    DropProbe();
    if (OnQueryDone) {
        // The handler may start the next request or destroy this client;
        // nothing of this one is touched afterwards.
        TQueryEvent handler = OnQueryDone;
        handler(this, code);
    }
}

void TRdapCli::DropReply() {
    if (!reply_) return;
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    QObject::disconnect(reply, nullptr, manager_.get(), nullptr);
    reply->abort();
    reply->deleteLater();
}

std::unique_ptr<TRdapCli> FetchBody(const std::string& url,
                                    std::function<void(std::optional<std::string> body)> done) {
    auto client = std::make_unique<TRdapCli>();
    client->OnQueryDone = [done = std::move(done)](TRdapCli* sender, ErrorCode code) {
        const bool whole = code == kNoError && sender->HttpStatus() == 200 && !sender->Truncated();
        done(whole ? std::optional<std::string>(sender->Body()) : std::nullopt);
    };
    client->StartQuery(url);
    return client;
}

}  // namespace torvane::net
