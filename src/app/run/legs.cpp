// What the run does when a leg connects and when its exchange is over:
// status texts, answer blocks, referrals, the follow-up dispatch for contact
// handles and the address registries' legs.

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <utility>

#include "app/run/answer_rules.h"
#include "app/run/dispatch.h"
#include "app/run/run_controller.h"
#include "app/run/run_texts.h"
#include "query/ascii_text.h"
#include "query/normalize.h"
#include "query/text_lines.h"
#include "query/well_known_servers.h"
#include "summary/port43_facts.h"

namespace torvane::run {

namespace {

constexpr std::array kFollowUpLegs{Leg::Leg2, Leg::Leg3, Leg::Leg4, Leg::Leg5};

bool IsPrimary(Leg leg) { return leg == Leg::Leg1 || leg == Leg::LegX; }
bool IsFollowUp(Leg leg) { return leg >= Leg::Leg2 && leg <= Leg::Leg5; }

std::string Header(const std::string& host) { return "{" + host + Texts().answerFrom + "}"; }

}  // namespace

void TRunController::SessionConnected(Leg leg, net::ErrorCode code) {
    ConnectEnded(Index(leg));
    if (leg != Leg::Leg2) legBusy_ = true;
    if (code != 0) {
        if (leg != Leg::Leg1) SetStatus(StatusForCode(code));
        return;
    }
    window_.Report().BeginUpdate();
    window_.SetRunning(true);
    const std::string& host = Client(leg).Host;
    SetStatus(host + (IsPrimary(leg) ? "" : " ") + Texts().connecting);
}

void TRunController::HandleCompletion(Leg leg, net::ErrorCode code, CompletedAnswer completed) {
    running_[Index(leg)] = false;
    if (dispatch_ && dispatch_->awaited == leg) dispatch_->awaitedEnded = true;
    const int shownBefore = window_.Report().Count();
    const auto answerShown = [&] { return window_.Report().Count() > shownBefore; };
    try {
        // The answer of the server that referred this leg here; shown only
        // when the referred server fails.
        std::optional<Referring> referring = std::exchange(referring_[Index(leg)], std::nullopt);
        if (code != 0) {
            // IANA is asked only with the switch on, and only with it a
            // connect gives up on its own: such failures say which server
            // failed and how, as the RDAP leg's do.
            const bool namesHost =
                (leg == Leg::Leg1 && fallback_ && SameHost(Client(leg).Host, query::kIanaServer)) ||
                (fallback_ && code == net::kWsaEtimedout);
            const net::TWhoisCli& client = Client(leg);
            const std::optional<std::string> proxyFailure =
                client.ThroughProxy() && client.Proxy
                    ? ProxyFailure(client.Proxy->Display(), client.Host, code)
                    : std::nullopt;
            // Beside a stalled server the RDAP leg that stood for it has
            // the last word once it is over.
            if (stalledLeg_ != leg || rdapRunning_) {
                SetStatus(proxyFailure ? *proxyFailure
                                  : namesHost  ? HostFailure(client.Host, code)
                                               : StatusForCode(code));
            }
            if (referring) ShowReferringBlock(leg, std::move(*referring));
            // A registry or registrar that switched port 43 off: RDAP may
            // have its data, and the run's tail waits for it.
            const bool rdap = (leg == Leg::Leg1 && PortFortyThreeFailed(code) && !cancelling_ &&
                               StartRunRdap()) ||
                              StartNumberRdap(leg, answerShown());
            if (!rdap) Tail();
        } else {
            legBusy_ = false;
            query::TLines answer = completed.lines
                                       ? std::move(*completed.lines)
                                       : AnswerLines(std::move(completed.raw), Client(leg).Host);
            const std::optional<RateLimitNotice> limit = FindRateLimitNotice(answer);
            // An aborted leg's completion is part of the cancel, which says
            // "中止" itself.
            if (!cancelling_ && !limit)
                SetStatus(completed.truncated ? Texts().truncated : DoneStatus());
            if (limit) {
                LimitedDone(leg, std::move(answer), *limit, std::move(referring));
            } else if (IsPrimary(leg)) {
                PrimaryDone(leg, std::move(answer));  // runs the tail itself, after its dispatch
            } else {
                if (IsFollowUp(leg)) FollowUpDone(leg, std::move(answer));
                if (leg == Leg::Leg6) ApnicDone(std::move(answer));
                if (leg == Leg::Leg7) ArinDone(std::move(answer));
                if (!StartNumberRdap(leg, answerShown())) Tail();
            }
        }
    } catch (const std::exception& error) {
        // The rest of this answer is lost, but the run must not stay busy
        // until the user cancels: it ends here and says why.
        SetStatus(ErrorStatus(error.what()));
        Tail();
    }
    if (dispatch_ && !cancelling_) ContinueDispatch();
}

TRunController::BlockFrom TRunController::From(Leg leg) {
    const net::TWhoisCli& client = Client(leg);
    BlockFrom from{client.Host, client.Query};
    from.facts = !IsFollowUp(leg);
    return from;
}

bool TRunController::ReferralAllowed(Leg leg) const {
    return !cancelling_ && referrals_[Index(leg)] < kMaxReferrals;
}

bool TRunController::FollowReferral(Leg leg, const ReferralTarget& target, query::TLines& block) {
    if (!ReferralAllowed(leg)) return false;
    net::TWhoisCli& client = Client(leg);
    ++referrals_[Index(leg)];
    asked_[Index(leg)].Add(target.host);
    // A registry's answer that refers to the registrar is not shown, but its
    // dates and status are the registry's word beside the registrar's. An
    // address registry's that refers onward describes another registry's
    // allocation, not the network asked; IANA's the top-level domain.
    if (fallback_ && leg == Leg::Leg1 && !SameHost(client.Host, query::kIanaServer)) {
        record_.AddUnshownFacts(summary::Source{client.Host, summary::Origin::port43},
                                summary::ReadPort43Facts(block, client.Query));
    }
    referring_[Index(leg)] = Referring{client.Host, std::move(block)};
    block.clear();
    client.Host = target.host;
    // Only today's registries name a port (rwhois on 4321); the classic run
    // always asks the WHOIS port.
    client.Port = fallback_ ? target.port.value_or(0) : 0;
    PrepareConnect(leg);
    StartWaiting(Index(leg), WaitingLabel(leg), [&client] { client.StartQuery(); });
    running_[Index(leg)] = true;
    LimitConnect(leg);
    return true;
}

std::optional<ReferralTarget> TRunController::PrimaryReferral(Leg leg, const query::TLines& block) {
    const net::TWhoisCli& client = Client(leg);
    const TAskedHosts& asked = asked_[Index(leg)];
    // IANA names a top-level domain's server on its own lines (a manual run
    // of IANA's server too).
    if (fallback_ && SameHost(client.Host, query::kIanaServer)) {
        std::optional<ReferralTarget> target = FindIanaReferral(block);
        if (target && asked.Holds(target->host)) target.reset();
        return target;
    }
    return FindWhoisServerReferral(block, client.Host, asked, client.Query);
}

void TRunController::PrimaryDone(Leg leg, query::TLines answer) {
    net::TWhoisCli& client = Client(leg);
    query::TLines block{Header(client.Host), ""};
    block.append(std::move(answer));
    const bool iana = fallback_ && SameHost(client.Host, query::kIanaServer);
    const auto referral = PrimaryReferral(leg, block);
    const bool referred = referral && FollowReferral(leg, *referral, block);

    bool suppressed = false;
    if (client.Host == query::kJprsServer ||
        (AddressQuery(client.Query) && client.Host == query::kJpnicServer)) {
        suppressed = ScanContactHandles(block, leg == Leg::LegX, pendingQueries_).suppressed;
    }
    if (!suppressed) AppendPrimaryBlock(From(leg), std::move(block));
    // IANA named no WHOIS server for the top-level domain: RDAP may know it.
    const bool rdap = iana && !referred && !cancelling_ && StartRunRdap();
    if (!pendingQueries_.empty() && !cancelling_) {
        StartDispatch(leg);
    } else if (!rdap) {
        Tail();
    }
}

void TRunController::AppendPrimaryBlock(BlockFrom from, query::TLines block) {
    IReport& report = window_.Report();
    RecordBlock(std::move(from), block, report.Count());
    block.push_back("");
    report.AppendLines(std::move(block));
    insertLine_ = report.Count() - 1;
}

query::TLines TRunController::FollowUpBlock(Leg leg, query::TLines answer) {
    const net::TWhoisCli& client = Client(leg);
    query::TLines block;
    if (leg != Leg::Leg2) block.push_back("");
    block.push_back("{" + client.Host + Texts().answerFrom + " (" + client.Query + ") }");
    block.push_back("");
    block.append(std::move(answer));
    return block;
}

void TRunController::FollowUpDone(Leg leg, query::TLines answer) {
    net::TWhoisCli& client = Client(leg);
    query::TLines block = FollowUpBlock(leg, std::move(answer));
    if (const auto referral =
            FindWhoisServerReferral(block, client.Host, asked_[Index(leg)], client.Query)) {
        FollowReferral(leg, *referral, block);
    }
    PlaceFollowUpBlock(leg, From(leg), std::move(block));
}

void TRunController::PlaceFollowUpBlock(Leg leg, BlockFrom from, query::TLines block) {
    const net::TWhoisCli& client = Client(leg);
    IReport& report = window_.Report();
    // A follow-up of an earlier run may arrive after a new run has cleared
    // the report: its block is then appended rather than inserted.
    if (insertLine_ != 0 && insertLine_ < report.Count()) {
        // One step, so that a long block before long later blocks costs the
        // lines moved, not their product.
        const int added = static_cast<int>(block.size());
        record_.LinesInserted(insertLine_ + 1, added + 1);
        RecordBlock(std::move(from), block, insertLine_ + 1);
        block.push_back("");
        report.InsertLines(insertLine_ + 1, std::move(block));
        insertLine_ += added;
    } else {
        RecordBlock(std::move(from), block, report.Count());
        report.AppendLines(std::move(block));
    }
    if (leg != Leg::Leg2 && AddressQuery(client.Query)) report.Append("");
}

void TRunController::AppendBlock(BlockFrom from, const std::string& header, query::TLines lines,
                                 bool trailingEmptyLine) {
    query::TLines block{header, ""};
    block.append(std::move(lines));
    RecordBlock(std::move(from), block, window_.Report().Count());
    if (trailingEmptyLine) block.push_back("");
    window_.Report().AppendLines(std::move(block));
}

namespace {

bool Visited(const std::vector<std::string>& visited, const std::string& host) {
    return std::any_of(visited.begin(), visited.end(),
                       [&](const std::string& v) { return SameHost(v, host); });
}

}  // namespace

void TRunController::ApnicDone(query::TLines answer) {
    net::TWhoisCli& client = Client(Leg::Leg6);
    const TAskedHosts& asked = asked_[Index(Leg::Leg6)];
    bool suppressed = Visited(visitedServers_, client.Host);
    for (const std::string_view line : answer) {
        if (HasApnicCommandLine(line)) {
            suppressed = true;
            const std::string server = ApnicCommandLineServer(line);
            if (server == client.Host || server.empty() || asked.Holds(server)) continue;
            if (server != query::kArinServer) {
                if (!ReferralAllowed(Leg::Leg6)) continue;
                visitedServers_.push_back(server);
                query::TLines shownNowhere;  // APNIC hides a block naming a server
                FollowReferral(Leg::Leg6, ReferralTarget{server, std::nullopt}, shownNowhere);
                return;
            }
        }
        if (IsApnicNotAllocated(line)) {
            suppressed = true;
            break;
        }
    }
    if (!suppressed)
        AppendBlock(From(Leg::Leg6), Header(client.Host), std::move(answer),
                    AddressQuery(client.Query));
}

void TRunController::ArinDone(query::TLines answer) {
    net::TWhoisCli& client = Client(Leg::Leg7);
    const TAskedHosts& asked = asked_[Index(Leg::Leg7)];
    for (const std::string_view line : answer) {
        const std::optional<ReferralTarget> target = ArinReferral(line);
        if (!target || target->host == client.Host || target->host == query::kApnicServer ||
            asked.Holds(target->host) || !ReferralAllowed(Leg::Leg7)) {
            continue;
        }
        visitedServers_.push_back(target->host);
        FollowReferral(Leg::Leg7, *target, answer);
        return;  // referred: ARIN's own lines are not shown
    }
    for (const std::string_view line : answer)
        if (IsArinNoMatch(line)) return;
    ShowArinBlock(client.Host, std::move(answer));
}

void TRunController::ShowArinBlock(const std::string& host, query::TLines lines) {
    visitedServers_.push_back(host);
    BlockFrom from = From(Leg::Leg7);
    from.host = host;
    AppendBlock(std::move(from), Header(host), std::move(lines),
                AddressQuery(Client(Leg::Leg7).Query));
}

void TRunController::ShowReferringBlock(Leg leg, Referring referring) {
    // The referring server answered; what failed was the server it named.
    BlockFrom from = From(leg);
    from.host = referring.host;
    from.status = Texts().done;
    if (IsPrimary(leg)) {
        AppendPrimaryBlock(std::move(from), std::move(referring.block));
    } else if (IsFollowUp(leg)) {
        PlaceFollowUpBlock(leg, std::move(from), std::move(referring.block));
    } else if (leg == Leg::Leg7) {
        ShowArinBlock(referring.host, std::move(referring.block));
    }
}

void TRunController::LimitedDone(Leg leg, query::TLines answer, const RateLimitNotice& notice,
                                 std::optional<Referring> referring) {
    const net::TWhoisCli& client = Client(leg);
    const std::string status = RateLimitStatus(client.Host, notice.retryAfterSeconds);
    limits_.emplace_back(Index(leg), status);
    if (!cancelling_) SetStatus(status);
    // The referring server's answer is data; the notice that follows it is
    // not.
    if (referring) ShowReferringBlock(leg, std::move(*referring));
    if (IsPrimary(leg)) {
        query::TLines block{Header(client.Host), ""};
        block.append(std::move(answer));
        AppendPrimaryBlock(From(leg), std::move(block));
    } else if (IsFollowUp(leg)) {
        PlaceFollowUpBlock(leg, From(leg), FollowUpBlock(leg, std::move(answer)));
    } else if (leg == Leg::Leg6) {
        AppendBlock(From(leg), Header(client.Host), std::move(answer),
                    AddressQuery(client.Query));
    } else if (leg == Leg::Leg7) {
        ShowArinBlock(client.Host, std::move(answer));
    }
    // A limited server is not asked again; RDAP may have what it withheld.
    const bool rdap =
        (leg == Leg::Leg1 && !cancelling_ && StartRunRdap()) || StartNumberRdap(leg, false);
    if (rdap) rdapCovers_ = Index(leg);
    if (IsPrimary(leg) && !pendingQueries_.empty() && !cancelling_) {
        StartDispatch(leg);
    } else if (!rdap) {
        Tail();
    }
}

std::string TRunController::DoneStatus() const {
    return limits_.empty() ? Texts().done : DoneExcept(limits_.front().second);
}

void TRunController::StartDispatch(Leg primary) {
    // A dispatch still waiting goes on and takes the new handles too; a new
    // one would start its clients again while their exchanges run.
    if (!dispatch_) {
        dispatch_ = std::make_unique<Dispatch>();
        dispatch_->primary = primary;
    }
    dispatch_->count = dispatch_->started + pendingQueries_.size();
    ContinueDispatch();
}

void TRunController::ContinueDispatch() {
    Dispatch& dispatch = *dispatch_;
    if (dispatch.inProgress) return;
    dispatch.inProgress = true;
    while (dispatch.started < std::min<std::size_t>(dispatch.count, kFollowUpLegs.size()) &&
           !pendingQueries_.empty()) {
        const Leg leg = kFollowUpLegs[dispatch.started];
        const bool anyRunning = std::find(running_.begin(), running_.end(), true) != running_.end();
        // A client still busy with an exchange of an earlier dispatch is
        // never restarted: its answer would be lost.
        if ((legBusy_ && !dispatch.awaitedEnded && anyRunning) || running_[Index(leg)]) {
            dispatch.inProgress = false;
            return;  // resumed when a leg completes
        }
        const std::string handle = pendingQueries_.back();
        pendingQueries_.pop_back();
        if (dispatch.primary == Leg::LegX) window_.Report().Append("");
        dispatch.awaited = leg;
        dispatch.awaitedEnded = false;
        ++dispatch.started;
        try {
            StartLeg(leg, std::string(query::kJpnicServer), handle);
        } catch (...) {
            dispatch_.reset();
            throw;
        }
        legBusy_ = true;
    }
    dispatch_.reset();
    Tail();
}

void TRunController::Tail() {
    if (rdapRunning_) return;
    window_.Report().ScrollToTop();
    FinishRun();
    window_.RunFinished();
}

}  // namespace torvane::run
