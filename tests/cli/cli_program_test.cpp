// torvane-cli as a program: the same report as the window's run for the
// legs' cases, exit statuses, the whole-run timeout, signals, bad input that
// sends nothing, terminal escaping and the history file.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <thread>
#include <tuple>

#include "cli_test_support.h"
#include "query/normalize.h"
#include "query/well_known_servers.h"

namespace torvane::cli::testing {
namespace {

using Lines = std::vector<std::string>;
using testserver::ServerConfig;

const std::string kJprs(query::kJprsServer);
const std::string kJpnic(query::kJpnicServer);
const std::string kApnic(query::kApnicServer);
const std::string kArin(query::kArinServer);
const std::string kRipe(query::kRipeServer);

// A string literal with its zero bytes.
template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

std::string LastLine(const std::string& text) {
    const Lines lines = SplitLines(text);
    return lines.empty() ? std::string() : lines.back();
}

struct LegCase {
    std::string name;
    std::vector<ServerConfig> servers;
    std::string query;
    bool autoCorrect = true;
    std::optional<std::string> manualHost;
    int exitCode = 0;
    std::string finalStatus;
};
// Test logs name a case, rather than dumping its bytes.
void PrintTo(const LegCase& c, std::ostream* out) { *out << c.name; }

std::vector<LegCase> LegCases() {
    return {
        {"JprsHandlesFollowedUpAtJpnic",
         {Server(kJprs, {{"google.co.jp", Fixture("google.co.jp_utf8_2018.txt")}}),
          Server(kJpnic, {{"DL152JP", "a. [JPNICハンドル] DL152JP\n"},
                          {"TW124137JP", "a. [JPNICハンドル] TW124137JP\n"}})},
         "https://www.google.co.jp/search?q=x",
         true,
         {},
         0,
         "完了"},
        {"Iso2022JpAnswerConverted",
         {Server(kJprs, {{"google.co.jp", Fixture("google.co.jp_iso2022jp_2014.txt")}}),
          Server(kJpnic)},
         "google.co.jp",
         true,
         {},
         0,
         "完了"},
        {"WhoisServerReferral",
         {Server("whois.crsnic.net",
                 {{"google.net", Fixture("google.net_2014_whois-server-line.txt")}}),
          Server("whois.markmonitor.com", {{"google.net", "Domain Name: GOOGLE.NET\r\n"}})},
         "google.net",
         true,
         {},
         0,
         "完了"},
        {"ReferralLoopEnds",
         {Server("whois.crsnic.net", {{"loop.net", "Whois Server: whois.b.example\n"}}),
          Server("whois.b.example", {{"loop.net", "Whois Server: whois.crsnic.net\n"}})},
         "loop.net",
         true,
         {},
         0,
         "完了"},
        {"RefusedPrimaryLeg",
         {Refusing(kJprs)},
         "example.jp",
         true,
         {},
         1,
         "WHOISサービスを利用できません"},
        {"AddressRunWithArinReferral",
         {Server(kJpnic, {{"192.0.2.1", "No match!!\n"}}),
          Server(kApnic, {{"192.0.2.1", "% not allocated to APNIC\n"}}),
          Server(kArin, {{"192.0.2.1", Fixture("referral-ripe-port43.txt")}}),
          Server(kRipe, {{"192.0.2.1", "inetnum: 192.0.2.0 - 192.0.2.255\n"}})},
         "192.0.2.1",
         true,
         {},
         0,
         "完了"},
        {"NoAutocorrectSendsTheHostName",
         {Server(kJprs, {{"www.example.jp", "host answer\n"}})},
         "www.example.jp",
         false,
         {},
         0,
         "完了"},
        {"ManualServer",
         {Server("whois.manual.example", {{"example.jp", "manual answer\n"}})},
         "example.jp",
         true,
         "whois.manual.example",
         0,
         "完了"},
        {"WebPageRegistry", {}, "example.co.za", true, {}, 1, "データベースが見つかりません"},
        {"TopLevelDomainWithoutARowIsAskedThroughIana",
         {Server(std::string(query::kIanaServer), {{"example.xyz", "refer:  whois.nic.xyz\n"}}),
          Server("whois.nic.xyz", {{"example.xyz", "xyz answer\n"}})},
         "example.xyz",
         true,
         {},
         0,
         "完了"},
        {"ControlBytesOfAnAnswerPassToAPipe",
         {Server(kJprs, {{"example.jp", Bytes("a\x1b]0;t\x07z\0b\x7f\n")}})},
         "example.jp",
         true,
         {},
         0,
         "完了"},
    };
}

class CliLegs : public ::testing::TestWithParam<LegCase> {};

TEST_P(CliLegs, PrintsTheWindowsReportAndEndsOnItsStatus) {
    const LegCase& c = GetParam();
    std::vector<std::string> arguments;
    if (!c.autoCorrect) arguments.push_back("--no-autocorrect");
    if (c.manualHost) arguments.insert(arguments.end(), {"--server", *c.manualHost});
    arguments.push_back(c.query);

    CliRun cli(c.servers);
    const ChildResult result = cli.Run(arguments);
    const ReferenceResult reference = ReferenceRun(c.servers, c.query, c.autoCorrect, c.manualHost);

    ASSERT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.out, reference.stdoutText);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    if (query::IsIPAddress(c.query)) {
        // An address run asks three registries at once: their statuses interleave as their
        // exchanges happen to end, so only what is shown is compared, not its order.
        const std::vector<std::string> shown = SplitLines(result.err);
        EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end()),
                  std::set<std::string>(reference.statuses.begin(), reference.statuses.end()));
    } else {
        EXPECT_EQ(SplitLines(result.err), reference.statuses);
    }
    EXPECT_EQ(LastLine(result.err), c.finalStatus);
    for (const ServerConfig& config : c.servers)
        EXPECT_EQ(cli.Servers().Queries(config.name), reference.queries.at(config.name))
            << config.name;
}

INSTANTIATE_TEST_SUITE_P(Cli, CliLegs, ::testing::ValuesIn(LegCases()),
                         [](const auto& info) { return info.param.name; });

TEST(Cli, TwoHandlesGiveTwoFollowUpBlocksAfterThePrimaryBlock) {
    CliRun cli({Server(kJprs, {{"google.co.jp", Fixture("google.co.jp_utf8_2018.txt")}}),
                Server(kJpnic, {{"DL152JP", "dl\n"}, {"TW124137JP", "tw\n"}})});
    const ChildResult result = cli.Run({"google.co.jp"});
    const Lines lines = SplitLines(result.out);
    const auto primary = std::find(lines.begin(), lines.end(), "{whois.jprs.jp からの回答}");
    const auto first =
        std::find(lines.begin(), lines.end(), "{whois.nic.ad.jp からの回答 (DL152JP) }");
    const auto second =
        std::find(lines.begin(), lines.end(), "{whois.nic.ad.jp からの回答 (TW124137JP) }");
    ASSERT_NE(second, lines.end()) << result.out;
    EXPECT_LT(primary, first);
    EXPECT_LT(first, second);
    EXPECT_EQ(cli.Servers().Queries(kJpnic), (Lines{"DL152JP\r\n", "TW124137JP\r\n"}));
}

// Real answers in scripts CP932 lacks are printed whole, and a name typed in
// any script reaches each server in the form that server reads: the
// ASCII-compatible form, but CP932 for the .jp registry.
struct ScriptCase {
    std::string name;
    std::string typed;
    std::string server;
    std::string sent;    // what the server receives, without CR LF
    std::string answer;  // served for `sent`
};
void PrintTo(const ScriptCase& c, std::ostream* out) { *out << c.name; }

class CliScripts : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(CliScripts, AnswerShownWholeAndNameSentAsTheServerReadsIt) {
    const ScriptCase& c = GetParam();
    CliRun cli({Server(c.server, {{c.sent, c.answer}}), Server(kJpnic)});
    const ChildResult result = cli.Run({c.typed});
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(cli.Servers().Queries(c.server), Lines{c.sent + "\r\n"});
    EXPECT_NE(result.out.find("         【" + c.typed + " の調査結果】\n"), std::string::npos)
        << result.out;
    // Every line as the server sent it, in order, nothing replaced.
    EXPECT_NE(result.out.find("{" + c.server + " からの回答}\n\n" + c.answer), std::string::npos)
        << result.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliScripts,
    ::testing::Values(
        ScriptCase{"KoreanAnswer", "google.kr", "whois.kr", "google.kr",
                   Fixture("google.kr_utf8_2020.txt")},
        ScriptCase{"ChineseAnswer", "cnnic.cn", "whois.cnnic.cn", "cnnic.cn",
                   Fixture("cnnic.cn_utf8.txt")},
        ScriptCase{"GermanUtf8AnswerForATypedUmlaut", "fäw.de", "whois.denic.de", "xn--fw-via.de",
                   Fixture("xn--fw-via.de_utf8.txt")},
        ScriptCase{"LatinName", "münchen.de", "whois.denic.de", "xn--mnchen-3ya.de",
                   "Domain: münchen.de\n"},
        ScriptCase{"HangulName", "한국.kr", "whois.kr", "xn--3e0b707e.kr", "query : 한국.kr\n"},
        ScriptCase{"GreekName", "ελλάδα.gr", kRipe, "xn--hxakic4aa.gr", "domain: ελλάδα.gr\n"},
        ScriptCase{"JapaneseNameUnderCom", "例え.com", "whois.verisign-grs.com", "xn--r8jz45g.com",
                   "Domain Name: XN--R8JZ45G.COM\n"},
        ScriptCase{"JapaneseNameUnderJpInCp932", "例え.jp", kJprs, "\x97\xe1\x82\xa6.jp",
                   "[ドメイン名]  例え.jp\n"}),
    [](const auto& info) { return info.param.name; });

// Servers known to answer in Latin-1 are read in it: a made-up answer in
// NIC.br's layout (tests/data/encoding/whois/PROVENANCE.md) and a made-up
// Hungarian contact line, each shown with its accents.
TEST(Cli, ALatinOneAnswerOfAServerInTheCodeTableIsShownWhole) {
    const std::string nicbr = ReadFile(std::filesystem::path(TORVANE_TEST_DATA) / "encoding" /
                                       "whois" / "whois.registro.br" /
                                       "exemplo-acao.com.br_latin1_made-up.txt");
    const std::vector<std::tuple<std::string, std::string, std::string, std::string>> cases = {
        {"whois.registro.br", "exemplo-acao.com.br", nicbr,
         "owner:       Associação Brasileira de Exemplos Ltda."},
        {"whois.nic.hu", "example.hu", "person: Bl\xe1thy Ott\xf3\n", "person: Bláthy Ottó"}};
    for (const auto& [server, query, answer, shown] : cases) {
        CliRun cli({Server(server, {{query, answer}})});
        const ChildResult result = cli.Run({query});
        ASSERT_TRUE(result.exited);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_NE(result.out.find("\n" + shown + "\n"), std::string::npos) << result.out;
    }
}

// A name the mapping refuses gets a status that says why, and no server is
// asked.
TEST(Cli, ARefusedNameAsksNoServerAndSaysWhy) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\xf0\x9f\x98\x80.jp", " はドメイン名として使えない文字を含みます"},  // emoji
        {"例え-.jp", " はハイフンの位置がドメイン名の規則に合いません"},
    };
    for (const auto& [typed, why] : cases) {
        CliRun cli({Server(kJprs, {}), Server(kJpnic)});
        const ChildResult result = cli.Run({typed});
        ASSERT_TRUE(result.exited);
        EXPECT_EQ(result.exitCode, 1) << typed;
        EXPECT_EQ(LastLine(result.err), typed + why);
        EXPECT_EQ(result.out, "") << typed;
        EXPECT_EQ(cli.Servers().Connections(kJprs), 0) << typed;
    }
}

TEST(Cli, Cp932OutputIsTheReportsBytes) {
    const std::vector<ServerConfig> servers = {
        Server(kJprs, {{"google.co.jp", Fixture("google.co.jp_utf8_2018.txt")}}), Server(kJpnic)};
    CliRun cli(servers);
    const ChildResult result = cli.Run({"--encoding", "cp932", "google.co.jp"});
    const ReferenceResult reference = ReferenceRun(servers, "google.co.jp", true, {});
    EXPECT_EQ(result.out, Cp932(reference.stdoutText));
    EXPECT_EQ(result.err, Cp932(reference.statuses.empty() ? "" : [&] {
                  std::string all;
                  for (const auto& s : reference.statuses) all += s + "\n";
                  return all;
              }()));
}

TEST(Cli, TimeoutCancelsAHeldRunAndExitsWithCancelled) {
    ServerConfig held = Server(kJprs, {{"example.jp", "partial\n"}});
    held.hold = true;
    CliRun cli({held});
    const auto start = std::chrono::steady_clock::now();
    const ChildResult result = cli.Run({"--timeout", "0.5", "example.jp"});
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(LastLine(result.err), "中止");
    EXPECT_GE(elapsed, std::chrono::milliseconds(450));
    EXPECT_LT(elapsed, std::chrono::seconds(10));
    EXPECT_EQ(SplitLines(result.out).front(), "         【example.jp の調査結果】");
}

ServerConfig RdapService(std::map<std::string, testserver::HttpResponse> responses) {
    ServerConfig config = Server("rdap.registry.test");
    config.http.emplace();
    config.http->responses = std::move(responses);
    return config;
}

std::string RdapAnswer(const std::string& name) {
    std::ifstream file(TORVANE_TEST_DATA "/rdap/answers/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

struct RdapOnlyCase {
    std::vector<std::string> arguments;
    std::vector<std::string> outputFrom;  // the report's lines from the first of these
    int exitCode;
    std::string status;
};

TEST(Cli, RdapAsksOnlyRdapAndRdapJsonPrintsTheAnswers) {
    const std::string registry = RdapAnswer("rdap.verisign.com__domain_google.com_2021.json");
    const std::string registrar = RdapAnswer("rdap.markmonitor.com__domain_google.com_2021.json");
    ServerConfig markmonitor = Server("rdap.markmonitor.com");
    markmonitor.http.emplace();
    markmonitor.http->responses = {{"/rdap/domain/GOOGLE.COM", {200, registrar}}};
    const std::vector<ServerConfig> servers = {
        RdapService({{"/domain/google.com", {200, registry}},
                     {"/ip/192.0.2.1", {200, RdapAnswer("rdap.apnic.net__ip_1.1.1.1_2020.json")}}}),
        markmonitor, Server("whois.verisign-grs.com")};
    auto oneLine = [](std::string text) {
        for (char& c : text)
            if (c == '\r' || c == '\n') c = ' ';
        return text;
    };
    const RdapOnlyCase cases[] = {
        {{"--rdap", "https://www.google.com/"},
         {"         【google.com の調査結果】", "", "{rdap.registry.test からの回答 (RDAP)}", "",
          "Domain Name:      GOOGLE.COM"},
         0,
         "完了"},
        {{"--rdap-json", "google.com"}, {oneLine(registry), oneLine(registrar)}, 0, "完了"},
        {{"--rdap", "192.0.2.1"},
         {"         【192.0.2.1 の調査結果】", "", "{rdap.registry.test からの回答 (RDAP)}"},
         0,
         "完了"},
        {{"--rdap", "example.jp"}, {"         【example.jp の調査結果】", ""}, 1,
         "データベースが見つかりません"},
    };
    for (const RdapOnlyCase& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        CliRun cli(servers);
        const ChildResult result = cli.Run(c.arguments);
        const Lines out = run::testing::WithoutSummary(SplitLines(result.out));
        ASSERT_GE(out.size(), c.outputFrom.size()) << result.err;
        EXPECT_EQ(Lines(out.begin(), out.begin() + c.outputFrom.size()), c.outputFrom);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(LastLine(result.err), c.status);
        EXPECT_TRUE(cli.Servers().Queries("whois.verisign-grs.com").empty());
    }
}

// An RDAP service whose 200 holds no registration data fails the run (exit
// 1); --rdap-json prints no document then, rather than a page or raw bytes.
TEST(Cli, RdapAnswersThatAreNoDataEndWithExitStatus1) {
    const std::vector<ServerConfig> servers = {RdapService(
        {{"/domain/moved.com", {200, "<html><body>Service moved</body></html>\n", "text/html"}},
         {"/domain/bytes.com", {200, std::string("\x1f\x8b\x08\0\0\0\0\0\x02\x03", 10)}}})};
    const struct {
        std::vector<std::string> arguments;
        std::string out;
        std::string status;
    } cases[] = {
        {{"--rdap", "moved.com"},
         "         【moved.com の調査結果】\n\n{rdap.registry.test からの回答 (RDAP)}\n\n"
         "<html><body>Service moved</body></html>\n\n",
         "rdap.registry.test の応答は RDAP のデータではありません (HTML)"},
        {{"--rdap-json", "moved.com"}, "",
         "rdap.registry.test の応答は RDAP のデータではありません (HTML)"},
        {{"--rdap", "bytes.com"},
         "         【bytes.com の調査結果】\n\n{rdap.registry.test からの回答 (RDAP)}\n\n"
         "(バイナリデータのため表示しません: 10 バイト)\n\n",
         "rdap.registry.test の応答は RDAP のデータではありません (バイナリ)"},
        {{"--rdap-json", "bytes.com"}, "",
         "rdap.registry.test の応答は RDAP のデータではありません (バイナリ)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.front() + " " + c.arguments.back());
        CliRun cli(servers);
        const ChildResult result = cli.Run(c.arguments);
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(LastLine(result.err), c.status);
    }
}

struct LimitCase {
    std::string name;
    std::vector<ServerConfig> servers;
    std::vector<std::string> arguments;
    std::vector<std::string> statuses;  // the last status is one of these
    std::string shown;                  // a line of the report
};

// A limit notice is no answer: the status says who refused, the notice is
// in the report, and a script sees exit status 1.
TEST(Cli, ARateLimitExitsWithOneAndSaysWhoRefused) {
    const std::string denic =
        "% Error: 55000000002 Connection refused; access control limit reached.";
    const std::string czNic =
        "Your connection limit exceeded. Please slow down and try again later.";
    const std::string ripe = "%ERROR:201: access denied for 192.0.2.1";
    const std::string ripeLimited = "whois.ripe.net で問い合わせ回数の制限を超えました";
    const LimitCase cases[] = {
        {"DENIC",
         {Answering("whois.denic.de", denic + "\n")},
         {"example.de"},
         {"whois.denic.de で問い合わせ回数の制限を超えました"},
         denic},
        {"CZ.NIC",
         {Answering("whois.nic.cz", czNic + "\n")},
         {"example.cz"},
         {"whois.nic.cz で問い合わせ回数の制限を超えました"},
         czNic},
        {"RIPE after ARIN's referral",
         {Answering(kJpnic, "jpnic\n"), Answering(kApnic, "apnic\n"),
          Answering(kArin, "ReferralServer: whois://whois.ripe.net\n"),
          Answering(kRipe, ripe + "\n")},
         {"192.0.2.1"},
         {ripeLimited, "完了 (" + ripeLimited + ")"},
         ripe},
        {"RDAP's 429",
         {RdapService({{"/domain/google.com",
                        {429,
                         R"({"errorCode":429,"title":"Too Many Requests"})",
                         "application/rdap+json",
                         {{"Retry-After", "30"}}}}})},
         {"--rdap", "google.com"},
         {"rdap.registry.test で問い合わせ回数の制限を超えました (30 秒後に再試行できます)"},
         "Error Code: 429"},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.name);
        CliRun cli(c.servers);
        const ChildResult result = cli.Run(c.arguments);
        ASSERT_TRUE(result.exited);
        EXPECT_EQ(result.exitCode, 1);
        const std::string status = LastLine(result.err);
        EXPECT_NE(std::find(c.statuses.begin(), c.statuses.end(), status), c.statuses.end())
            << status;
        const Lines out = SplitLines(result.out);
        EXPECT_NE(std::find(out.begin(), out.end(), c.shown), out.end()) << result.out;
    }
}

TEST(Cli, TimeoutLeavesAFastRunAlone) {
    CliRun cli({Server(kJprs, {{"example.jp", "answer\n"}})});
    const ChildResult result = cli.Run({"--timeout=30", "example.jp"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(LastLine(result.err), "完了");
}

TEST(Cli, UnusableProxyVariablesAreReportedAndIgnored) {
    CliRun cli({Server(kJprs, {{"example.jp", "answer\n"}})});
    ChildOptions options;
    options.environment = {"https_proxy=https://proxy.example:3128",
                           "TORVANE_WHOIS_PROXY=socks4://gw.example", "all_proxy=socks5://gw:1080"};
    const ChildResult result = cli.Run({"example.jp"}, options);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.err.find("torvane-cli: https_proxy ignored: https:// proxies (TLS to the "
                              "proxy) are not supported\n"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("torvane-cli: TORVANE_WHOIS_PROXY ignored: socks4://"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("all_proxy"), std::string::npos) << result.err;
    EXPECT_EQ(LastLine(result.err), "完了");
}

TEST(Cli, SigtermCancelsTheRunAndPrintsWhatArrived) {
    ServerConfig held = Server(kJprs, {{"example.jp", "partial\n"}});
    held.hold = true;
    CliRun cli({held});
    ChildOptions options;
    options.environment = cli.Environment();
    ChildProcess child({TORVANE_CLI, "example.jp"}, options);
    for (int i = 0; i < 500 && cli.Servers().Queries(kJprs).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(cli.Servers().Queries(kJprs).size(), 1u);
    child.Signal(SIGTERM);
    const ChildResult result = child.Wait();
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 128 + SIGTERM);
    EXPECT_EQ(LastLine(result.err), "中止");
    // The aborted leg's completion belongs to the cancel: no "完了" first.
    const Lines statuses = SplitLines(result.err);
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "完了"), 0) << result.err;
    EXPECT_EQ(SplitLines(result.out).front(), "         【example.jp の調査結果】");
}

struct UsageCase {
    std::string name;
    std::vector<std::string> arguments;
};
void PrintTo(const UsageCase& c, std::ostream* out) { *out << c.name; }

class CliUsage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliUsage, IsRejectedWithStatus2AndNothingIsSent) {
    // Every well-known server is mapped, so any query would be seen here.
    std::vector<ServerConfig> servers;
    for (const std::string& name :
         {kJprs, kJpnic, kApnic, kArin, kRipe, std::string("whois.crsnic.net"),
          std::string("whois.verisign-grs.com")})
        servers.push_back(Server(name, {}));
    CliRun cli(servers);
    const ChildResult result = cli.Run(GetParam().arguments);
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.out.empty()) << result.out;
    EXPECT_EQ(result.err.rfind("torvane-cli: ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find("--help"), std::string::npos);
    for (const ServerConfig& config : servers)
        EXPECT_EQ(cli.Servers().Connections(config.name), 0) << config.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliUsage,
    ::testing::Values(UsageCase{"NoQuery", {}}, UsageCase{"EmptyQuery", {""}},
                      UsageCase{"BlankQuery", {"   "}}, UsageCase{"CrLfInQuery", {"a.jp\r\nb.jp"}},
                      UsageCase{"LfInQuery", {"a.jp\nhelp"}}, UsageCase{"CrInQuery", {"a.jp\r"}},
                      UsageCase{"TabInQuery", {"a\t.jp"}}, UsageCase{"EscInQuery", {"\x1b[2Ja.jp"}},
                      UsageCase{"C1InQuery", {"a\xc2\x9b.jp"}}, UsageCase{"NotUtf8", {"a\xff.jp"}},
                      UsageCase{"TwoQueries", {"a.jp", "b.jp"}},
                      UsageCase{"UnknownOption", {"--verbose", "a.jp"}},
                      UsageCase{"BadEncoding", {"--encoding", "latin1", "a.jp"}},
                      UsageCase{"ZeroTimeout", {"--timeout", "0", "a.jp"}},
                      UsageCase{"NegativeTimeout", {"--timeout=-1", "a.jp"}},
                      UsageCase{"WordTimeout", {"--timeout", "soon", "a.jp"}},
                      UsageCase{"MissingValue", {"a.jp", "--server"}},
                      UsageCase{"EmptyServer", {"--server=", "a.jp"}},
                      UsageCase{"ServerWithLineEnd", {"--server", "whois.x\r\nq", "a.jp"}},
                      UsageCase{"JsonWithRdapJson", {"--json", "--rdap-json", "a.jp"}}),
    [](const auto& info) { return info.param.name; });

TEST(Cli, HelpAndVersionNeedNoQuery) {
    const ChildResult version = RunChild({TORVANE_CLI, "--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "Torvane version 1.0\n");
    const ChildResult help = RunChild({TORVANE_CLI, "--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* topic :
         {"Usage: torvane-cli", "--no-autocorrect", "--server HOST", "--encoding", "--timeout",
          "--raw", "--history", "Exit status", "TORVANE_HOST_MAP", "log.txt", "https_proxy",
          "all_proxy", "TORVANE_WHOIS_PROXY", "no_proxy"})
        EXPECT_NE(help.out.find(topic), std::string::npos) << topic;
}

TEST(Cli, QueryAfterDoubleDashMayStartWithAHyphen) {
    CliRun cli({Server(kJprs, {{"-x.jp", "answer\n"}})});
    const ChildResult result = cli.Run({"--no-autocorrect", "--", "-x.jp"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(cli.Servers().Queries(kJprs), Lines{"-x.jp\r\n"});
}

// On a terminal nothing an answer holds can steer it; with --raw it can.
TEST(Cli, ControlCharactersOfAnAnswerAreEscapedOnATerminal) {
    const std::string hostile = Bytes("x\x1b]0;owned\x07\x1b[2J\0y\x7fz\tw\n");
    // A server whose name holds ESC, reached through the host map.
    const std::vector<ServerConfig> servers = {
        Server(kJprs, {{"example.jp", hostile}, {"evil.jp", "Whois Server: ev\x1bil\n"}}),
        Server("ev\x1bil", {{"evil.jp", "referred\n"}})};
    CliRun cli(servers);
    ChildOptions terminal;
    terminal.terminal = true;
    const ChildResult escaped = cli.Run({"example.jp"}, terminal);
    EXPECT_EQ(escaped.exitCode, 0) << escaped.out;
    EXPECT_EQ(escaped.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(escaped.out.find('\x07'), std::string::npos);
    EXPECT_EQ(escaped.out.find('\0'), std::string::npos);
    EXPECT_NE(escaped.out.find("x^[]0;owned^G^[[2J^@y^?z\tw"), std::string::npos) << escaped.out;

    // A referral host from an answer reaches the status texts on stderr.
    const ChildResult status = cli.Run({"evil.jp"}, terminal);
    EXPECT_EQ(status.out.find('\x1b'), std::string::npos);
    EXPECT_NE(status.out.find("ev^[il"), std::string::npos) << status.out;

    const ChildResult raw = cli.Run({"--raw", "example.jp"}, terminal);
    EXPECT_NE(raw.out.find("x\x1b]0;owned\x07\x1b[2J"), std::string::npos);
}

class CliHistory : public ::testing::Test {
  protected:
    // A copy of the program in a folder of its own, which it can write: the
    // history then lives beside it, as for a portable install.
    CliHistory() : cli_({Server(kJprs, {{"example.jp", "answer\n"}})}) {
        program_ = cli_.Scratch() / "bin" / "torvane-cli";
        std::filesystem::create_directories(program_.parent_path());
        std::filesystem::copy_file(TORVANE_CLI, program_);
        std::filesystem::permissions(program_, std::filesystem::perms::owner_all);
    }
    ChildResult Run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), program_.string());
        ChildOptions options;
        options.environment = cli_.Environment();
        return RunChild(arguments, options);
    }
    std::filesystem::path Log() const { return program_.parent_path() / "log.txt"; }

    CliRun cli_;
    std::filesystem::path program_;
};

TEST_F(CliHistory, IsUntouchedWithoutTheOption) {
    ASSERT_EQ(Run({"example.jp"}).exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(Log()));
    EXPECT_FALSE(std::filesystem::exists(cli_.Scratch() / "home" / "data"));
    // The private history folder is gone too.
    EXPECT_TRUE(std::filesystem::is_empty(cli_.Scratch() / "tmp"));
}

TEST_F(CliHistory, RecordsTheQueryOnTopOfTheExistingItems) {
    { std::ofstream(Log(), std::ios::binary) << "old.jp\r\nexample.jp\r\n"; }
    ASSERT_EQ(Run({"--history", "example.jp"}).exitCode, 0);
    EXPECT_EQ(ReadFile(Log()), "example.jp\r\nold.jp\r\n");
}

}  // namespace
}  // namespace torvane::cli::testing
