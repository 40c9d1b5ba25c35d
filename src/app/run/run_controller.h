#pragma once
// The run logic: what one press of the run button does, the eight query legs
// and what happens when each connects and completes, cancel, and the common
// end of a run. It reaches the window only through IRunWindow, so the main
// window, the command-line front end and tests all drive the same logic.

#include <array>
#include <chrono>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/run/answer_rules.h"
#include "app/run/async_lookup.h"
#include "app/run/history.h"
#include "app/run/rate_limits.h"
#include "app/run/resolver.h"
#include "app/run/run_record.h"
#include "app/run/run_window.h"
#include "net/whois_cli.h"
#include "puny/typed_name.h"
#include "query/number_resources.h"
#include "query/server_directory.h"
#include "query/text_lines.h"
#include "rdap/body_kind.h"

class QTimer;

namespace torvane::net {
class TRdapCli;
}

namespace torvane::run {

class TRdapDirectory;

// The eight legs. Leg1 asks the first server of a name run; LegX (JPNIC),
// Leg6 (APNIC) and Leg7 (ARIN) the registries of an address run; Leg2-Leg5
// carry the follow-up queries for contact handles.
enum class Leg { Leg1, Leg2, Leg3, Leg4, Leg5, Leg6, Leg7, LegX };
inline constexpr std::size_t kLegCount = 8;

// The most referrals ("Whois Server:", "command line:", "ReferralServer: ")
// one leg follows after the run or the dispatch started it. Servers that
// refer onward to ever new names would otherwise keep a run going for ever;
// past the cap a referral is passed over as one to a server already asked.
inline constexpr int kMaxReferrals = 16;

// With the "IANA・RDAPで補完" switch on, a port-43 server that has not accepted
// the connection within kSlowConnect has the run's RDAP leg started beside
// it (when one is known), and a connect not done within kConnectTimeout ends
// with 10060. With the switch off, a connect waits as long as the system.
inline constexpr std::chrono::milliseconds kSlowConnect{3000};
inline constexpr std::chrono::milliseconds kConnectTimeout{15000};

class TRunController {
  public:
    // `window`, `resolver` and `directory` must outlive the controller.
    // The history starts empty; call LoadHistory.
    TRunController(IRunWindow& window, IResolver& resolver,
                   const query::TServerDirectory& directory, std::filesystem::path historyFile);
    ~TRunController();
    TRunController(const TRunController&) = delete;
    TRunController& operator=(const TRunController&) = delete;

    // Reads the history file and shows its items. Throws with the system's
    // message when the file exists but cannot be read; the list is then empty.
    void LoadHistory();

    // The run start: reads the typed line and runs until the first legs are
    // started (or the run ends without one). The resolver is asked on a
    // thread of its own; the steps after each lookup run from the event loop
    // when it answers, so the run start may end after this returns (Idle()
    // tells). An error in those later steps ends the run with "エラー" and
    // the message, as the window's error handler does.
    void QueryButtonClick();
    // The RDAP-only run (torvane-cli --rdap): the run title, then the RDAP
    // leg for the typed name (cleaned and, with auto-correct, cut to its
    // registered domain), IPv4 or IPv6 address or AS number; no DNS step, no
    // port 43, no history. "データベースが見つかりません" when no RDAP service is known
    // for it.
    void RdapButtonClick();
    // Aborts all eight legs, drops a waiting follow-up dispatch and the
    // handles still queued, shows "中止" and ends the run.
    void CancelButtonClick();
    // The common end of a run: buttons back to idle, repainting resumed,
    // normal pointer.
    void FinishRun();

    // True when no leg is running, no follow-up dispatch is waiting and the
    // run start is not waiting for the resolver: the run and everything it
    // started is over.
    bool Idle() const;

    // The RDAP services; without them (or with the switch off) no RDAP leg
    // runs. `directory` must outlive the controller.
    void SetRdapDirectory(TRdapDirectory* directory) { rdapDirectory_ = directory; }
    // Replaces kSlowConnect and kConnectTimeout for the runs started from
    // now on (tests; both must be positive).
    void SetConnectLimits(std::chrono::milliseconds slowConnect,
                          std::chrono::milliseconds connectTimeout) {
        slowConnect_ = slowConnect;
        connectTimeout_ = connectTimeout;
    }
    // Receives the body of every RDAP answer as it arrives, before it is
    // rendered (torvane-cli --rdap-json).
    std::function<void(const std::string& body)> OnRdapAnswer;
    // The clock the summary counts the days to an expiry by (tests set one).
    std::function<std::chrono::sys_seconds()> Now = [] {
        return std::chrono::time_point_cast<std::chrono::seconds>(
            std::chrono::system_clock::now());
    };
    // What the last run showed, block by block (torvane-cli --json).
    const TRunRecord& Record() const { return record_; }

    net::TWhoisCli& Client(Leg leg) { return *clients_[Index(leg)]; }
    const std::vector<std::string>& PendingQueries() const { return pendingQueries_; }
    const std::vector<std::string>& VisitedServers() const { return visitedServers_; }
    const THistory& History() const { return history_; }
    // Completions that arrived and wait, in order, behind a large answer
    // still being converted.
    std::size_t CompletionsWaiting() const { return pending_.size(); }

  private:
    struct Dispatch;
    // What the run start has worked out so far, kept while it waits for the
    // resolver.
    struct RunStart {
        std::string name;       // the display name (or the typed address), as typed
        std::string queryText;  // what the first server is asked, UTF-8
        bool headerWritten = false;
        std::string mapped;  // the name as puny::MapTypedName maps it
        std::string ascii;   // the name's ASCII-compatible form
    };

    static constexpr std::size_t Index(Leg leg) { return static_cast<std::size_t>(leg); }
    // The RDAP leg among the exchanges that wait for their connection.
    static constexpr std::size_t kRdapExchange = kLegCount;
    void StartLeg(Leg leg, const std::string& host, const std::string& query);
    // Every status text goes through here, so the record knows the status
    // each block ended on.
    void SetStatus(const std::string& text);
    // Where a block's answer came from.
    struct BlockFrom {
        std::string host;
        std::string query;
        summary::Origin origin = summary::Origin::port43;
        // RDAP: the body as received; JSON bodies are recorded.
        const std::string* rdapBody = nullptr;
        bool json = false;
        // Whether the answer's registration facts count: not for IANA's
        // (its dates and organisation are the top-level domain's) nor for a
        // contact handle's (its organisation and dates are the contact's).
        bool facts = true;
        // The status the block's own exchange ended on, when it is not the
        // one shown now (a referring answer shown after the referred server
        // failed).
        std::optional<std::string> status;
    };
    BlockFrom From(Leg leg);
    // Records a block about to be placed at report line `firstLine`.
    void RecordBlock(BlockFrom from, const query::TLines& block, int firstLine);
    // With the switch on: the summary at the head of the report written, or
    // rewritten when the facts grew since.
    void WriteSummary();
    // Starts `exchange` (a leg's client, or the RDAP leg's) by `start` and
    // names `host` among those waiting for their connection until
    // ConnectEnded; nothing is left waiting when `start` throws.
    void StartWaiting(std::size_t exchange, const std::string& host,
                      const std::function<void()>& start);
    void ConnectEnded(std::size_t exchange);
    // `exchange` is started and not yet connected.
    bool Waiting(std::size_t exchange) const;
    // How a port-43 leg's client is to reach Host (slow_connect.cpp): the
    // connect timeout with the switch on, and the proxy the user's
    // environment names for it. Before the exchange starts.
    void PrepareConnect(Leg leg);
    // The server a port-43 leg waits for, as the status names it (with the
    // proxy it goes through).
    std::string WaitingLabel(Leg leg);
    // Arms the slow-connect timer of a port-43 leg whose exchange started.
    void LimitConnect(Leg leg);
    // `leg` has waited kSlowConnect for its server: the RDAP leg that stands
    // for it starts beside it.
    void SlowConnect(Leg leg);
    // After the RDAP leg started beside `stalledLeg_` showed registration
    // data: that leg, still not connected, is given up without a block (the
    // answer of a server that referred it there is shown, as when the
    // referred server fails).
    void AbandonStalledLeg();
    // What every run start does first: false, and the focus in the query
    // box, for a blank line; else the report cleared and the run shown as
    // running with "調査開始．．．".
    bool BeginRun(const std::string& typed);
    // The steps of QueryButtonClick up to where it returns to the event loop.
    void StartRun();
    // The run start hands over to the event loop: what it has written so far
    // is shown now, whatever the legs batch afterwards.
    void HandOver();
    // The steps of the run start, each resumed when the resolver answers.
    void AddressPassDone(const std::string& reverse);
    void NamePass();
    void DnsInformation();
    void ForwardLookupDone(const std::string& address);
    void NamePassDone();
    void ChooseServer();
    // Ends a run start whose name puny::MapTypedName refuses: the status
    // says why, no query is sent and nothing enters the history.
    void RefuseName(puny::NameRefusal refusal, const std::string& name);
    void RecordHistory();
    // IPv6 addresses and AS numbers (number_run.cpp).
    void NumberRun(const query::RecognizedQuery& number);
    void StartNumberLegs(const query::RecognizedQuery& number);
    void StartNumberLeg(Leg leg, std::string_view server, const query::RecognizedQuery& number);
    // Whether a leg's query asks about an address or AS number (an IPv4
    // address, or a number query of this run): its block gets one more
    // empty line, and JPNIC's answer is scanned for handles.
    bool AddressQuery(const std::string& query) const;
    // Starts the RDAP leg of a number run once `leg`, its registry's leg,
    // has ended its chain.
    // `afterAnswer`: that leg's completion showed an answer, so the RDAP
    // request is an optional follow-up.
    bool StartNumberRdap(Leg leg, bool afterAnswer);
    void Resolve(std::function<std::string()> lookup,
                 std::function<void(std::optional<std::string>)> then);
    void EndRunWithError(const std::string& message);
    void AppendTitled(const std::string& title, const std::string& line);

    // Event handlers of the legs.
    void SessionConnected(Leg leg, net::ErrorCode code);
    void QueryDone(Leg leg, net::ErrorCode code);
    // What a completed exchange left: the raw answer, or its lines when they
    // were made on another thread.
    struct CompletedAnswer {
        bool truncated = false;
        std::string raw;
        std::optional<query::TLines> lines;
    };
    struct PendingCompletion {
        Leg leg;
        net::ErrorCode code;
        CompletedAnswer completed;
        std::future<query::TLines> lines;  // valid while converting
    };
    // The lines of an answer from `host`, decoded to UTF-8.
    static query::TLines AnswerLines(std::string raw, std::string host);
    void HandleCompletion(Leg leg, net::ErrorCode code, CompletedAnswer completed);
    // Handles the completions waiting in order, as far as their answers are
    // converted; with `wait`, all of them, waiting for the conversions.
    void DrainCompletions(bool wait);
    // The answer block a referral threw away, kept until the referred server
    // answers: when it fails instead, the block is shown after all.
    struct Referring {
        std::string host;
        query::TLines block;
    };
    void PrimaryDone(Leg leg, query::TLines answer);
    std::optional<ReferralTarget> PrimaryReferral(Leg leg, const query::TLines& block);
    void AppendPrimaryBlock(BlockFrom from, query::TLines block);
    void FollowUpDone(Leg leg, query::TLines answer);
    // The header lines and `answer` of a follow-up leg's block.
    query::TLines FollowUpBlock(Leg leg, query::TLines answer);
    // A leg whose server refused the query for its limit: the status says
    // so, the answer is shown as its leg shows answers, no referral in it
    // is followed and nothing is asked again. The run's RDAP leg takes the
    // place of the name run's first server, the number run's RDAP that of
    // its registry; `referring` is shown first, as for a failed leg.
    void LimitedDone(Leg leg, query::TLines answer, const RateLimitNotice& notice,
                     std::optional<Referring> referring);
    // "完了", or while a limit of this run stands unrecovered,
    // "完了 (" + its status + ")".
    std::string DoneStatus() const;
    void PlaceFollowUpBlock(Leg leg, BlockFrom from, query::TLines block);
    void ApnicDone(query::TLines answer);
    void ArinDone(query::TLines answer);
    void ShowArinBlock(const std::string& host, query::TLines lines);
    void ShowReferringBlock(Leg leg, Referring referring);
    // Whether `leg` may follow one more referral: not while cancelling, and
    // not past kMaxReferrals.
    bool ReferralAllowed(Leg leg) const;
    // Restarts `leg` at `target`, keeping `block` (emptied) as the referring
    // answer. False, and `block` untouched, when no referral is allowed.
    bool FollowReferral(Leg leg, const ReferralTarget& target, query::TLines& block);
    // Appends `header`, an empty line, the lines and, when asked, an empty
    // line after them, in one step.
    void AppendBlock(BlockFrom from, const std::string& header, query::TLines lines,
                     bool trailingEmptyLine);

    // The RDAP leg: one request, then the registrar's answer the registry's
    // points to, once. Started where port 43 gave no registration data; the
    // run's tail waits for it.
    static bool PortFortyThreeFailed(net::ErrorCode code);
    // Starts the run's one RDAP leg for rdapName_; false when there is none
    // to start (no name, no service for it).
    bool StartRunRdap();
    bool StartDomainRdap(const std::string& name);
    // The base URL of the RDAP service for a name, an address or an AS
    // number, and the query URL there, if the bootstrap knows a service.
    std::optional<std::string> RdapServiceFor(const query::RecognizedQuery& query);
    std::optional<std::string> RdapUrlFor(const query::RecognizedQuery& query);
    // `followUp`: an optional request after registration data was shown; its
    // failure ends the run on "完了" and what failed.
    void StartRdapLeg(const std::string& url, bool followUp = false);
    void StartRdapRequest(const std::string& url, bool followUp);
    std::string RdapStatus(net::ErrorCode code, rdap::BodyKind kind) const;
    // The RDAP answer refuses for the service's limit: HTTP 429, or a 200
    // or 4xx error answer whose errorCode is 429.
    bool RdapLimited() const;
    // The status of a limited RDAP answer, with the wait its Retry-After
    // says.
    std::string RdapLimitStatus() const;
    void RdapConnected(net::ErrorCode code);
    void RdapDone(net::ErrorCode code);
    // Shows the body as a block of the report (binary bodies as one line
    // saying so); the registrar's URL an RDAP answer points to.
    std::optional<std::string> AppendRdapBlock(rdap::BodyKind kind);

    // The follow-up dispatch, resumed whenever the leg it waits for ends.
    void StartDispatch(Leg primary);
    void ContinueDispatch();
    // The run's end, once the last leg that may still show data is over: a
    // running RDAP leg ends the run itself.
    void Tail();

    IRunWindow& window_;
    IResolver& resolver_;
    const query::TServerDirectory& directory_;
    THistory history_;

    std::array<std::unique_ptr<net::TWhoisCli>, kLegCount> clients_;
    std::array<TAskedHosts, kLegCount> asked_;
    std::array<bool, kLegCount> running_{};
    std::array<int, kLegCount> referrals_{};  // followed since the leg was started
    std::array<std::optional<Referring>, kLegCount> referring_;

    std::vector<std::string> visitedServers_;
    std::vector<std::string> pendingQueries_;
    int insertLine_ = 0;
    bool legBusy_ = false;
    bool cancelling_ = false;
    // The "IANA・RDAPで補完" box as it stood when the run started.
    bool fallback_ = false;
    std::unique_ptr<Dispatch> dispatch_;
    std::optional<RunStart> start_;
    std::deque<PendingCompletion> pending_;
    std::unique_ptr<QTimer> drainTimer_;
    TRdapDirectory* rdapDirectory_ = nullptr;
    std::unique_ptr<net::TRdapCli> rdap_;
    bool rdapRunning_ = false;
    bool rdapRelatedFollowed_ = false;
    bool rdapFollowUp_ = false;  // of the request running
    std::chrono::milliseconds slowConnect_ = kSlowConnect;
    std::chrono::milliseconds connectTimeout_ = kConnectTimeout;
    std::array<std::unique_ptr<QTimer>, kLegCount> slowTimers_;
    // The port-43 leg the RDAP leg was started beside, in this run.
    std::optional<Leg> stalledLeg_;
    // The RDAP leg of this run has shown registration data (HTTP 200).
    bool rdapShowedData_ = false;
    // Legs given up by AbandonStalledLeg whose completion is still to come.
    std::array<bool, kLegCount> abandoned_{};
    // The exchanges started and not yet connected (Index(leg) or
    // kRdapExchange, with the host each waits for), oldest first.
    std::vector<std::pair<std::size_t, std::string>> waiting_;
    // The name an RDAP leg asks about when port 43 fails in this run; empty
    // when none may (switch off, a manual server, or one RDAP leg started).
    std::string rdapName_;
    // A number run: its port-43 queries, and the RDAP request that follows
    // the registry's leg.
    struct NumberRdap {
        Leg after;
        std::string url;
    };
    std::vector<std::string> numberQueries_;
    std::optional<NumberRdap> numberRdap_;
    // The limits met in this run, oldest first: the exchange (Index(leg) or
    // kRdapExchange) and its status. An exchange is dropped from here when
    // the RDAP leg that took its place brought the data.
    std::vector<std::pair<std::size_t, std::string>> limits_;
    // The limited exchange whose place the running RDAP leg takes.
    std::optional<std::size_t> rdapCovers_;
    // The run's record, the status last shown, and where the summary stands
    // in the report (-1 before the run reaches its first server) with how
    // many lines it has and for which facts it was written.
    TRunRecord record_;
    std::string status_;
    int summaryAt_ = -1;
    int summaryCount_ = 0;
    std::size_t summaryFacts_ = 0;
    // Last: destroyed first, so that no lookup still reaches the resolver or
    // this controller.
    TAsyncLookup lookup_;
};

}  // namespace torvane::run
