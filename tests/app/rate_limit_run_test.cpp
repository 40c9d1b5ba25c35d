// Runs whose port-43 servers refuse for their query limit, on loopback test
// servers sending the registries' recorded wordings (sources in
// src/app/run/rate_limits.cpp).

#include <gtest/gtest.h>

#include "run_test_support.h"

namespace torvane::run {
namespace {

using namespace testing;

const std::string kDenicNotice =
    "% Error: 55000000002 Connection refused; access control limit reached.";
const std::string kCzNicNotice =
    "Your connection limit exceeded. Please slow down and try again later.";
const std::string kRipeNotice = "%ERROR:201: access denied for 192.0.2.1";

struct LimitCase {
    std::string name;
    std::vector<testserver::ServerConfig> servers;
    std::string typed;
    std::string status;
    Lines shown;             // consecutive report lines
    std::string neverAsked;  // a server the run must not ask; empty: none
};

TEST(RateLimitRun, ALimitNoticeEndsTheNameRunOnItsOwnStatusWithTheNoticeShown) {
    const std::string legal =
        "Domain: example.de\n"
        "% Terms: a query limit exceeded by automated means may lead to blocking.\n";
    const LimitCase cases[] = {
        {"DENIC",
         {Answering("whois.denic.de", kDenicNotice + "\n\n\n")},
         "example.de",
         "whois.denic.de で問い合わせ回数の制限を超えました",
         {"{whois.denic.de からの回答}", "", kDenicNotice},
         ""},
        {"CZ.NIC",
         {Answering("whois.nic.cz", kCzNicNotice + "\n")},
         "example.cz",
         "whois.nic.cz で問い合わせ回数の制限を超えました",
         {"{whois.nic.cz からの回答}", "", kCzNicNotice},
         ""},
        {"a referral in a notice is not followed",
         {Answering("whois.nic.cz", kCzNicNotice + "\nWhois Server: whois.other.test\n"),
          Server("whois.other.test")},
         "example.cz",
         "whois.nic.cz で問い合わせ回数の制限を超えました",
         {"", kCzNicNotice, "Whois Server: whois.other.test"},
         "whois.other.test"},
        {"the registrar a registry refers to",
         {Answering("whois.verisign-grs.com",
                    "Domain Name: EXAMPLE.COM\nRegistrar WHOIS Server: whois.registrar.test\n"),
          Answering("whois.registrar.test", kCzNicNotice + "\n")},
         "example.com",
         "whois.registrar.test で問い合わせ回数の制限を超えました",
         {"{whois.verisign-grs.com からの回答}", "", "Domain Name: EXAMPLE.COM",
          "Registrar WHOIS Server: whois.registrar.test", "", "{whois.registrar.test からの回答}",
          "", kCzNicNotice},
         ""},
        {"terms that speak of a limit are no notice",
         {Answering("whois.denic.de", legal)},
         "example.de",
         "完了",
         {"Domain: example.de"},
         ""},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.name);
        RunHarness run(c.servers);
        ASSERT_TRUE(run.Run(c.typed));
        EXPECT_EQ(run.window.Status(), c.status);
        const Lines lines = run.window.Lines();
        EXPECT_NE(std::search(lines.begin(), lines.end(), c.shown.begin(), c.shown.end()),
                  lines.end());
        // Asked once: a limited server is never asked again.
        EXPECT_EQ(run.Queries(c.servers.front().name).size(), 1u);
        if (!c.neverAsked.empty()) EXPECT_TRUE(run.Queries(c.neverAsked).empty());
    }
}

// The address run: ARIN refers to the RIPE database, which refuses; APNIC
// answers afterwards with data. Its "完了" must not hide the limit.
TEST(RateLimitRun, ALaterLegsDoneStillTellsTheLimitOfAnEarlierOne) {
    Gate apnicGate;
    Gate arinGate;
    std::vector<testserver::ServerConfig> servers =
        GatedRegistries(apnicGate, "inetnum: 192.0.2.0 - 192.0.2.255\n", arinGate,
                        "ReferralServer: whois://whois.ripe.net\n");
    servers.push_back(Answering(std::string(query::kRipeServer), kRipeNotice + "\n%\n"));
    RunHarness run(servers);
    run.window.query = "192.0.2.1";
    run.controller->QueryButtonClick();
    arinGate.Open();
    ASSERT_TRUE(run.WaitForLine(kRipeNotice));
    EXPECT_EQ(run.window.Status(), "whois.ripe.net で問い合わせ回数の制限を超えました");
    apnicGate.Open();
    ASSERT_TRUE(run.WaitIdle());
    EXPECT_EQ(run.window.Status(), "完了 (whois.ripe.net で問い合わせ回数の制限を超えました)");
    const Lines lines = run.window.Lines();
    EXPECT_TRUE(Holds(lines, "{whois.ripe.net からの回答}"));
    EXPECT_TRUE(Holds(lines, "inetnum: 192.0.2.0 - 192.0.2.255"));
    EXPECT_EQ(run.Queries(std::string(query::kRipeServer)).size(), 1u);
}

}  // namespace
}  // namespace torvane::run
