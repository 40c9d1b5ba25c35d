// The run of an IPv6 address or an AS number: the regional registry that
// IANA's RDAP bootstrap names is asked at port 43 (JPNIC first for APNIC's
// resources, as in an IPv4 run), then its RDAP service.

#include <algorithm>
#include <utility>

#include "app/run/run_controller.h"
#include "app/run/run_texts.h"
#include "query/normalize.h"
#include "query/registries.h"
#include "query/well_known_servers.h"

namespace torvane::run {

namespace {
constexpr const char* kNoReverseName = "Unknown";
}

void TRunController::NumberRun(const query::RecognizedQuery& number) {
    const RunTexts& text = Texts();
    const bool ipv6 = number.kind == query::QueryKind::IPv6;
    const std::string shown = ipv6 ? query::Ipv6DisplayText(*number.ipv6) : number.text;
    window_.SetCaption(shown + text.captionSuffix);
    record_.name = shown;
    record_.subject = ipv6 ? summary::Subject::network : summary::Subject::asNumber;
    window_.Report().Append(text.titleOpen + shown + text.titleClose);
    window_.Report().Append("");
    if (!ipv6) {
        StartNumberLegs(number);
        return;
    }
    // The reverse name is shown as an IPv4 address's is; the registries are
    // asked about the address all the same.
    SetStatus(text.gettingDns);
    Resolve([this, address = number.ipv6->text] { return resolver_.LookupHostName(address); },
            [this, number, shown](std::optional<std::string> reverse) {
                const RunTexts& text = Texts();
                if (reverse && *reverse != kNoReverseName) {
                    window_.SetCaption(shown + " (" + *reverse + ")" + text.captionSuffix);
                    record_.dns.reverse = *reverse;
                    AppendTitled(text.domainTitle, *reverse);
                }
                SetStatus("");
                StartNumberLegs(number);
            });
}

void TRunController::StartNumberLegs(const query::RecognizedQuery& number) {
    summaryAt_ = window_.Report().Count();
    const std::optional<std::string> base = RdapServiceFor(number);
    const std::optional<query::Rir> rir = base ? query::RirFromRdapUrl(*base) : std::nullopt;
    if (!rir) {
        SetStatus(Texts().noDatabase);
        FinishRun();
        return;
    }
    if (*rir == query::Rir::Apnic) StartNumberLeg(Leg::LegX, query::kJpnicServer, number);
    const Leg registry = *rir == query::Rir::Apnic ? Leg::Leg6 : Leg::Leg7;
    StartNumberLeg(registry, query::WhoisServerOf(*rir), number);
    numberRdap_ = NumberRdap{registry, *RdapUrlFor(number)};
    RecordHistory();
}

void TRunController::StartNumberLeg(Leg leg, std::string_view server,
                                    const query::RecognizedQuery& number) {
    const std::string query = query::WhoisQueryFor(server, number);
    numberQueries_.push_back(query);
    StartLeg(leg, std::string(server), query);
}

bool TRunController::AddressQuery(const std::string& query) const {
    return query::IsIPAddress(query) ||
           std::find(numberQueries_.begin(), numberQueries_.end(), query) != numberQueries_.end();
}

bool TRunController::StartNumberRdap(Leg leg, bool afterAnswer) {
    // After the registry's port-43 chain, however it ended.
    if (!numberRdap_ || numberRdap_->after != leg || running_[Index(leg)] || cancelling_) {
        return false;
    }
    const std::string url = std::exchange(numberRdap_, std::nullopt)->url;
    StartRdapLeg(url, afterAnswer);
    return true;
}

}  // namespace torvane::run
