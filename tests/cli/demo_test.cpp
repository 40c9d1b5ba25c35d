// The demonstration mode: run-demo starts the test server on the demo
// answers, the demo queries give their reports through torvane-cli, and the
// server is gone afterwards however the script ends.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <thread>

#include "child_process.h"
#include "cli_test_support.h"

namespace torvane::cli::testing {
namespace {

using Lines = std::vector<std::string>;

// The test server's pid as the script reports it.
pid_t ServerPid(const std::string& err) {
    std::smatch match;
    static const std::regex pattern("test server running \\(pid ([0-9]+)\\)");
    return std::regex_search(err, match, pattern) ? std::stoi(match[1]) : -1;
}

// True while `pid` is a live (not zombie) whois-test-server.
bool ServerAlive(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    if (text.empty()) return false;
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos || close + 2 >= text.size() || text[close + 2] == 'Z')
        return false;
    return text.find("whois-test-serv") != std::string::npos;
}

bool GoneWithin(pid_t pid, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (ServerAlive(pid)) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

ChildResult Demo(const std::string& query) {
    ChildOptions options;
    options.environment = {"TORVANE_HOST_MAP="};
    return RunChild({TORVANE_RUN_DEMO, TORVANE_TEST_SERVER, "--run", TORVANE_CLI, query}, options);
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(Demo, JpNameShowsThePrimaryBlockAndTwoFollowUpsThenStopsTheServer) {
    const ChildResult result = Demo("example.co.jp");
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const Lines lines = SplitLines(result.out);
    const auto primary = std::find(lines.begin(), lines.end(), "{whois.jprs.jp からの回答}");
    const auto first =
        std::find(lines.begin(), lines.end(), "{whois.nic.ad.jp からの回答 (DL152JP) }");
    const auto second =
        std::find(lines.begin(), lines.end(), "{whois.nic.ad.jp からの回答 (TW124137JP) }");
    ASSERT_NE(second, lines.end()) << result.out;
    EXPECT_LT(primary, first);
    EXPECT_LT(first, second);
    EXPECT_TRUE(Has(result.out, "EXAMPLE.CO.JP"));
    EXPECT_TRUE(Has(result.out, "見本 一郎"));  // converted from ISO-2022-JP
    const pid_t server = ServerPid(result.err);
    ASSERT_GT(server, 0) << result.err;
    EXPECT_TRUE(GoneWithin(server, std::chrono::seconds(2)));
}

struct DemoCase {
    std::string query;
    int exitCode;
    std::vector<std::string> shown;   // lines that must appear
    std::vector<std::string> hidden;  // texts that must not
};
void PrintTo(const DemoCase& c, std::ostream* out) { *out << c.query; }

class DemoQueries : public ::testing::TestWithParam<DemoCase> {};

TEST_P(DemoQueries, GiveTheirReport) {
    const DemoCase& c = GetParam();
    const ChildResult result = Demo(c.query);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    const Lines lines = SplitLines(result.out);
    for (const std::string& line : c.shown)
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line << result.out;
    for (const std::string& text : c.hidden) EXPECT_FALSE(Has(result.out, text)) << text;
    EXPECT_FALSE(Has(result.out, "no sample answer")) << result.out;
    const pid_t server = ServerPid(result.err);
    ASSERT_GT(server, 0);
    EXPECT_TRUE(GoneWithin(server, std::chrono::seconds(2)));
}

INSTANTIATE_TEST_SUITE_P(
    Demo, DemoQueries,
    ::testing::Values(DemoCase{"google.net",
                               0,
                               {"{whois.markmonitor.com からの回答}", "Domain Name: google.com"},
                               {"{whois.crsnic.net からの回答}"}},
                      DemoCase{"192.0.2.1",
                               0,
                               {"{whois.nic.ad.jp からの回答}", "{whois.apnic.net からの回答}",
                                "{whois.arin.net からの回答}"},
                               {}},
                      DemoCase{
                          "198.51.100.1",
                          0,
                          {"{whois.ripe.net からの回答}"},
                          {"{whois.arin.net からの回答}", "{whois.apnic.net", "{whois.nic.ad.jp"}},
                      DemoCase{"example.co.za",
                               1,
                               {"\"example.co.za\" についてのデータベースが見つかりません。",
                                "http://www.registry.net.za/ を参考にしてください。"},
                               {}},
                      DemoCase{"google.com",
                               0,
                               {"{whois.verisign-grs.com からの回答}",
                                "{rdap.verisign.com からの回答 (RDAP)}",
                                "{rdap.markmonitor.com からの回答 (RDAP)}"},
                               {"{whois.markmonitor.com"}},
                      DemoCase{"2001:4860:4860::8888",
                               0,
                               {"{whois.arin.net からの回答}", "{rdap.arin.net からの回答 (RDAP)}"},
                               {}},
                      DemoCase{"AS4608",
                               0,
                               {"{whois.apnic.net からの回答}", "{rdap.apnic.net からの回答 (RDAP)}",
                                "Autonomous System: AS4608"},
                               {"{whois.nic.ad.jp"}},
                      DemoCase{"home.moscow",
                               0,
                               {"{whois.iana.org からの回答}",
                                "{rdap.flexireg.net からの回答 (RDAP)}", "Domain Name: home.moscow"},
                               {}}),
    [](const auto& info) {
        std::string name = info.param.query;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

// --serve keeps the server until the script is stopped.
class DemoServe : public ::testing::TestWithParam<int> {};

TEST_P(DemoServe, StoppingTheScriptStopsTheServer) {
    ChildProcess script({TORVANE_RUN_DEMO, TORVANE_TEST_SERVER, "--serve"}, {});
    ASSERT_TRUE(script.WaitForError("demo: TORVANE_HOST_MAP=")) << script.ErrorSoFar();
    const pid_t server = ServerPid(script.ErrorSoFar());
    ASSERT_GT(server, 0);
    EXPECT_TRUE(ServerAlive(server));
    script.Signal(GetParam());
    const ChildResult result = script.Wait();
    EXPECT_FALSE(result.timedOut);
    EXPECT_TRUE(GoneWithin(server, std::chrono::seconds(3))) << GetParam();
    if (GetParam() != SIGKILL) {
        EXPECT_TRUE(Has(result.out, "TORVANE_HOST_MAP=whois.jprs.jp=127.0.0.1:")) << result.out;
        EXPECT_EQ(result.exitCode, 128 + GetParam());
    }
}

INSTANTIATE_TEST_SUITE_P(Demo, DemoServe, ::testing::Values(SIGINT, SIGTERM, SIGHUP, SIGKILL),
                         [](const auto& info) { return "Signal" + std::to_string(info.param); });

}  // namespace
}  // namespace torvane::cli::testing
