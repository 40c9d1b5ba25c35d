// The RDAP leg: registration data from a registry's RDAP service where port
// 43 gave none, and the registrar's answer the registry points to.

#include <QDateTime>
#include <QUrl>
#include <utility>

#include "app/run/rdap_directory.h"
#include "app/run/run_controller.h"
#include "app/run/run_texts.h"
#include "encoding/answer_utf8.h"
#include "net/rdap_cli.h"
#include "puny/typed_name.h"
#include "query/ascii_text.h"
#include "query/normalize.h"
#include "query/text_lines.h"
#include "rdap/addresses.h"
#include "rdap/body_kind.h"
#include "rdap/bootstrap.h"
#include "rdap/content_coding.h"
#include "rdap/render.h"

namespace torvane::run {

namespace {

std::string HostOf(const std::string& url) {
    return QUrl(QString::fromStdString(url)).host().toStdString();
}

}  // namespace

bool TRunController::PortFortyThreeFailed(net::ErrorCode code) {
    // Refused, timed out, no such host, reset: a service that is gone, not a
    // slow answer or a cancel.
    // Through a proxy that will not carry port 43 the same holds: RDAP may
    // take another way (https_proxy).
    return code == 10061 || code == 10060 || code == 11001 || code == 10054 ||
           code == net::kProxyUnreachable || code == net::kProxyRefused ||
           code == net::kProxyAuthRequired || code == net::kProxyBadReply;
}

bool TRunController::StartRunRdap() {
    return StartDomainRdap(std::exchange(rdapName_, std::string()));
}

bool TRunController::StartDomainRdap(const std::string& name) {
    const std::optional<std::string> url =
        RdapUrlFor(query::RecognizedQuery{query::QueryKind::Name, name, std::nullopt, 0});
    if (url) StartRdapLeg(*url);
    return url.has_value();
}

namespace {

// Every RDAP path reads the ASCII-compatible form; a refused name has none.
std::string AsciiName(const query::RecognizedQuery& name) {
    return query::ToLowerAscii(puny::MapTypedName(name.text).ascii);
}

}  // namespace

std::optional<std::string> TRunController::RdapServiceFor(const query::RecognizedQuery& query) {
    const rdap::Bootstrap* bootstrap = rdapDirectory_ ? rdapDirectory_->Bootstrap() : nullptr;
    if (bootstrap == nullptr || query.text.empty()) return std::nullopt;
    switch (query.kind) {
        case query::QueryKind::IPv4: {
            const std::optional<std::uint32_t> address = rdap::ParseIpv4(query.text);
            return address ? bootstrap->ServiceForIpv4(*address) : std::nullopt;
        }
        case query::QueryKind::IPv6:
            return bootstrap->ServiceForIpv6(query.ipv6->bytes);
        case query::QueryKind::AsNumber:
            return bootstrap->ServiceForAutnum(query.asNumber);
        case query::QueryKind::Name:
            break;
    }
    return bootstrap->ServiceForDomain(AsciiName(query));
}

std::optional<std::string> TRunController::RdapUrlFor(const query::RecognizedQuery& query) {
    const std::optional<std::string> base = RdapServiceFor(query);
    if (!base) return std::nullopt;
    switch (query.kind) {
        case query::QueryKind::IPv4:
            return rdap::Ipv4QueryUrl(*base, *rdap::ParseIpv4(query.text));
        case query::QueryKind::IPv6:
            return rdap::Ipv6QueryUrl(*base, query.ipv6->bytes);
        case query::QueryKind::AsNumber:
            return rdap::AutnumQueryUrl(*base, query.asNumber);
        case query::QueryKind::Name:
            break;
    }
    return rdap::DomainQueryUrl(*base, AsciiName(query));
}

void TRunController::RdapButtonClick() {
    const RunTexts& text = Texts();
    const std::string typed = window_.QueryText();
    if (!BeginRun(typed)) return;
    IReport& report = window_.Report();
    // Only the summary reads the switch here: this run is RDAP's anyway.
    fallback_ = window_.Fallback();
    query::RecognizedQuery recognized = query::RecognizeQuery(typed);
    std::string shown = recognized.text;
    if (recognized.kind == query::QueryKind::IPv4) {
        shown = recognized.text = typed;
    } else if (recognized.kind == query::QueryKind::IPv6) {
        shown = query::Ipv6DisplayText(*recognized.ipv6);
    } else if (recognized.kind == query::QueryKind::Name) {
        const puny::TypedName mapped = puny::MapTypedName(recognized.text);
        if (mapped.Refused()) {
            SetStatus(NameRefusalStatus(mapped.refusal, recognized.text));
            FinishRun();
            return;
        }
        if (window_.AutoCorrect())
            shown = recognized.text = query::CutToRegisteredDomain(mapped.unicode);
    }
    window_.SetCaption(shown + text.captionSuffix);
    record_.name = shown;
    record_.subject = recognized.kind == query::QueryKind::AsNumber ? summary::Subject::asNumber
                      : recognized.kind == query::QueryKind::Name   ? summary::Subject::domain
                                                                    : summary::Subject::network;
    report.Append(text.titleOpen + shown + text.titleClose);
    report.Append("");
    summaryAt_ = report.Count();
    const std::optional<std::string> url = RdapUrlFor(recognized);
    if (url) {
        StartRdapLeg(*url);
        HandOver();
    } else {
        SetStatus(text.noDatabase);
        FinishRun();
    }
}

void TRunController::StartRdapLeg(const std::string& url, bool followUp) {
    rdapRelatedFollowed_ = false;
    StartRdapRequest(url, followUp);
}

void TRunController::StartRdapRequest(const std::string& url, bool followUp) {
    if (!rdap_) {
        rdap_ = std::make_unique<net::TRdapCli>();
        rdap_->OnSessionConnected = [this](net::TRdapCli*, net::ErrorCode code) {
            RdapConnected(code);
        };
        rdap_->OnQueryDone = [this](net::TRdapCli*, net::ErrorCode code) { RdapDone(code); };
    }
    rdapRunning_ = true;
    rdapFollowUp_ = followUp;
    StartWaiting(kRdapExchange, HostOf(url), [this, &url] { rdap_->StartQuery(url); });
}

void TRunController::RdapConnected(net::ErrorCode code) {
    ConnectEnded(kRdapExchange);
    if (code != 0) return;
    window_.Report().BeginUpdate();
    window_.SetRunning(true);
    SetStatus(HostOf(rdap_->FinalUrl()) + Texts().connecting);
}

bool TRunController::RdapLimited() const {
    const int status = rdap_->HttpStatus();
    if (status == 429) return true;
    return (status == 200 || (status >= 400 && status < 500)) &&
           rdap::RdapErrorCode(rdap_->Body()) == 429;
}

std::string TRunController::RdapLimitStatus() const {
    const std::int64_t now = QDateTime::currentSecsSinceEpoch();
    return RateLimitStatus(HostOf(rdap_->FinalUrl()), ParseRetryAfter(rdap_->RetryAfter(), now));
}

std::string TRunController::RdapStatus(net::ErrorCode code, rdap::BodyKind kind) const {
    const RunTexts& text = Texts();
    const net::TRdapCli& client = *rdap_;
    const int status = client.HttpStatus();
    if (code == 0 && RdapLimited())
        return rdapFollowUp_ ? DoneExcept(RdapLimitStatus()) : RdapLimitStatus();
    if (code == 0 && status == 200 && client.Truncated()) return text.truncated;
    if (code == 0 && status == 200 && kind == rdap::BodyKind::kRdap) return DoneStatus();
    // A registry without the name says so as the classic run does.
    if (code == 0 && status == 404 && !rdapFollowUp_) return text.noDatabase;
    const std::string host = HostOf(client.FinalUrl());
    std::string failure;
    if (code == net::kInetDecodingFailed) {
        failure = CodingFailure(host, client.Fault(), rdap::CodingLabel(client.ContentEncoding()));
    } else if (code != 0) {
        const std::optional<std::string> proxyFailure =
            client.Proxy() ? ProxyFailure(client.Proxy()->Display(), host, code) : std::nullopt;
        failure = proxyFailure ? *proxyFailure : HostFailure(host, code);
    } else if (status == 200) {
        // A page saying "moved", a cut-off document: an answer, but no data.
        failure = NotRdapFailure(host, kind);
    } else {
        failure = HttpFailure(host, status);
    }
    // The data already shown stands; what failed after it is told beside it.
    return rdapFollowUp_ ? DoneExcept(failure) : failure;
}

void TRunController::RdapDone(net::ErrorCode code) {
    const net::TRdapCli& client = *rdap_;
    ConnectEnded(kRdapExchange);
    rdapRunning_ = false;
    const int status = client.HttpStatus();
    const rdap::BodyKind kind = rdap::ClassifyBody(client.Body(), client.ContentType());
    const bool limited = code == 0 && RdapLimited();
    // The registry's answer brings what the limited leg it stands in for
    // withheld.
    if (code == 0 && status == 200 && kind == rdap::BodyKind::kRdap && !limited &&
        !rdapFollowUp_ && rdapCovers_) {
        std::erase_if(limits_, [&](const auto& limit) { return limit.first == *rdapCovers_; });
    }
    rdapCovers_.reset();
    // The cancel says "中止" itself.
    if (!cancelling_) SetStatus(RdapStatus(code, kind));
    if (limited) limits_.emplace_back(kRdapExchange, RdapLimitStatus());
    std::optional<std::string> related;
    try {
        // Whoever reads these expects JSON documents (--rdap-json pipes them
        // to a JSON tool); a page or raw bytes would only break it.
        const bool json = kind == rdap::BodyKind::kRdap || kind == rdap::BodyKind::kOtherJson;
        if (OnRdapAnswer && json) OnRdapAnswer(client.Body());
        // A 404 says all there is to say; anything else shows what arrived.
        if (status != 404 && !client.Body().empty()) related = AppendRdapBlock(kind);
    } catch (const std::exception& error) {
        SetStatus(ErrorStatus(error.what()));
    }
    if (code == 0 && status == 200 && kind == rdap::BodyKind::kRdap && !limited && related &&
        !rdapRelatedFollowed_ && !cancelling_) {
        rdapRelatedFollowed_ = true;
        StartRdapRequest(*related, true);
        return;
    }
    if (rdapDirectory_) rdapDirectory_->RefreshIfDue();
    if (!cancelling_) AbandonStalledLeg();
    Tail();
}

std::optional<std::string> TRunController::AppendRdapBlock(rdap::BodyKind kind) {
    const net::TRdapCli& client = *rdap_;
    std::optional<rdap::RdapRendering> rendering;
    if (kind == rdap::BodyKind::kRdap) rendering = rdap::RenderRdap(client.Body());
    const std::string host = HostOf(client.FinalUrl());
    query::TLines lines;
    if (rendering) {
        lines = query::TLines(rendering->lines);
    } else if (kind == rdap::BodyKind::kBinary) {
        // Raw bytes would be screens of garbage, terminal controls included.
        lines = query::TLines(std::vector<std::string>{BinaryNotShownLine(client.Body().size())});
    } else {
        // Not RDAP (an HTML page, a cut-off document): the text as it came.
        lines = query::TLines::FromText(encoding::DecodeAnswer(client.Body(), host));
    }
    const bool json = kind == rdap::BodyKind::kRdap || kind == rdap::BodyKind::kOtherJson;
    AppendBlock(BlockFrom{host, client.FinalUrl(), summary::Origin::rdap, &client.Body(), json},
                "{" + host + Texts().answerFrom + Texts().rdapTag + "}", std::move(lines), true);
    if (rendering && client.HttpStatus() == 200) rdapShowedData_ = true;
    return rendering ? rendering->relatedUrl : std::nullopt;
}

}  // namespace torvane::run
