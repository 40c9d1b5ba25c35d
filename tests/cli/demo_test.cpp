// The demonstration mode: run-demo starts the test server on the demo
// answers, the demo queries give their reports through torvane-cli, and the
// server is gone afterwards however the script ends.

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
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
    const ChildResult result = Demo("google.co.jp");
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
    EXPECT_TRUE(Has(result.out, "見本 一郎"));  // converted from ISO-2022-JP
    const pid_t server = ServerPid(result.err);
    ASSERT_GT(server, 0) << result.err;
    EXPECT_TRUE(GoneWithin(server, std::chrono::seconds(2)));
}

// The "# demo-query:" lines of demo.conf, in order.
std::vector<std::string> ConfiguredQueries() {
    std::ifstream conf(std::filesystem::path(TORVANE_RUN_DEMO).parent_path() / "demo.conf");
    std::vector<std::string> queries;
    const std::string marker = "# demo-query: ";
    for (std::string line; std::getline(conf, line);)
        if (line.rfind(marker, 0) == 0) queries.push_back(line.substr(marker.size()));
    return queries;
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::istringstream in{std::string(text)};
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// torvane-cli --help's list: the words after "Demo queries:" up to the next empty line.
std::vector<std::string> HelpQueries() {
    const ChildResult help = RunChild({TORVANE_CLI, "--help"}, {});
    const std::size_t from = help.out.find("Demo queries:");
    if (from == std::string::npos) return {};
    const std::size_t start = from + std::string_view("Demo queries:").size();
    return Words(std::string_view(help.out).substr(start, help.out.find("\n\n", start) - start));
}

// What run-demo --serve writes to standard error until `awaited` appears (or the script ends).
std::string ServeErrorUntil(const std::string& awaited) {
    ChildProcess script({TORVANE_RUN_DEMO, TORVANE_TEST_SERVER, "--serve"}, {});
    script.WaitForError(awaited);
    std::string err = script.ErrorSoFar();
    script.Signal(SIGTERM);
    script.Wait();
    return err;
}

TEST(Demo, HelpAndServeListEveryConfiguredQuery) {
    const std::vector<std::string> configured = ConfiguredQueries();
    ASSERT_GE(configured.size(), 10u);
    EXPECT_EQ(HelpQueries(), configured);
    std::string line = "demo queries:";
    for (const std::string& query : configured) line += " " + query;
    line += "\n";
    const std::string served = ServeErrorUntil(line);
    EXPECT_TRUE(Has(served, line)) << served;
}

struct DemoCase {
    std::string query;
    int exitCode;
    std::vector<std::string> shown;   // lines that must appear
    std::vector<std::string> hidden;  // texts that must not
    bool namesAnObject = true;        // false: no registry answers for it
};
void PrintTo(const DemoCase& c, std::ostream* out) { *out << c.query; }

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t\r") - first + 1));
}

std::string Lower(std::string text) {
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

// The address's bytes in network order, when `text` is an IPv4 or IPv6 address.
std::optional<std::vector<unsigned char>> AddressBytes(const std::string& text) {
    unsigned char bytes[16];
    if (inet_pton(AF_INET, text.c_str(), bytes) == 1) return std::vector(bytes, bytes + 4);
    if (inet_pton(AF_INET6, text.c_str(), bytes) == 1) return std::vector(bytes, bytes + 16);
    return std::nullopt;
}

// Whether `range` ("first - last" or "prefix/length") holds `address`.
bool RangeHolds(const std::string& range, const std::vector<unsigned char>& address) {
    if (const std::size_t dash = range.find(" - "); dash != std::string::npos) {
        const auto first = AddressBytes(Trimmed(range.substr(0, dash)));
        const auto last = AddressBytes(Trimmed(range.substr(dash + 3)));
        return first && last && first->size() == address.size() && last->size() == address.size() &&
               *first <= address && address <= *last;
    }
    const std::size_t slash = range.find('/');
    if (slash == std::string::npos) return false;
    const auto prefix = AddressBytes(range.substr(0, slash));
    const int length = std::atoi(range.c_str() + slash + 1);
    if (!prefix || prefix->size() != address.size()) return false;
    for (int bit = 0; bit < length; ++bit) {
        const unsigned char mask = static_cast<unsigned char>(0x80 >> (bit % 8));
        if (((*prefix)[bit / 8] & mask) != (address[bit / 8] & mask)) return false;
    }
    return true;
}

// The object lines of a report (the ranges of address answers, the names of domain and AS
// answers), each checked against the query: what is wrong, and how many were found.
struct ObjectCheck {
    std::vector<std::string> wrong;
    int found = 0;
};
ObjectCheck CheckObjects(const std::string& query, const Lines& lines) {
    static const std::vector<std::string> rangeKeys{
        "inetnum:", "inet6num:", "NetRange:", "a. [IPネットワークアドレス]"};
    static const std::vector<std::string> nameKeys{"Domain Name:", "a. [ドメイン名]",
                                                   "aut-num:", "Autonomous System:"};
    const std::optional<std::vector<unsigned char>> address = AddressBytes(query);
    ObjectCheck check;
    for (const std::string& line : lines) {
        for (const std::string& key : address ? rangeKeys : nameKeys) {
            if (line.rfind(key, 0) != 0) continue;
            const std::string value = Trimmed(std::string_view(line).substr(key.size()));
            ++check.found;
            const bool fits = address ? RangeHolds(value, *address) : Lower(value) == Lower(query);
            if (!fits) check.wrong.push_back(line);
        }
    }
    return check;
}

// One case per "# demo-query:" line of demo.conf.
const std::vector<DemoCase>& DemoCases() {
    static const std::vector<DemoCase> cases{
        {"google.co.jp",
         0,
         {"{whois.jprs.jp からの回答}", "{whois.nic.ad.jp からの回答 (DL152JP) }"},
         {}},
        {"171.0.0.1", 0, {"{whois.apnic.net からの回答}"}, {"{whois.arin.net", "{whois.nic.ad.jp"}},
        {"4.2.2.1", 0, {"{whois.arin.net からの回答}"}, {"{whois.apnic.net", "{whois.nic.ad.jp"}},
        {"128.79.0.1",
         0,
         {"{whois.ripe.net からの回答}"},
         {"{whois.arin.net からの回答}", "{whois.apnic.net", "{whois.nic.ad.jp"}},
        {"192.0.2.1", 0, {"{whois.nic.ad.jp からの回答}"}, {"{whois.arin.net", "{whois.apnic.net"}},
        {"example.co.za",
         1,
         {"\"example.co.za\" についてのデータベースが見つかりません。",
          "http://www.registry.net.za/ を参考にしてください。"},
         {},
         false},
        {"google.com",
         0,
         {"{whois.verisign-grs.com からの回答}", "{rdap.verisign.com からの回答 (RDAP)}",
          "{rdap.markmonitor.com からの回答 (RDAP)}"},
         {"{whois.markmonitor.com"}},
        {"home.moscow",
         0,
         {"{whois.iana.org からの回答}", "{rdap.flexireg.net からの回答 (RDAP)}",
          "Domain Name:      home.moscow"},
         {}},
        {"2001:4860:4860::8888",
         0,
         {"{whois.arin.net からの回答}", "{rdap.arin.net からの回答 (RDAP)}"},
         {}},
        {"AS4608",
         0,
         {"{whois.apnic.net からの回答}", "{rdap.apnic.net からの回答 (RDAP)}",
          "Autonomous System: AS4608"},
         {"{whois.nic.ad.jp"}},
    };
    return cases;
}

TEST(Demo, EveryConfiguredQueryHasACase) {
    std::vector<std::string> covered;
    for (const DemoCase& c : DemoCases()) covered.push_back(c.query);
    EXPECT_EQ(covered, ConfiguredQueries());
}

class DemoQueries : public ::testing::TestWithParam<DemoCase> {};

TEST_P(DemoQueries, GiveTheirReportWithAnswersForTheQuery) {
    const DemoCase& c = GetParam();
    const ChildResult result = Demo(c.query);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    const Lines lines = SplitLines(result.out);
    for (const std::string& line : c.shown)
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line << result.out;
    for (const std::string& text : c.hidden) EXPECT_FALSE(Has(result.out, text)) << text;
    EXPECT_FALSE(Has(result.out, "no sample answer")) << result.out;
    const ObjectCheck objects = CheckObjects(c.query, lines);
    EXPECT_EQ(objects.wrong, std::vector<std::string>{}) << result.out;
    EXPECT_EQ(objects.found > 0, c.namesAnObject) << result.out;
    const pid_t server = ServerPid(result.err);
    ASSERT_GT(server, 0);
    EXPECT_TRUE(GoneWithin(server, std::chrono::seconds(2)));
}

INSTANTIATE_TEST_SUITE_P(Demo, DemoQueries, ::testing::ValuesIn(DemoCases()), [](const auto& info) {
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
