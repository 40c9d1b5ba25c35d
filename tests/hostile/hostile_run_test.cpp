// Runs against servers that misbehave on purpose: endless, dripping, huge,
// random and unterminated answers, referral chains that never end, odd ARIN
// referrals and a flood of contact handles. Every run must end (or be
// cancelled), show what arrived up to the size cap, keep the history file
// whole, and keep the event loop turning; the longest stall is printed.

#include <gtest/gtest.h>

#include <atomic>
#include <random>

#include "query/text_lines.h"
#include "encoding/answer_utf8.h"
#include "hostile_support.h"
#include "net/host_map.h"
#include "net/whois_cli.h"
#include "query/well_known_servers.h"

namespace torvane::run {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;
const std::string kHostile = "hostile.test";
const std::string kTypedName = "example.com";
const std::string kTruncated = "回答が大きすぎるため途中で打ち切りました";

testserver::ServerConfig Hostile(std::string answer) {
    testserver::ServerConfig config = Server(kHostile);
    config.default_answer = std::move(answer);
    return config;
}

// A run with the manual server box naming the hostile server.
class HostileRun {
  public:
    explicit HostileRun(std::vector<testserver::ServerConfig> servers) : run(std::move(servers)) {
        run.window.manualServer = true;
        run.window.manualHost = kHostile;
    }
    // Types `line`, presses the run button and turns the event loop until the
    // run is over or `timeoutMs` passed.
    bool Run(const std::string& line, const std::string& caseName, int timeoutMs = 60000) {
        run.window.query = line;
        run.controller->QueryButtonClick();
        const bool ended = meter.RunUntil([&] { return run.controller->Idle(); }, timeoutMs);
        RecordStall(caseName, meter.LongestStallMs());
        return ended;
    }
    Lines ShownAnswer() const { return BlockAfterHeader(run.window.report, kHostile); }

    RunHarness run;
    LoopMeter meter;
};

// The report lines a run shows for `answer`: its decoding split into
// lines, and the empty line that ends the block.
Lines ExpectedBlock(const std::string& answer) {
    Lines lines = query::SplitLines(encoding::DecodeAnswer(answer, kHostile));
    lines.emplace_back();
    return lines;
}

TEST(HostileServers, AServerThatNeverClosesIsEndedByCancelWithWhatArrivedShown) {
    const std::string answer = "Domain Name: EXAMPLE.COM\r\nstill here\r\n";
    testserver::ServerConfig config = Hostile(answer);
    config.hold = true;
    HostileRun hostile({config});
    hostile.run.window.query = kTypedName;
    hostile.run.controller->QueryButtonClick();
    ASSERT_TRUE(hostile.meter.RunUntil(
        [&] { return hostile.run.controller->Client(Leg::Leg1).WhoisResp() == answer; }, 60000));
    RecordStall("never closes", hostile.meter.LongestStallMs());
    EXPECT_FALSE(hostile.run.controller->Idle());
    hostile.run.controller->CancelButtonClick();
    EXPECT_TRUE(hostile.meter.RunUntil([&] { return hostile.run.controller->Idle(); }, 5000));
    EXPECT_EQ(hostile.run.window.Status(), "中止");
    EXPECT_EQ(hostile.ShownAnswer(), (Lines{"Domain Name: EXAMPLE.COM", "still here", ""}));
    EXPECT_TRUE(HistoryHolds(hostile.run.HistoryFile(), {kTypedName}));
}

TEST(HostileServers, ADripOfOneBytePer50MsArrivesWholeWithoutStallingTheLoop) {
    const std::string answer = "drip\r\n\xe6\x97\xa5\xe6\x9c\xac\r\nend";
    testserver::ServerConfig config = Hostile(answer);
    config.drip = std::chrono::milliseconds(50);
    HostileRun hostile({config});
    ASSERT_TRUE(hostile.Run(kTypedName, "drip 50 ms"));
    EXPECT_EQ(hostile.run.window.Status(), "完了");
    EXPECT_EQ(hostile.ShownAnswer(), ExpectedBlock(answer));
    EXPECT_TRUE(HistoryHolds(hostile.run.HistoryFile(), {kTypedName}));
}

TEST(HostileServers, AHundredMebibyteAnswerIsCutAtTheCapAndSaysSo) {
    // 100 MiB of numbered-looking lines, generated while sending.
    const std::string pattern =
        "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n";
    testserver::ServerConfig config = Hostile(pattern);
    config.repeat_to_size = 100ull * 1024 * 1024;
    HostileRun hostile({config});
    ASSERT_TRUE(hostile.Run(kTypedName, "100 MiB answer"));
    EXPECT_EQ(hostile.run.window.Status(), kTruncated);
    std::string prefix;
    while (prefix.size() < net::kMaxAnswerSize) prefix += pattern;
    prefix.resize(net::kMaxAnswerSize);
    const Lines shown = hostile.ShownAnswer();
    EXPECT_TRUE(shown == ExpectedBlock(prefix)) << shown.size() << " lines shown";
    EXPECT_TRUE(HistoryHolds(hostile.run.HistoryFile(), {kTypedName}));
}

TEST(HostileServers, RandomBytesAndBrokenUnicodeAreShownAsConverted) {
    std::mt19937 random(20261207);
    std::string noise(1 << 20, '\0');
    for (char& byte : noise) byte = static_cast<char>(random() & 0xFF);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"random bytes", noise},
        {"zero bytes", std::string(65536, '\0') + "after zeros\r\n" + std::string(3, '\0')},
        {"UTF-16LE mark then noise", "\xff\xfe" + noise.substr(0, 65536)},
        {"UTF-16BE mark then lone surrogates", "\xfe\xff\xd8\x00\x00\x41\xdc\x00\x00\x0d\x00\x0a"},
        {"UTF-8 mark then invalid UTF-8",
         "\xef\xbb\xbf\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80\xe3\x81\r\n"},
        {"JIS escape then noise", "\x1b$B" + noise.substr(0, 65536)},
        {"one line of 1 MiB", std::string(1 << 20, 'x')},
        {"one line of 1 MiB of kanji",
         [] {
             std::string text;
             while (text.size() < (1u << 20)) text += "\x93\xfa\x96\x7b";
             return text;
         }()},
    };
    for (const auto& [name, answer] : cases) {
        SCOPED_TRACE(name);
        HostileRun hostile({Hostile(answer)});
        ASSERT_TRUE(hostile.Run(kTypedName, name));
        EXPECT_EQ(hostile.run.window.Status(), "完了");
        EXPECT_TRUE(hostile.ShownAnswer() == ExpectedBlock(answer));
        EXPECT_TRUE(HistoryHolds(hostile.run.HistoryFile(), {kTypedName}));
    }
}

TEST(HostileServers, AWhoisServerChainOfAThousandNamesStopsAfterSixteenReferrals) {
    std::atomic<int> connection{0};
    testserver::ServerConfig config = Server("chain");
    config.answer_function = [&connection](const std::string&) {
        const int next = ++connection;
        return "Domain Name: EXAMPLE.COM\r\n   Whois Server: next-" + std::to_string(next) + "\r\n";
    };
    HostileRun hostile({config});
    for (int i = 1; i <= 1000; ++i)
        net::AddHostMapping(
            {"next-" + std::to_string(i), "127.0.0.1", hostile.run.Servers().Port("chain")});
    net::AddHostMapping({kHostile, "127.0.0.1", hostile.run.Servers().Port("chain")});
    ASSERT_TRUE(hostile.Run(kTypedName, "referral chain of 1,000"));
    EXPECT_EQ(hostile.run.window.Status(), "完了");
    // The first server and sixteen referrals; the last answer is shown as if
    // it named no server.
    EXPECT_EQ(hostile.run.Servers().Connections("chain"), 1 + kMaxReferrals);
    EXPECT_EQ(BlockAfterHeader(hostile.run.window.report, "next-16"),
              (Lines{"Domain Name: EXAMPLE.COM", "   Whois Server: next-17", ""}));
    EXPECT_TRUE(HistoryHolds(hostile.run.HistoryFile(), {kTypedName}));
}

TEST(HostileServers, ArinReferralsWithOddSchemesAndPortsEndTheRun) {
    const Lines referrals = {
        "ReferralServer:  rwhois://rwhois.odd.test:4321/",
        "ReferralServer:  whois://:43",
        "ReferralServer:  ://",
        "ReferralServer:  whois://port.odd.test:99999999/path?x=1",
        "ReferralServer:  http://[::1]:43/",
        "ReferralServer:  whois://" + std::string(5000, 'a'),
        "ReferralServer:  whois://日本.test",
        "ReferralServer:  whois:///slash",
        "ReferralServer:  javascript://evil.test%0d%0aquit",
    };
    for (const std::string& line : referrals) {
        SCOPED_TRACE(line);
        const std::string target = ArinReferral(line).value_or(ReferralTarget{}).host;
        std::vector<testserver::ServerConfig> servers = {
            Server(std::string(query::kJpnicServer), {}),
            Server(std::string(query::kApnicServer), {}),
            Server(std::string(query::kArinServer), {}), Server("referred")};
        servers[0].default_answer = "No match!!\r\n";
        servers[1].default_answer = "% not allocated to APNIC\r\n";
        servers[2].default_answer = "NetRange: 192.0.2.0 - 192.0.2.255\r\n" + line + "\r\n";
        servers[3].default_answer = "referred answer\r\n";
        RunHarness run(servers);
        if (!target.empty())
            net::AddHostMapping({target, "127.0.0.1", run.Servers().Port("referred")});
        LoopMeter meter;
        run.window.query = "192.0.2.1";
        run.controller->QueryButtonClick();
        ASSERT_TRUE(meter.RunUntil([&] { return run.controller->Idle(); }, 20000));
        RecordStall("ARIN odd referrals", meter.LongestStallMs());
        EXPECT_TRUE(HistoryHolds(run.HistoryFile(), {"192.0.2.1"}));
        if (target.empty()) {
            // Nothing to follow: ARIN's own answer is shown.
            EXPECT_EQ(run.Servers().Connections(std::string(query::kArinServer)), 1);
            EXPECT_EQ(BlockAfterHeader(run.window.report, std::string(query::kArinServer)),
                      (Lines{"NetRange: 192.0.2.0 - 192.0.2.255", line, ""}));
        } else {
            EXPECT_EQ(run.Servers().Connections("referred"), 1);
            EXPECT_EQ(BlockAfterHeader(run.window.report, target),
                      (Lines{"referred answer", ""}));
        }
    }
}

// An address run whose ARIN or APNIC server names a new server in every
// answer: each leg stops after sixteen referrals and shows the last answer.
TEST(HostileServers, ArinAndApnicReferralChainsStopAfterSixteenReferrals) {
    struct Case {
        std::string registry;  // the server that refers onward
        std::string line;      // its referral line, "N" standing for the next number
        std::string next;      // the name of referred server N
    };
    const std::vector<Case> cases = {
        {std::string(query::kArinServer), "ReferralServer: whois://arin-next-N:4321", "arin-next-"},
        {std::string(query::kApnicServer), "% command line: apnic-next-N", "apnic-next-"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.registry);
        std::atomic<int> connection{0};
        testserver::ServerConfig chain = Server(c.registry);
        chain.answer_function = [&connection, line = c.line](const std::string&) {
            std::string answer = line;
            answer.replace(answer.find('N'), 1, std::to_string(++connection));
            return answer + "\r\n";
        };
        std::vector<testserver::ServerConfig> servers = {Server(std::string(query::kJpnicServer)),
                                                         Server(std::string(query::kApnicServer)),
                                                         Server(std::string(query::kArinServer))};
        servers[0].default_answer = "No match!!\r\n";
        servers[1].default_answer = "% not allocated to APNIC\r\n";
        servers[2].default_answer = "No match found for 192.0.2.1.\r\n";
        for (auto& server : servers)
            if (server.name == c.registry) server = chain;
        RunHarness run(servers);
        for (int i = 1; i <= 100; ++i)
            net::AddHostMapping(
                {c.next + std::to_string(i), "127.0.0.1", run.Servers().Port(c.registry)});
        LoopMeter meter;
        run.window.query = "192.0.2.1";
        run.controller->QueryButtonClick();
        ASSERT_TRUE(meter.RunUntil([&] { return run.controller->Idle(); }, 20000));
        RecordStall(c.registry + " referral chain", meter.LongestStallMs());
        EXPECT_EQ(run.Servers().Connections(c.registry), 1 + kMaxReferrals);
        std::string last = c.line;
        last.replace(last.find('N'), 1, std::to_string(1 + kMaxReferrals));
        const Lines shown = BlockAfterHeader(run.window.report, c.next + "16");
        // ARIN shows the last answer; APNIC hides every answer holding
        // "command line:", the last one too.
        if (c.registry == query::kArinServer) {
            ASSERT_FALSE(shown.empty());
            EXPECT_EQ(shown.front(), last);
        } else {
            EXPECT_TRUE(shown.empty());
        }
        EXPECT_TRUE(HistoryHolds(run.HistoryFile(), {"192.0.2.1"}));
    }
}

TEST(HostileServers, AJprsAnswerWithAThousandHandlesSendsFourAndKeepsTheRest) {
    std::string answer = "Domain Information:\n";
    for (int i = 0; i < 1000; ++i)
        answer += (i % 2 ? "n. [tech] H" : "m. [admin] H") + std::to_string(i) + "JP\n";
    testserver::ServerConfig jprs = Server(std::string(query::kJprsServer));
    jprs.default_answer = answer;
    testserver::ServerConfig jpnic = Server(std::string(query::kJpnicServer));
    jpnic.default_answer = "handle\n";
    HostileRun hostile({jprs, jpnic});
    hostile.run.window.manualServer = false;
    ASSERT_TRUE(hostile.Run("example.jp", "1,000 handles"));
    EXPECT_EQ(hostile.run.window.Status(), "完了");
    EXPECT_EQ(hostile.run.Queries(std::string(query::kJpnicServer)),
              (Lines{"H0JP\r\n", "H1JP\r\n", "H2JP\r\n", "H3JP\r\n"}));
    EXPECT_EQ(hostile.run.controller->PendingQueries().size(), 996u);
    EXPECT_EQ(hostile.run.controller->PendingQueries().back(), "H4JP");
    EXPECT_TRUE(HistoryHolds(hostile.run.HistoryFile(), {"example.jp"}));
}

// Each handle used to be checked against every handle kept before it and
// inserted at the front one by one: 100,000 handles took minutes of a frozen
// window, the 16 MiB cap's worth would take hours.
TEST(HostileServers, AJprsAnswerWithAHundredThousandHandlesEndsPromptly) {
    std::string answer;
    for (int i = 0; i < 100000; ++i) answer += "m. [admin] H" + std::to_string(i) + "JP\n";
    testserver::ServerConfig jprs = Server(std::string(query::kJprsServer));
    jprs.default_answer = answer;
    testserver::ServerConfig jpnic = Server(std::string(query::kJpnicServer));
    jpnic.default_answer = "handle\n";
    HostileRun hostile({jprs, jpnic});
    hostile.run.window.manualServer = false;
    ASSERT_TRUE(hostile.Run("example.jp", "100,000 handles"));
    EXPECT_EQ(hostile.run.Queries(std::string(query::kJpnicServer)),
              (Lines{"H0JP\r\n", "H1JP\r\n", "H2JP\r\n", "H3JP\r\n"}));
    ASSERT_EQ(hostile.run.controller->PendingQueries().size(), 99996u);
    EXPECT_EQ(hostile.run.controller->PendingQueries().front(), "H99999JP");
    EXPECT_EQ(hostile.run.controller->PendingQueries().back(), "H4JP");
}

}  // namespace
}  // namespace torvane::run
