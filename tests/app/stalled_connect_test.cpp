// Port-43 servers that never answer a connect (a firewall dropping port 43):
// with the switch on, the RDAP leg that stands for the stalled server starts
// beside it, and the stalled leg is given up once RDAP has shown the data.
// The black hole is a listening socket whose accept queue is full; nothing
// here is timed, only the outcome and the order are checked.

#include <gtest/gtest.h>

#include "app/run/rdap_directory.h"
#include "app/run/run_texts.h"
#include "run_test_support.h"

namespace torvane::run {
namespace {

using namespace testing;
using namespace std::chrono_literals;

const std::string kVerisign = "whois.verisign-grs.com";
const std::string kMarkmonitor = "whois.markmonitor.com";
const std::string kVerisignRdap = "{rdap.verisign.com からの回答 (RDAP)}";
const std::string kMarkmonitorRdap = "{rdap.markmonitor.com からの回答 (RDAP)}";

testserver::ServerConfig Rdap(std::string name, std::string path, testserver::HttpResponse answer) {
    testserver::ServerConfig config = Server(std::move(name));
    config.http.emplace();
    config.http->responses = {{std::move(path), std::move(answer)}};
    return config;
}

testserver::ServerConfig VerisignRdap() {
    return Rdap("rdap.verisign.com", "/com/v1/domain/google.com",
                {200, ReadTestData("rdap/answers/rdap.verisign.com__domain_google.com_2021.json")});
}

testserver::ServerConfig MarkmonitorRdap() {
    return Rdap(
        "rdap.markmonitor.com", "/rdap/domain/GOOGLE.COM",
        {200, ReadTestData("rdap/answers/rdap.markmonitor.com__domain_google.com_2021.json")});
}

// Where each header line stands in the report; -1 when it is not there.
int Position(const Lines& lines, const std::string& header) {
    const auto at = std::find(lines.begin(), lines.end(), header);
    return at == lines.end() ? -1 : static_cast<int>(at - lines.begin());
}

struct StalledRun {
    explicit StalledRun(std::vector<testserver::ServerConfig> servers) : run(std::move(servers)) {
        run.controller->SetRdapDirectory(&directory);
        run.controller->SetConnectLimits(100ms, kConnectTimeout);
        run.window.fallback = true;
    }
    RunHarness run;
    TRdapDirectory directory{TORVANE_RDAP_SNAPSHOT, {}, false};
};

struct StalledCase {
    std::string name;
    std::vector<testserver::ServerConfig> servers;
    std::string typed;
    std::vector<std::string> headers;  // in the order the report shows them
    std::vector<std::string> absent;   // headers that must not be shown
};

TEST(StalledConnect, TheRdapLegStartsBesideAStalledServerAndTheRunEndsOnItsData) {
    const std::string registryWhois = "{" + kVerisign + " からの回答}";
    const StalledCase cases[] = {
        {"registry black-holed",
         {BlackHole(kVerisign), VerisignRdap(), MarkmonitorRdap()},
         "google.com",
         {kVerisignRdap, kMarkmonitorRdap},
         {registryWhois}},
        // The registry's port-43 answer refers to the registrar, whose port
        // 43 is black-holed: the registry's answer is shown after RDAP's, as
        // when a referred server fails.
        {"registrar black-holed",
         {Server(kVerisign,
                 {{"google.com",
                   ReadTestData("app/whois.verisign-grs.com/google.com_2020.txt")}}),
          BlackHole(kMarkmonitor), VerisignRdap(), MarkmonitorRdap()},
         "google.com",
         {kVerisignRdap, kMarkmonitorRdap, registryWhois},
         {"{" + kMarkmonitor + " からの回答}"}},
        {"number registry black-holed",
         {Server(kJpnic, {{"AS4608", "No match!!\n"}}), BlackHole(kApnic),
          Rdap("rdap.apnic.net", "/autnum/4608",
               {200, ReadTestData("rdap/answers/rdap.apnic.net__autnum_4608_2020.json")})},
         "AS4608",
         {"{rdap.apnic.net からの回答 (RDAP)}"},
         {"{" + kApnic + " からの回答}"}},
    };
    for (const StalledCase& c : cases) {
        SCOPED_TRACE(c.name);
        StalledRun stalled(c.servers);
        ASSERT_TRUE(stalled.run.Run(c.typed));
        const Lines lines = stalled.run.window.Lines();
        int previous = -1;
        for (const std::string& header : c.headers) {
            const int at = Position(lines, header);
            EXPECT_GT(at, previous) << header;
            previous = at;
        }
        for (const std::string& header : c.absent) EXPECT_EQ(Position(lines, header), -1);
        EXPECT_EQ(stalled.run.window.Status(), "完了");
        // While both waited, the status named both servers.
        const auto& statuses = stalled.run.window.statuses;
        EXPECT_TRUE(std::any_of(statuses.begin(), statuses.end(), [](const std::string& s) {
            return s.find("、rdap.") != std::string::npos &&
                   s.ends_with(" への接続を待っています．．．");
        }));
    }
}

TEST(StalledConnect, ARegistryWithoutTheNameHasTheLastWordOverItsStalledPortFortyThree) {
    // RDAP answers 404 first; the black hole's connect gives up afterwards
    // and leaves RDAP's word standing.
    testserver::ServerConfig rdap = Server("rdap.verisign.com");
    rdap.http.emplace();
    StalledRun stalled({BlackHole(kVerisign), rdap});
    stalled.run.controller->SetConnectLimits(50ms, 400ms);
    ASSERT_TRUE(stalled.run.Run("google.com"));
    EXPECT_EQ(stalled.run.window.Status(), "データベースが見つかりません");
    EXPECT_EQ(stalled.run.controller->Client(Leg::Leg1).ConnectTimeout, 400ms);
    EXPECT_EQ(stalled.run.Servers().HttpRequests("rdap.verisign.com").size(), 1u);
}

TEST(StalledConnect, WithTheSwitchOffAStalledServerKeepsTheRunWaitingWithoutRdap) {
    StalledRun stalled({BlackHole(kVerisign), VerisignRdap(), MarkmonitorRdap()});
    stalled.run.window.fallback = false;
    stalled.run.window.query = "google.com";
    stalled.run.controller->QueryButtonClick();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return stalled.run.window.Status() == kVerisign + Texts().waitingFor;
        },
        15000));
    // Waiting for the black hole is all the classic run does: no RDAP
    // request, no connect limit of its own. The cancel ends it.
    stalled.run.controller->CancelButtonClick();
    ASSERT_TRUE(stalled.run.WaitIdle());
    EXPECT_TRUE(stalled.run.Servers().HttpRequests("rdap.verisign.com").empty());
    EXPECT_EQ(stalled.run.window.Status(), "中止");
}

}  // namespace
}  // namespace torvane::run
