// The answer size cap of TWhoisCli against the loopback test server: an
// answer of exactly the cap is whole, one byte more is cut at the cap with
// the connection reset, and the next exchange starts afresh.

#include <gtest/gtest.h>

#include "hostile_support.h"
#include "net/host_map.h"
#include "net/whois_cli.h"

namespace torvane::net {
namespace {

using run::testing::LoopMeter;
using run::testing::RecordStall;

struct Exchange {
    std::string answer;
    bool truncated = false;
    int completions = 0;
    ErrorCode code = 0;
};

Exchange Ask(const std::string& pattern, std::uint64_t size) {
    run::testing::EnsureQtApp();
    testserver::ServerConfig config;
    config.name = "big.test";
    config.default_answer = pattern;
    config.repeat_to_size = size;
    testserver::WhoisTestServer server({config});
    server.Start();
    ClearHostMap();
    AddHostMapping({"big.test", "127.0.0.1", server.Port("big.test")});
    Exchange result;
    TWhoisCli client;
    client.Host = "big.test";
    client.Query = "q";
    client.OnQueryDone = [&](TWhoisCli* sender, ErrorCode code) {
        ++result.completions;
        result.code = code;
        result.answer = sender->WhoisResp();
        result.truncated = sender->Truncated();
    };
    client.StartQuery();
    LoopMeter meter;
    meter.RunUntil([&] { return result.completions > 0; }, 60000);
    RecordStall("answer of " + std::to_string(size) + " bytes", meter.LongestStallMs());
    // Nothing more may follow the completion.
    meter.RunUntil([] { return false; }, 100);
    server.Stop();
    ClearHostMap();
    return result;
}

std::string Repeated(const std::string& pattern, std::size_t size) {
    std::string text;
    while (text.size() < size) text += pattern;
    text.resize(size);
    return text;
}

TEST(AnswerCap, AnAnswerOfExactlyTheCapArrivesWhole) {
    const Exchange exchange = Ask("abcdefg\r\n", kMaxAnswerSize);
    EXPECT_EQ(exchange.completions, 1);
    EXPECT_EQ(exchange.code, 0);
    EXPECT_FALSE(exchange.truncated);
    EXPECT_TRUE(exchange.answer == Repeated("abcdefg\r\n", kMaxAnswerSize));
}

TEST(AnswerCap, OneByteMoreIsCutAtTheCapAndCompletesOnce) {
    const Exchange exchange = Ask("abcdefg\r\n", kMaxAnswerSize + 1);
    EXPECT_EQ(exchange.completions, 1);
    EXPECT_EQ(exchange.code, 0);
    EXPECT_TRUE(exchange.truncated);
    EXPECT_TRUE(exchange.answer == Repeated("abcdefg\r\n", kMaxAnswerSize));
}

TEST(AnswerCap, AHundredMebibytesAreCutAtTheCap) {
    const Exchange exchange = Ask(std::string("\0\xff\x1b$B", 5), 100ull * 1024 * 1024);
    EXPECT_EQ(exchange.completions, 1);
    EXPECT_TRUE(exchange.truncated);
    EXPECT_TRUE(exchange.answer == Repeated(std::string("\0\xff\x1b$B", 5), kMaxAnswerSize));
}

TEST(AnswerCap, TheNextExchangeIsNotTruncated) {
    run::testing::EnsureQtApp();
    testserver::ServerConfig big;
    big.name = "big.test";
    big.default_answer = "0123456789";
    big.repeat_to_size = kMaxAnswerSize + 100;
    testserver::ServerConfig small;
    small.name = "small.test";
    small.default_answer = "small\r\n";
    testserver::WhoisTestServer server({big, small});
    server.Start();
    ClearHostMap();
    AddHostMapping({"big.test", "127.0.0.1", server.Port("big.test")});
    AddHostMapping({"small.test", "127.0.0.1", server.Port("small.test")});
    TWhoisCli client;
    client.Host = "big.test";
    std::vector<std::pair<std::size_t, bool>> seen;
    client.OnQueryDone = [&](TWhoisCli* sender, ErrorCode) {
        seen.emplace_back(sender->WhoisResp().size(), sender->Truncated());
        // Follows on at once, from inside the completion, as a referral does.
        if (seen.size() == 1) {
            sender->Host = "small.test";
            sender->StartQuery();
        }
    };
    client.StartQuery();
    LoopMeter meter;
    EXPECT_TRUE(meter.RunUntil([&] { return seen.size() == 2; }, 60000));
    EXPECT_EQ(seen,
              (std::vector<std::pair<std::size_t, bool>>{{kMaxAnswerSize, true}, {7u, false}}));
    server.Stop();
    ClearHostMap();
}

}  // namespace
}  // namespace torvane::net
