// IPv6 addresses and AS numbers: the registry IANA's bootstrap names is asked
// at port 43 in its own form, then its RDAP service, on loopback servers with
// the real RDAP answers of each registry. The port-43 answers here are made
// up in the form of each registry's answers (no recorded ones exist for
// these resources).

#include <gtest/gtest.h>

#include "app/run/rdap_directory.h"
#include "run_test_support.h"

namespace torvane::run {
namespace {

using namespace testing;

struct NumberCase {
    std::string typed;
    std::string registry;     // its WHOIS server
    std::string whoisQuery;   // what the registry is asked at port 43
    std::string whoisAnswer;  // made up in the registry's form
    std::string rdapHost;
    std::string rdapPath;
    std::string rdapAnswer;     // a real answer of that registry
    std::string firstRdapLine;  // its rendering's first line
};

testserver::ServerConfig Http(std::string name, std::string path, std::string body) {
    testserver::ServerConfig config = Server(std::move(name));
    config.http.emplace();
    config.http->responses = {{std::move(path), {200, std::move(body)}}};
    return config;
}

TEST(NumberRun, EachRegistryIsAskedInItsOwnFormThenByRdap) {
    const std::string answers = "rdap/answers/";
    const NumberCase cases[] = {
        {"https://[2001:4860:4860::8888]/", kArin, "2001:4860:4860::8888",
         "NetRange:       2001:4860:: - 2001:4860:FFFF:FFFF:FFFF:FFFF:FFFF:FFFF\n", "rdap.arin.net",
         "/registry/ip/2001:4860:4860::8888",
         answers + "rdap.arin.net__ip_2001-4860-4860--8888_2021.json",
         "Network:          2001:4860:: - 2001:4860:ffff:ffff:ffff:ffff:ffff:ffff"},
        {"AS4608", kApnic, "AS4608", "aut-num:        AS4608\n", "rdap.apnic.net", "/autnum/4608",
         answers + "rdap.apnic.net__autnum_4608_2020.json", "Autonomous System: AS4608"},
        {"as2043", std::string(query::kRipeServer), "AS2043", "aut-num:        AS2043\n",
         "rdap.db.ripe.net", "/autnum/2043", answers + "rdap.db.ripe.net__autnum_1234_2020.json",
         "Name:             FORTUM-AS"},
        // LACNIC's recorded answer is of an address block; served for the AS
        // number, it stands for any answer of that registry.
        {"AS28000", std::string(query::kLacnicServer), "AS28000", "aut-num:     AS28000\n",
         "rdap.lacnic.net", "/rdap/autnum/28000",
         answers + "rdap.lacnic.net__ip_179.0.0.0-23_2020.json",
         "Network:          179.0.0.0 - 179.0.1.255"},
        {"AS0.36864", std::string(query::kAfrinicServer), "AS36864", "aut-num:        AS36864\n",
         "rdap.afrinic.net", "/rdap/autnum/36864",
         answers + "rdap.afrinic.net__autnum_36864_2020.json", "Autonomous System: AS36864"},
        // ARIN's flag for an AS number.
        {"AS13335", kArin, "a 13335", "ASNumber:       13335\n", "rdap.arin.net",
         "/registry/autnum/13335", answers + "rdap.arin.net__autnum_13335_2021.json",
         "Autonomous System: AS13335"},
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(c.typed);
        RunHarness run({Server(kJpnic, {{c.whoisQuery, "No match!!\n"}}),
                        Server(c.registry, {{c.whoisQuery, c.whoisAnswer}}),
                        Http(c.rdapHost, c.rdapPath, ReadTestData(c.rdapAnswer))});
        TRdapDirectory directory(TORVANE_RDAP_SNAPSHOT, {}, false);
        run.controller->SetRdapDirectory(&directory);
        run.window.fallback = true;
        run.resolver.names["2001:4860:4860::8888"] = "dns.google";
        ASSERT_TRUE(run.Run(c.typed));
        EXPECT_EQ(run.Queries(c.registry), Lines{c.whoisQuery + "\r\n"});
        const Lines lines = run.window.Lines();
        const auto whois = std::find(lines.begin(), lines.end(), "{" + c.registry + " からの回答}");
        ASSERT_NE(whois, lines.end());
        // The registry's block, its empty line for a number query, then RDAP.
        EXPECT_EQ(Lines(whois + 1, whois + 6),
                  (Lines{"", c.whoisAnswer.substr(0, c.whoisAnswer.size() - 1), "",
                         "{" + c.rdapHost + " からの回答 (RDAP)}", ""}));
        ASSERT_LT(whois + 6, lines.end());
        EXPECT_EQ(whois[6], c.firstRdapLine);
        EXPECT_EQ(run.window.Status(), "完了");
        EXPECT_EQ(run.window.history, Lines{c.typed});
    }
}

TEST(NumberRun, AnIpv6AddressShowsItsReverseNameAndJpnicGoesFirstForApnic) {
    RunHarness run({Server(kJpnic, {{"2001:200::1", "jpnic block\n"}}),
                    Server(kApnic, {{"2001:200::1", "inet6num:       2001:200::/35\n"}}),
                    Http("rdap.apnic.net", "/ip/2001:200::1", R"({"objectClassName":"ip network",
                         "startAddress":"2001:200::","endAddress":"2001:200:1fff:ffff:ffff:ffff:ffff:ffff"})")});
    TRdapDirectory directory(TORVANE_RDAP_SNAPSHOT, {}, false);
    run.controller->SetRdapDirectory(&directory);
    run.window.fallback = true;
    run.resolver.names["2001:200::1"] = "www.example.jp";
    ASSERT_TRUE(run.Run("2001:0200:0000::1/48"));
    const Lines lines = WithoutSummary(run.window.Lines());
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 9),
              (Lines{"         【2001:200::1/48 の調査結果】", "", "{ドメイン名}", "",
                     "www.example.jp", "", "{whois.nic.ad.jp からの回答}", "", "jpnic block"}));
    EXPECT_TRUE(Holds(lines, "{rdap.apnic.net からの回答 (RDAP)}"));
    EXPECT_EQ(run.window.captions.back(), "2001:200::1/48 (www.example.jp) の調査結果 - Torvane");
}

// ARIN's resources have no JPNIC leg, whose completion could come last.
TEST(NumberRun, AFailingRdapRequestNamesItsServerAndAfterTheRegistrysAnswerLeavesTheRunDone) {
    testserver::ServerConfig refusedRdap = Server("rdap.arin.net");
    refusedRdap.refuse = true;
    testserver::ServerConfig refusedArin = Server(kArin);
    refusedArin.refuse = true;
    const struct {
        std::string name;
        testserver::ServerConfig arin;
        std::string status;
    } cases[] = {
        {"after the registry's answer", Server(kArin, {{"a 13335", "ASNumber:       13335\n"}}),
         "完了 (rdap.arin.net に接続を拒否されました)"},
        {"the registry refused too", refusedArin, "rdap.arin.net に接続を拒否されました"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunHarness run({c.arin, refusedRdap});
        TRdapDirectory directory(TORVANE_RDAP_SNAPSHOT, {}, false);
        run.controller->SetRdapDirectory(&directory);
        run.window.fallback = true;
        ASSERT_TRUE(run.Run("AS13335"));
        EXPECT_EQ(run.window.Status(), c.status);
    }
}

TEST(NumberRun, WithTheSwitchOffTheyStayUnknown) {
    for (const std::string typed : {"2001:db8::1", "AS2497"}) {
        SCOPED_TRACE(typed);
        RunHarness run({Server(kArin), Server(kApnic)});
        ASSERT_TRUE(run.Run(typed));
        EXPECT_EQ(run.window.Status(), "データベースが見つかりません");
        EXPECT_EQ(run.Servers().Connections(kArin) + run.Servers().Connections(kApnic), 0);
    }
}

}  // namespace
}  // namespace torvane::run
