// TWhoisCli against the loopback WHOIS test server: event order, the bytes
// sent and received, aborts, restarts from inside OnQueryDone.

#include "net/whois_cli.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "net_test_support.h"
#include "query/well_known_servers.h"

namespace torvane::net {
namespace {

using namespace testing;

class WhoisCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::EnsureQtApp();
        ClearHostMap();
    }
    void TearDown() override { ClearHostMap(); }
};

TEST_F(WhoisCliTest, StartsWithRipeAsHostAndEmptyQueryAndAnswer) {
    TWhoisCli client;
    EXPECT_EQ(client.Host, query::kRipeServer);
    EXPECT_TRUE(client.Query.empty());
    EXPECT_TRUE(client.WhoisResp().empty());
}

TEST_F(WhoisCliTest, NormalExchangeDeliversTheRealAnswerByteForByte) {
    const std::string answer = ReadTestData("net/whois.jprs.jp/google.co.jp_iso2022jp_2014.txt");
    ASSERT_EQ(answer.size(), 2135u);
    LoopbackServers servers({Answering("jprs.test", answer)});
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Host = "jprs.test";
    client.Query = "google.co.jp";
    client.StartQuery();
    ASSERT_TRUE(log.WaitForDone());
    SettleEventLoop();
    EXPECT_EQ(log.events, (Events{"connected 0", "done 0"}));
    EXPECT_EQ(client.WhoisResp(), answer);
    EXPECT_EQ(client.TakeWhoisResp(), answer);
    EXPECT_TRUE(client.WhoisResp().empty());
}

TEST_F(WhoisCliTest, SendsExactlyTheQueryBytesAndCrLf) {
    LoopbackServers servers({Answering("bytes.test", "ok")});
    const std::vector<std::string> queries = {"abc", "\x93\xfa\x96\x7b.jp", "", "a b\tc"};
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Host = "bytes.test";
    for (const std::string& query : queries) {
        client.Query = query;
        client.StartQuery();
        ASSERT_TRUE(log.WaitForDone(log.DoneCount() + 1));
    }
    std::vector<std::string> expected;
    for (const std::string& query : queries) expected.push_back(query + "\r\n");
    EXPECT_EQ(servers->Queries("bytes.test"), expected);
}

TEST_F(WhoisCliTest, LargeAnswerArrivingInManyReadsIsAppendedInOrder) {
    std::string answer;
    for (int i = 0; answer.size() < 1024 * 1024; ++i)
        answer += "line " + std::to_string(i) + "\r\n";
    const std::string real =
        ReadTestData("net/whois.verisign-grs.com/google.com_2014_multiple-matches.txt");
    ASSERT_EQ(real.size(), 11273u);
    LoopbackServers servers({Answering("big.test", answer), Answering("real.test", real)});
    using Case = std::pair<const char*, const std::string*>;
    for (const auto& [host, expected] : {Case{"big.test", &answer}, Case{"real.test", &real}}) {
        TWhoisCli client;
        EventLog log;
        log.Attach(client);
        client.Host = host;
        client.Query = "q";
        client.StartQuery();
        ASSERT_TRUE(log.WaitForDone()) << host;
        EXPECT_EQ(log.events, (Events{"connected 0", "done 0"})) << host;
        EXPECT_TRUE(client.WhoisResp() == *expected)
            << host << ": got " << client.WhoisResp().size() << " bytes";
    }
}

TEST_F(WhoisCliTest, ZeroBytesAndInvalidSequencesAreKeptWhateverTheChunking) {
    const std::string answer("abc\0def\0\0ghi\xff\xfe\x80\x1b$B\0", 19);
    ServerConfig dripping = Answering("drip.test", answer);
    dripping.drip = std::chrono::milliseconds(2);
    LoopbackServers servers({Answering("whole.test", answer), dripping});
    for (const char* host : {"whole.test", "drip.test"}) {
        TWhoisCli client;
        EventLog log;
        log.Attach(client);
        client.Host = host;
        client.Query = "zero";
        client.StartQuery();
        ASSERT_TRUE(log.WaitForDone()) << host;
        EXPECT_EQ(client.WhoisResp(), answer) << host;
        EXPECT_EQ(log.events, (Events{"connected 0", "done 0"})) << host;
    }
}

TEST_F(WhoisCliTest, ServerClosingWithoutDataGivesAnEmptySuccessfulAnswer) {
    ServerConfig silent;
    silent.name = "silent.test";
    silent.silent = true;
    LoopbackServers servers({silent});
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Host = "silent.test";
    client.Query = "x";
    client.StartQuery();
    ASSERT_TRUE(log.WaitForDone());
    SettleEventLoop();
    EXPECT_EQ(log.events, (Events{"connected 0", "done 0"}));
    EXPECT_TRUE(client.WhoisResp().empty());
}

TEST_F(WhoisCliTest, DelayedAnswerStillArrives) {
    ServerConfig slow = Answering("slow.test", "late answer\r\n");
    slow.delay = std::chrono::milliseconds(150);
    LoopbackServers servers({slow});
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Host = "slow.test";
    client.StartQuery();
    ASSERT_TRUE(log.WaitForDone());
    EXPECT_EQ(client.WhoisResp(), "late answer\r\n");
}

// The mended connect failure: one completion with the connect's code and
// nothing after it (no second, "successful" completion).
TEST_F(WhoisCliTest, RefusedConnectionCompletesOnceWith10061) {
    ServerConfig refusing;
    refusing.name = "refused.test";
    refusing.refuse = true;
    LoopbackServers servers({refusing});
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Host = "refused.test";
    client.Query = "x";
    client.StartQuery();
    ASSERT_TRUE(log.WaitForDone());
    SettleEventLoop();
    EXPECT_EQ(log.events, (Events{"connected 10061", "done 10061"}));
}

TEST_F(WhoisCliTest, ConnectNeverAcceptedEndsWith10060OnceTheConnectTimeoutRunsOut) {
    ServerConfig black_hole;
    black_hole.name = "blackhole.test";
    black_hole.never_accept = true;
    LoopbackServers servers({black_hole});
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Host = "blackhole.test";
    client.Query = "x";
    client.ConnectTimeout = std::chrono::milliseconds(200);
    client.StartQuery();
    ASSERT_TRUE(log.WaitForDone());
    SettleEventLoop();
    EXPECT_EQ(log.events, (Events{"connected 10060", "done 10060"}));
    EXPECT_TRUE(client.WhoisResp().empty());
}

TEST_F(WhoisCliTest, ConnectTimeoutDoesNotLimitTheWaitForTheAnswer) {
    ServerConfig slow = Answering("slow.test", "late answer");
    slow.delay = std::chrono::milliseconds(400);
    LoopbackServers servers({slow});
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Host = "slow.test";
    client.Query = "x";
    client.ConnectTimeout = std::chrono::milliseconds(50);
    client.StartQuery();
    ASSERT_TRUE(log.WaitForDone());
    EXPECT_EQ(log.events, (Events{"connected 0", "done 0"}));
    EXPECT_EQ(client.WhoisResp(), "late answer");
}

TEST_F(WhoisCliTest, ResetByTheServerCompletesWith10054) {
    ServerConfig resetting = Answering("reset.test", "partial");
    resetting.reset = true;
    resetting.silent = true;
    LoopbackServers servers({resetting});
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Host = "reset.test";
    client.StartQuery();
    ASSERT_TRUE(log.WaitForDone());
    SettleEventLoop();
    EXPECT_EQ(log.events, (Events{"connected 0", "done 10054"}));
}

TEST_F(WhoisCliTest, UnresolvableHostCompletesOnceWithTheResolverCode) {
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    // Not a valid host name: fails in the resolver without asking any DNS
    // server.
    client.Host = "bad..host.invalid";
    client.StartQuery();
    ASSERT_TRUE(log.WaitForDone());
    SettleEventLoop();
    EXPECT_EQ(log.events, (Events{"done 11001"}));
}

TEST_F(WhoisCliTest, EmptyHostIsRefusedWithTheMessageAndNoEvent) {
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Host.clear();
    try {
        client.StartQuery();
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "DNS lookup: invalid host name.");
    }
    SettleEventLoop();
    EXPECT_TRUE(log.events.empty());
}

TEST_F(WhoisCliTest, AbortDuringLookupCompletesOnceWith10004AndNeverConnects) {
    LoopbackServers servers({Answering("lookup.test", "never")});
    // Mapped to a name, so the lookup really is asynchronous.
    AddHostMapping({"lookup.test", "localhost", servers->Port("lookup.test")});
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Host = "lookup.test";
    client.StartQuery();
    client.Abort();
    EXPECT_EQ(log.events, (Events{"done 10004"}));
    SettleEventLoop();
    EXPECT_EQ(log.events, (Events{"done 10004"}));
    EXPECT_EQ(servers->Connections("lookup.test"), 0);
}

TEST_F(WhoisCliTest, LookupOfAHostNameConnectsToItsFirstAddress) {
    LoopbackServers servers({Answering("named.test", "by name")});
    AddHostMapping({"named.test", "localhost", servers->Port("named.test")});
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Host = "named.test";
    client.StartQuery();
    ASSERT_TRUE(log.WaitForDone());
    EXPECT_EQ(log.events, (Events{"connected 0", "done 0"}));
    EXPECT_EQ(client.WhoisResp(), "by name");
}

TEST_F(WhoisCliTest, AbortWhileConnectingCompletesWithZeroAndNothingElse) {
    LoopbackServers servers({Answering("connecting.test", "never")});
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Host =
        "connecting.test";  // mapped to a dotted address: the connect starts inside StartQuery
    client.StartQuery();
    client.Abort();
    EXPECT_EQ(log.events, (Events{"done 0"}));
    SettleEventLoop();
    EXPECT_EQ(log.events, (Events{"done 0"}));
    EXPECT_TRUE(client.WhoisResp().empty());
}

TEST_F(WhoisCliTest, AbortMidAnswerCompletesWithZeroAndThePartialAnswer) {
    ServerConfig holding = Answering("hold.test", "first part\r\n");
    holding.hold = true;
    LoopbackServers servers({holding});
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Host = "hold.test";
    client.StartQuery();
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.WhoisResp() == "first part\r\n"; }, 10000));
    EXPECT_EQ(log.events, (Events{"connected 0"}));
    client.Abort();
    EXPECT_EQ(log.events, (Events{"connected 0", "done 0"}));
    EXPECT_EQ(log.answers.at(0), "first part\r\n");
    SettleEventLoop();
    EXPECT_EQ(log.DoneCount(), 1);
    EXPECT_EQ(client.WhoisResp(), "first part\r\n");
}

TEST_F(WhoisCliTest, AbortOnAnIdleClientRaisesNothing) {
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Abort();
    SettleEventLoop();
    EXPECT_TRUE(log.events.empty());
}

// Referrals restart the same client from its own completion handler; the new
// exchange starts with an empty answer and the old connection stays quiet.
TEST_F(WhoisCliTest, StartQueryFromInsideOnQueryDoneRunsAFreshExchange) {
    LoopbackServers servers({Answering("first.test", "Whois Server: second.test\r\n"),
                             Answering("second.test", "final answer\r\n")});
    AddHostMapping({"third.test", "localhost", servers->Port("second.test")});
    for (const char* next_host : {"second.test", "third.test"}) {
        TWhoisCli client;
        Events events;
        std::vector<std::string> answers;
        bool answer_empty_after_restart = false;
        client.OnSessionConnected = [&](TWhoisCli*, ErrorCode code) {
            events.push_back("connected " + std::to_string(code));
        };
        client.OnQueryDone = [&](TWhoisCli* sender, ErrorCode code) {
            events.push_back("done " + std::to_string(code));
            answers.push_back(sender->WhoisResp());
            if (answers.size() == 1) {
                sender->Host = next_host;
                sender->Query = "referred";
                sender->StartQuery();
                answer_empty_after_restart = sender->WhoisResp().empty();
            }
        };
        client.Host = "first.test";
        client.Query = "original";
        client.StartQuery();
        ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == 2; }, 10000)) << next_host;
        SettleEventLoop();
        EXPECT_EQ(events, (Events{"connected 0", "done 0", "connected 0", "done 0"})) << next_host;
        EXPECT_EQ(answers, (Events{"Whois Server: second.test\r\n", "final answer\r\n"}));
        EXPECT_TRUE(answer_empty_after_restart);
    }
    EXPECT_EQ(servers->Queries("second.test"), (Events{"referred\r\n", "referred\r\n"}));
}

TEST_F(WhoisCliTest, RestartFromTheCompletionOfARefusedConnectionIsNotDisturbed) {
    ServerConfig refusing;
    refusing.name = "down.test";
    refusing.refuse = true;
    LoopbackServers servers({refusing, Answering("up.test", "fallback answer")});
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    auto record = client.OnQueryDone;
    client.OnQueryDone = [&](TWhoisCli* sender, ErrorCode code) {
        record(sender, code);
        if (code == 10061) {
            sender->Host = "up.test";
            sender->StartQuery();
        }
    };
    client.Host = "down.test";
    client.StartQuery();
    ASSERT_TRUE(log.WaitForDone(2));
    SettleEventLoop();
    EXPECT_EQ(log.events, (Events{"connected 10061", "done 10061", "connected 0", "done 0"}));
    EXPECT_EQ(client.WhoisResp(), "fallback answer");
}

TEST_F(WhoisCliTest, StartQueryOnABusyClientDropsTheOldExchangeSilently) {
    ServerConfig holding = Answering("busy.test", "old\r\n");
    holding.hold = true;
    LoopbackServers servers({holding, Answering("fresh.test", "new\r\n")});
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Host = "busy.test";
    client.StartQuery();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client.WhoisResp().empty(); }, 10000));
    client.Host = "fresh.test";
    client.StartQuery();
    EXPECT_TRUE(client.WhoisResp().empty());
    ASSERT_TRUE(log.WaitForDone());
    SettleEventLoop();
    EXPECT_EQ(log.events, (Events{"connected 0", "connected 0", "done 0"}));
    EXPECT_EQ(client.WhoisResp(), "new\r\n");
}

TEST_F(WhoisCliTest, EightClientsRunAtTheSameTime) {
    std::vector<ServerConfig> configs;
    for (int i = 0; i < 8; ++i) {
        ServerConfig config =
            Answering("leg" + std::to_string(i) + ".test", "answer " + std::to_string(i));
        // Everyone waits, so the exchanges overlap.
        config.delay = std::chrono::milliseconds(100);
        configs.push_back(config);
    }
    LoopbackServers servers(configs);
    std::vector<std::unique_ptr<TWhoisCli>> clients;
    std::vector<EventLog> logs(8);
    for (int i = 0; i < 8; ++i) {
        clients.push_back(std::make_unique<TWhoisCli>());
        logs[i].Attach(*clients[i]);
        clients[i]->Host = "leg" + std::to_string(i) + ".test";
        clients[i]->Query = "q" + std::to_string(i);
        clients[i]->StartQuery();
    }
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return std::all_of(logs.begin(), logs.end(),
                               [](const EventLog& l) { return l.DoneCount() == 1; });
        },
        10000));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(logs[i].events, (Events{"connected 0", "done 0"}));
        EXPECT_EQ(clients[i]->WhoisResp(), "answer " + std::to_string(i));
        EXPECT_EQ(servers->Queries("leg" + std::to_string(i) + ".test"),
                  (Events{"q" + std::to_string(i) + "\r\n"}));
    }
}

TEST_F(WhoisCliTest, HostMapFromTheEnvironmentRedirectsAWellKnownServer) {
    LoopbackServers servers({Answering("env.test", "from the map")});
    const std::string map = "whois.jprs.jp=127.0.0.1:" + std::to_string(servers->Port("env.test"));
    ASSERT_EQ(setenv("TORVANE_HOST_MAP", map.c_str(), 1), 0);
    LoadHostMapFromEnvironment();
    unsetenv("TORVANE_HOST_MAP");
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Host = std::string(query::kJprsServer);
    client.StartQuery();
    ASSERT_TRUE(log.WaitForDone());
    EXPECT_EQ(client.WhoisResp(), "from the map");
}

// An error escaping an owner's handler is swallowed by the socket layer,
// which gives the exchange up.
TEST_F(WhoisCliTest, ExceptionInOnSessionConnectedAbortsTheExchange) {
    ServerConfig holding = Answering("throw.test", "never read");
    holding.hold = true;
    LoopbackServers servers({holding});
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.OnSessionConnected = [&](TWhoisCli*, ErrorCode) {
        log.events.push_back("connected");
        throw std::runtime_error("handler failed");
    };
    client.Host = "throw.test";
    client.StartQuery();
    ASSERT_TRUE(log.WaitForDone());
    SettleEventLoop();
    EXPECT_EQ(log.events, (Events{"connected", "done 0"}));
    EXPECT_TRUE(client.WhoisResp().empty());
    // The query was never sent: the server saw the connection end first.
    ASSERT_TRUE(QTest::qWaitFor([&] { return servers->Queries("throw.test").size() == 1; }, 10000));
    EXPECT_EQ(servers->Queries("throw.test"), (Events{""}));
}

TEST_F(WhoisCliTest, ExceptionInOnQueryDoneRaisesNothingMore) {
    LoopbackServers servers({Answering("done-throw.test", "answer")});
    TWhoisCli client;
    int done = 0;
    client.OnQueryDone = [&](TWhoisCli*, ErrorCode) {
        ++done;
        throw std::runtime_error("handler failed");
    };
    client.Host = "done-throw.test";
    client.StartQuery();
    ASSERT_TRUE(QTest::qWaitFor([&] { return done == 1; }, 10000));
    SettleEventLoop();
    EXPECT_EQ(done, 1);
    EXPECT_EQ(client.WhoisResp(), "answer");
}

}  // namespace
}  // namespace torvane::net
