#include "app/run/run_controller.h"

#include "app/run/dispatch.h"
#include "app/run/run_texts.h"
#include "puny/puny.h"
#include "query/cp932_text.h"
#include "query/normalize.h"
#include "query/well_known_servers.h"

namespace torvane::run {

namespace {
constexpr const char* kUnknownName = "Unknown";
}

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

void TRunController::QueryButtonClick() {
    const RunTexts& text = Texts();
    const std::string typed = window_.QueryText();
    if (query::Trim(typed).empty()) {
        window_.FocusQuery();
        return;
    }
    IReport& report = window_.Report();
    report.BeginUpdate();
    window_.SetRunning(true);
    report.Clear();
    window_.SetStatus(text.runStarting);
    visitedServers_.clear();
    insertLine_ = 0;
    // A dispatch still waiting from an earlier run would insert into this
    // run's report; its handles stay queued for this run's dispatch.
    dispatch_.reset();

    std::string name = typed;
    std::string queryText = typed;
    bool headerWritten = false;
    bool nameKnown = true;
    if (query::IsIPAddress(name)) {
        window_.SetCaption(name + text.captionSuffix);
        report.Append(text.titleOpen + name + text.titleClose);
        report.Append("");
        window_.SetStatus(text.gettingDns);
        const std::string reverse = resolver_.LookupHostName(name);
        if (reverse == kUnknownName) {
            window_.SetStatus("");
            nameKnown = false;
        } else {
            window_.SetCaption(name + " (" + reverse + ")" + text.captionSuffix);
            AppendTitled(text.domainTitle, reverse);
            // A reverse name that is itself an address is taken as a name
            // once; asking the resolver again could go on for ever.
            name = queryText = reverse;
            headerWritten = true;
        }
    }
    if (nameKnown) {
        name = query::CleanQueryText(name);
        if (!headerWritten) DnsInformation(name);
        if (window_.AutoCorrect()) queryText = query::CutToRegisteredDomain(name);
    }

    using Outcome = query::ServerChoice::Outcome;
    const query::ServerChoice choice = query::SelectWhoisServer(
        directory_, queryText, name, window_.ManualServer(), window_.ManualHost());
    switch (choice.outcome) {
        case Outcome::NoManualServer:
            FinishRun();
            return;
        case Outcome::None:
            window_.SetStatus(text.noDatabase);
            FinishRun();
            return;
        case Outcome::WebPage:
            window_.SetStatus(text.noDatabase);
            report.Append("\"" + queryText + "\"" + text.noDatabaseLine);
            report.Append(choice.value + text.seePageLine);
            FinishRun();
            return;
        case Outcome::Server:
            StartLeg(Leg::Leg1, choice.value, queryText);
            break;
        case Outcome::Address: {
            const std::string line = window_.QueryText();
            StartLeg(Leg::LegX, std::string(query::kJpnicServer), line);
            StartLeg(Leg::Leg6, std::string(query::kApnicServer), line);
            StartLeg(Leg::Leg7, std::string(query::kArinServer), line);
            break;
        }
    }
    const std::string current = window_.QueryText();
    if (!current.empty()) {
        history_.Update(current);
        window_.ShowHistory(history_.Items());
    }
}

void TRunController::DnsInformation(const std::string& name) {
    const RunTexts& text = Texts();
    window_.SetCaption(name + text.captionSuffix);
    window_.Report().Append(text.titleOpen + name + text.titleClose);
    window_.Report().Append("");
    window_.SetStatus(text.gettingDns);
    const std::string ascii = puny::DomainToAscii(name);
    const std::string address = resolver_.LookupHostAddress(ascii);
    if (!address.empty()) {
        // What the resolver could not tell is left out; the run goes on.
        try {
            window_.SetCaption(name + " (" + address + ")" + text.captionSuffix);
            const std::string reverse = resolver_.LookupHostName(address);
            const std::string reverseText =
                reverse == kUnknownName ? std::string() : text.reverseOpen + reverse + ")";
            AppendTitled(text.addressTitle, address + reverseText);
            if (ascii != name) AppendTitled(text.punyTitle, ascii);
        } catch (const std::exception&) {
        }
    }
    window_.SetStatus("");
}

void TRunController::StartLeg(Leg leg, const std::string& host, const std::string& query) {
    net::TWhoisCli& client = Client(leg);
    client.Host = host;
    client.Query = query;
    asked_[Index(leg)].Restart(host);
    referrals_[Index(leg)] = 0;
    client.StartQuery();
    running_[Index(leg)] = true;
}

void TRunController::CancelButtonClick() {
    dispatch_.reset();
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
    cancelling_ = false;
    // Handles of a cancelled run are not what the user asked for next; the
    // aborts' completions may just have queued some.
    pendingQueries_.clear();
    window_.SetStatus(Texts().cancelled);
    FinishRun();
}

void TRunController::FinishRun() {
    window_.SetRunning(false);
    window_.Report().EndUpdate();
}

bool TRunController::Idle() const {
    if (dispatch_) return false;
    for (bool running : running_)
        if (running) return false;
    return true;
}

}  // namespace torvane::run
