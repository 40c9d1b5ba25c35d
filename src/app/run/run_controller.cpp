#include "app/run/run_controller.h"

#include <QTimer>
#include <utility>

#include "app/run/dispatch.h"
#include "app/run/run_texts.h"
#include "net/rdap_cli.h"
#include "puny/server_name.h"
#include "query/ascii_text.h"
#include "query/normalize.h"
#include "query/well_known_servers.h"
#include "unicode/utf8_walk.h"

namespace torvane::run {

namespace {
constexpr const char* kUnknownName = "Unknown";

// The bytes `host` is sent for the query text of a name run: the name in the
// code that server reads. A line that is no name as a whole (auto-correct
// off, a URL typed) goes as typed: CP932 to the two Japanese registries
// when it fits, UTF-8 elsewhere.
std::string QueryFor(const std::string& text, std::string_view host) {
    if (unicode::AsciiRunLength(text, 0) == text.size()) return text;
    const puny::NameReader reader = puny::ReaderOf(host);
    const puny::TypedName name = puny::MapTypedName(text);
    if (!name.Refused()) return puny::NameForServer(name, reader);
    if (reader == puny::NameReader::kCp932) {
        if (std::optional<std::string> cp932 = puny::Cp932Form(text)) return *std::move(cp932);
    }
    return text;
}

}  // namespace

TRunController::TRunController(IRunWindow& window, IResolver& resolver,
                               const query::TServerDirectory& directory,
                               std::filesystem::path historyFile)
    : window_(window),
      resolver_(resolver),
      directory_(directory),
      history_(std::move(historyFile)) {
    for (std::size_t i = 0; i < kLegCount; ++i) {
        const Leg leg = static_cast<Leg>(i);
        clients_[i] = std::make_unique<net::TWhoisCli>();
        clients_[i]->OnSessionConnected = [this, leg](net::TWhoisCli*, net::ErrorCode code) {
            SessionConnected(leg, code);
        };
        clients_[i]->OnQueryDone = [this, leg](net::TWhoisCli*, net::ErrorCode code) {
            QueryDone(leg, code);
        };
    }
}

TRunController::~TRunController() {
    // The clients go first, so that no event reaches a half-destroyed owner.
    for (auto& client : clients_) {
        client->OnSessionConnected = nullptr;
        client->OnQueryDone = nullptr;
        client.reset();
    }
}

void TRunController::LoadHistory() {
    try {
        history_.Load();
    } catch (...) {
        window_.ShowHistory({});
        throw;
    }
    window_.ShowHistory(history_.Items());
}

void TRunController::AppendTitled(const std::string& title, const std::string& line) {
    IReport& report = window_.Report();
    report.Append(title);
    report.Append("");
    report.Append(line);
    report.Append("");
}

bool TRunController::BeginRun(const std::string& typed) {
    if (query::Trim(typed).empty()) {
        window_.FocusQuery();
        return false;
    }
    IReport& report = window_.Report();
    report.BeginUpdate();
    window_.SetRunning(true);
    report.Clear();
    record_.Start(typed);
    status_.clear();
    summaryAt_ = -1;
    summaryCount_ = 0;
    summaryFacts_ = 0;
    limits_.clear();
    rdapCovers_.reset();
    SetStatus(Texts().runStarting);
    return true;
}

void TRunController::HandOver() {
    // The legs begin batches of their own when they connect; a batch left
    // open here would keep the previous run's report on screen until then.
    window_.Report().EndUpdate();
}

void TRunController::QueryButtonClick() {
    StartRun();
    HandOver();
}

void TRunController::StartRun() {
    // What arrived before the click is handled before it, as it would have
    // been without a conversion in the background.
    DrainCompletions(true);
    const RunTexts& text = Texts();
    const std::string typed = window_.QueryText();
    if (!BeginRun(typed)) return;
    IReport& report = window_.Report();
    visitedServers_.clear();
    insertLine_ = 0;
    fallback_ = window_.Fallback();
    rdapName_.clear();
    numberQueries_.clear();
    numberRdap_.reset();
    stalledLeg_.reset();
    rdapShowedData_ = false;
    abandoned_.fill(false);
    // A dispatch still waiting from an earlier run would insert into this
    // run's report; its handles stay queued for this run's dispatch.
    dispatch_.reset();

    start_ = RunStart{typed, typed, false, {}, {}};
    if (fallback_) {
        const query::RecognizedQuery number = query::RecognizeQuery(typed);
        if (number.kind == query::QueryKind::IPv6 || number.kind == query::QueryKind::AsNumber) {
            start_.reset();
            NumberRun(number);
            return;
        }
    }
    if (!query::IsIPAddress(typed)) {
        NamePass();
        return;
    }
    window_.SetCaption(typed + text.captionSuffix);
    record_.name = typed;
    record_.subject = summary::Subject::network;
    report.Append(text.titleOpen + typed + text.titleClose);
    report.Append("");
    SetStatus(text.gettingDns);
    Resolve([this, typed] { return resolver_.LookupHostName(typed); },
            [this](std::optional<std::string> reverse) {
                AddressPassDone(reverse.value_or(kUnknownName));
            });
}

void TRunController::AddressPassDone(const std::string& reverse) {
    const RunTexts& text = Texts();
    RunStart& start = *start_;
    if (reverse == kUnknownName) {
        SetStatus("");
        ChooseServer();
        return;
    }
    window_.SetCaption(start.name + " (" + reverse + ")" + text.captionSuffix);
    record_.dns.reverse = reverse;
    AppendTitled(text.domainTitle, reverse);
    // A reverse name that is itself an address is taken as a name once;
    // asking the resolver again could go on for ever.
    start.name = start.queryText = reverse;
    start.headerWritten = true;
    NamePass();
}

void TRunController::NamePass() {
    RunStart& start = *start_;
    start.name = query::CleanQueryText(start.name);
    const puny::TypedName mapped = puny::MapTypedName(start.name);
    if (mapped.Refused()) {
        RefuseName(mapped.refusal, start.name);
        return;
    }
    start.mapped = mapped.unicode;
    start.ascii = mapped.ascii;
    if (start.headerWritten) {
        NamePassDone();
    } else {
        DnsInformation();
    }
}

void TRunController::NamePassDone() {
    RunStart& start = *start_;
    if (window_.AutoCorrect()) start.queryText = query::CutToRegisteredDomain(start.mapped);
    ChooseServer();
}

void TRunController::RefuseName(puny::NameRefusal refusal, const std::string& name) {
    // Made before the run start goes: `name` may be its own.
    const std::string status = NameRefusalStatus(refusal, name);
    start_.reset();
    SetStatus(status);
    FinishRun();
}

void TRunController::ChooseServer() {
    const RunTexts& text = Texts();
    const RunStart start = *std::exchange(start_, std::nullopt);
    IReport& report = window_.Report();
    using Outcome = query::ServerChoice::Outcome;
    const query::ServerChoice choice = query::SelectWhoisServer(
        directory_, start.queryText, start.name, window_.ManualServer(), window_.ManualHost());
    // Where port 43 gives no registration data, RDAP may: not for a server
    // the user named, nor for an address.
    if (fallback_ && !window_.ManualServer() && choice.outcome != Outcome::Address)
        rdapName_ = start.queryText;
    // The summary stands after the title and the DNS lines, before the
    // first answer.
    summaryAt_ = report.Count();
    if (record_.name.empty()) record_.name = start.name;
    record_.ascii = start.ascii;
    // A reverse name found for a typed address is asked as a name.
    record_.subject = choice.outcome == Outcome::Address ? summary::Subject::network
                                                         : summary::Subject::domain;
    switch (choice.outcome) {
        case Outcome::NoManualServer:
            FinishRun();
            return;
        case Outcome::None:
            if (fallback_) {
                // IANA knows every top-level domain's registry; its answer
                // names the WHOIS server, followed like a referral.
                StartLeg(Leg::Leg1, std::string(query::kIanaServer),
                         QueryFor(start.queryText, query::kIanaServer));
                break;
            }
            SetStatus(text.noDatabase);
            FinishRun();
            return;
        case Outcome::WebPage:
            SetStatus(text.noDatabase);
            report.Append("\"" + start.queryText + "\"" + text.noDatabaseLine);
            report.Append(choice.value + text.seePageLine);
            if (!StartRunRdap()) FinishRun();
            return;
        case Outcome::Server:
            StartLeg(Leg::Leg1, choice.value, QueryFor(start.queryText, choice.value));
            break;
        case Outcome::Address: {
            const std::string line = window_.QueryText();
            StartLeg(Leg::LegX, std::string(query::kJpnicServer), line);
            StartLeg(Leg::Leg6, std::string(query::kApnicServer), line);
            StartLeg(Leg::Leg7, std::string(query::kArinServer), line);
            break;
        }
    }
    RecordHistory();
}

void TRunController::RecordHistory() {
    const std::string current = window_.QueryText();
    if (!current.empty()) {
        history_.Update(current);
        window_.ShowHistory(history_.Items());
    }
}

void TRunController::DnsInformation() {
    const RunTexts& text = Texts();
    const std::string name = start_->name;
    window_.SetCaption(name + text.captionSuffix);
    record_.name = name;
    window_.Report().Append(text.titleOpen + name + text.titleClose);
    window_.Report().Append("");
    SetStatus(text.gettingDns);
    Resolve(
        [this, ascii = start_->ascii] { return resolver_.LookupHostAddress(ascii); },
        [this](std::optional<std::string> address) { ForwardLookupDone(address.value_or("")); });
}

void TRunController::ForwardLookupDone(const std::string& address) {
    if (address.empty()) {
        SetStatus("");
        NamePassDone();
        return;
    }
    const RunTexts& text = Texts();
    window_.SetCaption(start_->name + " (" + address + ")" + text.captionSuffix);
    // What the resolver could not tell is left out; the run goes on.
    Resolve([this, address] { return resolver_.LookupHostName(address); },
            [this, address](std::optional<std::string> reverse) {
                const RunTexts& text = Texts();
                if (reverse) {
                    record_.dns.address = address;
                    if (*reverse != kUnknownName) record_.dns.reverse = *reverse;
                    const std::string reverseText = *reverse == kUnknownName
                                                        ? std::string()
                                                        : text.reverseOpen + *reverse + ")";
                    AppendTitled(text.addressTitle, address + reverseText);
                    if (start_->ascii != start_->name) AppendTitled(text.punyTitle, start_->ascii);
                }
                SetStatus("");
                NamePassDone();
            });
}

void TRunController::Resolve(std::function<std::string()> lookup,
                             std::function<void(std::optional<std::string>)> then) {
    lookup_.Start(std::move(lookup),
                  [this, then = std::move(then)](std::optional<std::string> result) {
                      // The run start goes on from the event loop now: an error ends the
                      // run here, as the window's error handler would.
                      try {
                          window_.Report().BeginUpdate();
                          then(std::move(result));
                          HandOver();
                      } catch (const std::exception& error) {
                          EndRunWithError(error.what());
                      } catch (...) {
                          EndRunWithError("Unknown error.");
                      }
                  });
}

void TRunController::EndRunWithError(const std::string& message) {
    start_.reset();
    try {
        CancelButtonClick();
    } catch (...) {
        // Cancelling is best effort here; the first error is the one to show.
    }
    SetStatus(ErrorStatus(message));
}

void TRunController::StartLeg(Leg leg, const std::string& host, const std::string& query) {
    net::TWhoisCli& client = Client(leg);
    client.Host = host;
    client.Port = 0;
    client.Query = query;
    asked_[Index(leg)].Restart(host);
    referrals_[Index(leg)] = 0;
    referring_[Index(leg)].reset();
    PrepareConnect(leg);
    StartWaiting(Index(leg), WaitingLabel(leg), [&client] { client.StartQuery(); });
    running_[Index(leg)] = true;
    LimitConnect(leg);
}

void TRunController::StartWaiting(std::size_t exchange, const std::string& host,
                                  const std::function<void()>& start) {
    ConnectEnded(exchange);
    waiting_.emplace_back(exchange, host);
    std::vector<std::string> hosts;
    for (const auto& [_, waitingHost] : waiting_) hosts.push_back(waitingHost);
    // Before the start: a completion raised inside it has the last word.
    SetStatus(WaitingStatus(hosts));
    try {
        start();
    } catch (...) {
        ConnectEnded(exchange);
        throw;
    }
}

void TRunController::ConnectEnded(std::size_t exchange) {
    if (exchange < kLegCount && slowTimers_[exchange]) slowTimers_[exchange]->stop();
    std::erase_if(waiting_, [exchange](const auto& entry) { return entry.first == exchange; });
}

void TRunController::CancelButtonClick() {
    DrainCompletions(true);
    dispatch_.reset();
    // A run start waiting for the resolver ends here; its answer is ignored.
    start_.reset();
    lookup_.Drop();
    cancelling_ = true;
    for (Leg leg :
         {Leg::Leg1, Leg::Leg2, Leg::Leg3, Leg::Leg4, Leg::Leg5, Leg::Leg6, Leg::Leg7, Leg::LegX}) {
        try {
            Client(leg).Abort();
        } catch (...) {
            cancelling_ = false;
            throw;
        }
    }
    if (rdap_) rdap_->Abort();
    cancelling_ = false;
    for (const auto& [exchange, _] : std::exchange(waiting_, {})) ConnectEnded(exchange);
    // Handles of a cancelled run are not what the user asked for next; the
    // aborts' completions may just have queued some.
    pendingQueries_.clear();
    SetStatus(Texts().cancelled);
    FinishRun();
}

void TRunController::FinishRun() {
    WriteSummary();
    window_.SetRunning(false);
    window_.Report().EndUpdate();
}

bool TRunController::Idle() const {
    if (dispatch_ || lookup_.Awaited() || rdapRunning_ || !pending_.empty()) return false;
    for (bool running : running_)
        if (running) return false;
    return true;
}

}  // namespace torvane::run
