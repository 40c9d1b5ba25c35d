// The RDAP leg of a name run, on loopback HTTP servers that stand in for the
// registries' RDAP services of the shipped bootstrap, with real answers.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimeZone>

#include "app/run/rdap_directory.h"
#include "run_test_support.h"

namespace torvane::run {
namespace {

using namespace testing;
const std::string kVerisign = "whois.verisign-grs.com";
const std::string kIana(query::kIanaServer);

testserver::ServerConfig Rdap(std::string name,
                              std::map<std::string, testserver::HttpResponse> responses) {
    testserver::ServerConfig config = Server(std::move(name));
    config.http.emplace();
    config.http->responses = std::move(responses);
    return config;
}

testserver::HttpResponse Answer(const std::string& file) { return {200, ReadTestData(file)}; }

// A run harness whose controller knows the shipped RDAP services.
struct RdapRun {
    explicit RdapRun(std::vector<testserver::ServerConfig> servers) : run(std::move(servers)) {
        run.controller->SetRdapDirectory(&directory);
        run.window.fallback = true;
    }
    // The block that follows `header` (UTF-8), up to its closing empty line.
    Lines Block(const std::string& header) const {
        const Lines lines = run.window.Lines();
        auto at = std::find(lines.begin(), lines.end(), header);
        if (at == lines.end()) return {};
        return Lines(at, std::find(at + 2, lines.end(), ""));
    }
    RunHarness run;
    TRdapDirectory directory{TORVANE_RDAP_SNAPSHOT, {}, false};
};

const std::string kVerisignRdap = "{rdap.verisign.com からの回答 (RDAP)}";
const std::string kMarkmonitorRdap = "{rdap.markmonitor.com からの回答 (RDAP)}";
const std::string kGoogleAtVerisign = "/com/v1/domain/google.com";
const std::string kGoogleAtMarkmonitor = "/rdap/domain/GOOGLE.COM";

TEST(RdapRun, ARefusedComRegistryIsAnsweredByRdapAndItsPointerToTheRegistrar) {
    RdapRun rdap(
        {Refusing(kVerisign),
         Rdap("rdap.verisign.com",
              {{"/com/v1/domain/google.com",
                Answer("rdap/answers/rdap.verisign.com__domain_google.com_2021.json")}}),
         Rdap("rdap.markmonitor.com",
              {{"/rdap/domain/GOOGLE.COM",
                Answer("rdap/answers/rdap.markmonitor.com__domain_google.com_2021.json")}})});
    ASSERT_TRUE(rdap.run.Run("google.com"));
    const Lines lines = WithoutSummary(rdap.run.window.Lines());
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[2], kVerisignRdap);
    EXPECT_EQ(lines[4], "Domain Name:      GOOGLE.COM");
    const Lines registrar = rdap.Block(kMarkmonitorRdap);
    ASSERT_GE(registrar.size(), 3u);
    EXPECT_EQ(registrar[2], "Domain Name:      google.com");
    EXPECT_EQ(lines.back(), "");
    EXPECT_EQ(rdap.run.window.Status(), "完了");
    const auto requests = rdap.run.Servers().HttpRequests("rdap.verisign.com");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].headers.at("accept"), "application/rdap+json");
    EXPECT_EQ(requests[0].headers.at("accept-encoding"), "identity");
}

TEST(RdapRun, ARegistryThatCompressesUnaskedIsDecodedAndItsPointerFollowed) {
    testserver::HttpResponse gzip =
        Answer("rdap/coded/rdap.verisign.com__domain_google.com_2021.json.gz");
    gzip.headers = {{"Content-Encoding", "gzip"}};
    testserver::HttpResponse deflate =
        Answer("rdap/coded/rdap.verisign.com__domain_google.com_2021.json.deflate");
    deflate.headers = {{"Content-Encoding", "deflate"}};
    // The registrar's service here answers like the registry's (deflated):
    // what matters is that both are decoded and rendered.
    RdapRun rdap({Refusing(kVerisign), Rdap("rdap.verisign.com", {{kGoogleAtVerisign, gzip}}),
                  Rdap("rdap.markmonitor.com", {{kGoogleAtMarkmonitor, deflate}})});
    ASSERT_TRUE(rdap.run.Run("google.com"));
    EXPECT_EQ(rdap.Block(kVerisignRdap).at(2), "Domain Name:      GOOGLE.COM");
    EXPECT_EQ(rdap.Block(kMarkmonitorRdap).at(2), "Domain Name:      GOOGLE.COM");
    EXPECT_EQ(rdap.run.window.Status(), "完了");
}

TEST(RdapRun, ATopLevelDomainWithoutAWhoisServerIsAnsweredByRdap) {
    RdapRun rdap({Server(kIana, {{"home.moscow",
                                  ReadTestData("app/whois.iana.org/home.moscow_made-up.txt")}}),
                  Rdap("rdap.flexireg.net",
                       {{"/domain/home.moscow",
                         Answer("app/rdap/flexireg.net__domain_home.moscow_2024.json")}})});
    ASSERT_TRUE(rdap.run.Run("home.moscow"));
    EXPECT_EQ(rdap.Block("{whois.iana.org からの回答}").at(2), "% IANA WHOIS server");
    const Lines block = rdap.Block("{rdap.flexireg.net からの回答 (RDAP)}");
    ASSERT_GE(block.size(), 3u);
    EXPECT_EQ(block[2], "Domain Name:      home.moscow");
    EXPECT_EQ(rdap.run.window.Status(), "完了");
}

struct RdapCase {
    std::string name;
    bool fallback;
    std::map<std::string, testserver::HttpResponse> responses;  // of rdap.verisign.com
    std::string status;
    std::string shownHeader;  // empty: no RDAP block
    int requests;
};

TEST(RdapRun, NotFoundRedirectsAndTheSwitchOff) {
    const testserver::HttpResponse moved{
        302, "", "text/html", {{"Location", "https://rdap.other.test/domain/google.com"}}};
    const RdapCase cases[] = {
        {"not found", true, {}, "データベースが見つかりません", "", 1},
        {"redirected",
         true,
         {{"/com/v1/domain/google.com", moved}},
         "完了",
         "{rdap.other.test からの回答 (RDAP)}",
         1},
        {"server error",
         true,
         {{"/com/v1/domain/google.com", {500, R"({"errorCode":500,"title":"Oops"})"}}},
         "rdap.verisign.com でエラー HTTP 500",
         kVerisignRdap,
         1},
        {"switch off", false, {}, "WHOISサービスを利用できません", "", 0},
    };
    for (const RdapCase& c : cases) {
        SCOPED_TRACE(c.name);
        RdapRun rdap({Refusing(kVerisign), Rdap("rdap.verisign.com", c.responses),
                      Rdap("rdap.other.test", {{"/domain/google.com", {200, R"({"objectClassName":
                           "domain","ldhName":"GOOGLE.COM"})"}}})});
        rdap.run.window.fallback = c.fallback;
        ASSERT_TRUE(rdap.run.Run("google.com"));
        EXPECT_EQ(rdap.run.window.Status(), c.status);
        EXPECT_EQ(static_cast<int>(rdap.run.Servers().HttpRequests("rdap.verisign.com").size()),
                  c.requests);
        if (c.shownHeader.empty()) {
            EXPECT_EQ(rdap.run.window.Lines(), (Lines{"         【google.com の調査結果】", ""}));
        } else {
            EXPECT_FALSE(rdap.Block(c.shownHeader).empty());
        }
    }
}

TEST(RdapRun, UntilTheRdapRequestConnectsTheStatusNamesItsServer) {
    RdapRun rdap({Refusing(kVerisign), BlackHole("rdap.verisign.com")});
    rdap.run.window.query = "google.com";
    rdap.run.controller->QueryButtonClick();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return rdap.run.window.Status() == "rdap.verisign.com への接続を待っています．．．";
        },
        15000))
        << rdap.run.window.Status();
    rdap.run.controller->CancelButtonClick();
    ASSERT_TRUE(rdap.run.WaitIdle());
}

struct FailureCase {
    std::string name;
    std::vector<testserver::ServerConfig> servers;
    std::string typed;
    std::string failedFirst;  // a status shown on the way; empty: none asked for
    std::string status;       // the run's last
    std::string shownHeader;  // empty: the report holds the run title only
};

// The exchanges the switch adds name the server that failed and what
// happened; once the registry's RDAP answer is shown, the registrar's failing
// leaves the run "完了" with what failed beside it.
TEST(RdapRun, TheSwitchsExchangesSayWhichServerFailedAndHow) {
    const auto registry = [] {
        return Rdap("rdap.verisign.com",
                    {{kGoogleAtVerisign,
                      Answer("rdap/answers/rdap.verisign.com__domain_google.com_2021.json")}});
    };
    const auto registrar = [](testserver::HttpResponse response) {
        return Rdap("rdap.markmonitor.com", {{kGoogleAtMarkmonitor, std::move(response)}});
    };
    const FailureCase cases[] = {
        {"registrar refuses",
         {Refusing(kVerisign), registry(), Refusing("rdap.markmonitor.com")},
         "google.com",
         "",
         "完了 (rdap.markmonitor.com に接続を拒否されました)",
         kVerisignRdap},
        {"registrar fails",
         {Refusing(kVerisign), registry(), registrar({503, "busy"})},
         "google.com",
         "",
         "完了 (rdap.markmonitor.com でエラー HTTP 503)",
         kVerisignRdap},
        {"registrar sends a page",
         {Refusing(kVerisign), registry(), registrar({200, "<html>Moved</html>", "text/html"})},
         "google.com",
         "",
         "完了 (rdap.markmonitor.com の応答は RDAP のデータではありません (HTML))",
         kMarkmonitorRdap},
        {"registrar compresses in a coding not asked for",
         {Refusing(kVerisign), registry(),
          registrar({200, "\x1b\x03", "application/rdap+json", {{"Content-Encoding", "zstd"}}})},
         "google.com",
         "",
         "完了 (rdap.markmonitor.com の応答は対応していない圧縮形式です (zstd))",
         kVerisignRdap},
        {"registry sends bytes",
         {Refusing(kVerisign),
          Rdap("rdap.verisign.com", {{kGoogleAtVerisign, {200, std::string("\x89PNG\r\n\x1a\n\0\0", 10)}}})},
         "google.com",
         "",
         "rdap.verisign.com の応答は RDAP のデータではありません (バイナリ)",
         kVerisignRdap},
        {"registrar lacks the name",
         {Refusing(kVerisign), registry(), registrar(testserver::RdapNotFound())},
         "google.com",
         "",
         "完了 (rdap.markmonitor.com にデータがありません)",
         kVerisignRdap},
        {"registry refuses RDAP too",
         {Refusing(kVerisign), Refusing("rdap.verisign.com")},
         "google.com",
         "",
         "rdap.verisign.com に接続を拒否されました",
         ""},
        {"IANA refuses, then RDAP fails",
         {Refusing(kIana), Rdap("rdap.flexireg.net", {{"/domain/home.moscow", {500, "{}"}}})},
         "home.moscow",
         "whois.iana.org に接続を拒否されました",
         "rdap.flexireg.net でエラー HTTP 500",
         "{rdap.flexireg.net からの回答 (RDAP)}"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        RdapRun rdap(c.servers);
        ASSERT_TRUE(rdap.run.Run(c.typed));
        EXPECT_EQ(rdap.run.window.Status(), c.status);
        if (!c.failedFirst.empty()) {
            EXPECT_TRUE(Holds(rdap.run.window.statuses, c.failedFirst));
        }
        if (c.shownHeader.empty()) {
            EXPECT_EQ(rdap.run.window.Lines(),
                      (Lines{"         【" + c.typed + " の調査結果】", ""}));
        } else {
            EXPECT_FALSE(rdap.Block(c.shownHeader).empty());
        }
    }
}

TEST(RdapRun, ARegistrarWhoseNameIsNotFoundLeavesTheRunDone) {
    RdapRun rdap({Refusing(kVerisign),
                  Rdap("rdap.verisign.com",
                       {{kGoogleAtVerisign,
                         Answer("rdap/answers/rdap.verisign.com__domain_google.com_2021.json")}})});
    // Not a valid host name: the lookup fails without asking any DNS server.
    net::AddHostMapping({"rdap.markmonitor.com", "bad..host.invalid", std::nullopt});
    ASSERT_TRUE(rdap.run.Run("google.com"));
    EXPECT_EQ(rdap.run.window.Status(), "完了 (rdap.markmonitor.com が見つかりません)");
    EXPECT_EQ(rdap.Block(kVerisignRdap).at(2), "Domain Name:      GOOGLE.COM");
}

std::string HttpDate(std::int64_t unixSeconds) {
    return QDateTime::fromSecsSinceEpoch(unixSeconds, QTimeZone::utc())
        .toString("ddd, dd MMM yyyy hh:mm:ss 'GMT'")
        .toStdString();
}

struct RdapLimitCase {
    std::string name;
    std::vector<testserver::ServerConfig> servers;
    std::string status;
    std::string shownHeader;
};

// The switch on: a registry limited at port 43 is asked over RDAP, which
// has the last word; a limited RDAP answer says when to come back.
TEST(RdapRun, RateLimitsAtPortFortyThreeAndOverRdap) {
    const std::string limited = "whois.verisign-grs.com で問い合わせ回数の制限を超えました";
    const testserver::ServerConfig notice =
        Answering(kVerisign, "WHOIS LIMIT EXCEEDED - SEE WWW.PIR.ORG/WHOIS FOR DETAILS\n");
    const testserver::HttpResponse registryAnswer =
        Answer("rdap/answers/rdap.verisign.com__domain_google.com_2021.json");
    const std::string tooMany = R"({"errorCode":429,"title":"Too Many Requests"})";
    const std::string inAnHour = HttpDate(QDateTime::currentSecsSinceEpoch() + 3600);
    const RdapLimitCase cases[] = {
        {"RDAP brings what port 43 withheld",
         {notice, Rdap("rdap.verisign.com", {{kGoogleAtVerisign, registryAnswer}}),
          Rdap("rdap.markmonitor.com", {})},
         "完了 (rdap.markmonitor.com にデータがありません)",
         kVerisignRdap},
        {"RDAP fails too",
         {notice, Rdap("rdap.verisign.com", {{kGoogleAtVerisign, {500, "{}"}}})},
         "rdap.verisign.com でエラー HTTP 500",
         kVerisignRdap},
        {"429 with Retry-After in seconds",
         {Refusing(kVerisign),
          Rdap("rdap.verisign.com",
               {{kGoogleAtVerisign,
                 {429, tooMany, "application/rdap+json", {{"Retry-After", "30"}}}}})},
         "rdap.verisign.com で問い合わせ回数の制限を超えました (30 秒後に再試行できます)",
         kVerisignRdap},
        {"429 with Retry-After as a date",
         {Refusing(kVerisign),
          Rdap("rdap.verisign.com",
               {{kGoogleAtVerisign,
                 {429, tooMany, "application/rdap+json", {{"Retry-After", inAnHour}}}}})},
         "rdap.verisign.com で問い合わせ回数の制限を超えました (60 分後に再試行できます)",
         kVerisignRdap},
        {"an error answer of 429 sent with 200",
         {Refusing(kVerisign), Rdap("rdap.verisign.com", {{kGoogleAtVerisign, {200, tooMany}}})},
         "rdap.verisign.com で問い合わせ回数の制限を超えました",
         kVerisignRdap},
    };
    for (const RdapLimitCase& c : cases) {
        SCOPED_TRACE(c.name);
        RdapRun rdap(c.servers);
        ASSERT_TRUE(rdap.run.Run("google.com"));
        EXPECT_EQ(rdap.run.window.Status(), c.status);
        if (c.servers.front().refuse) {
            EXPECT_TRUE(Holds(rdap.run.window.Lines(), "Error Code: 429"));
        } else {
            EXPECT_TRUE(Holds(rdap.run.window.statuses, limited));
            EXPECT_TRUE(Holds(rdap.run.window.Lines(),
                              "WHOIS LIMIT EXCEEDED - SEE WWW.PIR.ORG/WHOIS FOR DETAILS"));
        }
        EXPECT_FALSE(rdap.Block(c.shownHeader).empty());
        // Asked once each: nothing is retried.
        EXPECT_EQ(rdap.run.Servers().HttpRequests("rdap.verisign.com").size(), 1u);
    }
}

TEST(RdapDirectory, FetchesNewerFilesOnceAWeekAndKeepsWhatFailed) {
    std::ifstream file(TORVANE_RDAP_SNAPSHOT "/dns.json", std::ios::binary);
    std::string dns(std::istreambuf_iterator<char>(file), {});
    const std::string shipped = "2026-07-23T02:00:03Z";
    dns.replace(dns.find(shipped), shipped.size(), "2026-12-01T00:00:00Z");
    // dns.json is newer at IANA; ipv4.json fails; the other two are broken.
    testserver::ServerConfig iana = Rdap("data.iana.org", {{"/rdap/dns.json", {200, dns}},
                                                           {"/rdap/ipv6.json", {200, "{"}},
                                                           {"/rdap/asn.json", {200, "[]"}}});
    RunHarness run({iana});
    const std::filesystem::path user = run.HistoryFile().parent_path() / "rdap";
    TRdapDirectory directory(TORVANE_RDAP_SNAPSHOT, user, true);
    ASSERT_NE(directory.Bootstrap(), nullptr);
    EXPECT_EQ(directory.Bootstrap()->File(rdap::BootstrapKind::dns).publication, shipped);

    directory.RefreshIfDue();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !directory.Refreshing(); }, 15000));
    EXPECT_EQ(run.Servers().HttpRequests("data.iana.org").size(), 4u);
    EXPECT_TRUE(std::filesystem::exists(user / "dns.json"));
    for (const char* kept : {"ipv4.json", "ipv6.json", "asn.json"})
        EXPECT_FALSE(std::filesystem::exists(user / kept)) << kept;
    EXPECT_EQ(directory.Bootstrap()->File(rdap::BootstrapKind::dns).publication,
              "2026-12-01T00:00:00Z");

    directory.RefreshIfDue();  // the same week: nothing is fetched again
    EXPECT_FALSE(directory.Refreshing());
    EXPECT_EQ(run.Servers().HttpRequests("data.iana.org").size(), 4u);
}

}  // namespace
}  // namespace torvane::run
