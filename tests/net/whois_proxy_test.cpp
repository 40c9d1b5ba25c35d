// TWhoisCli through real proxies on loopback (danted for SOCKS5, tinyproxy
// for HTTP CONNECT) to the loopback WHOIS test server, and the proxy
// failures each give their own code: nothing listening, a black hole, a
// proxy that never answers, refusals, credentials, a reply that is not the
// protocol.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "net/whois_cli.h"
#include "net_test_support.h"
#include "real_proxies.h"

namespace torvane::net {
namespace {

using namespace testing;
using namespace std::chrono_literals;

// The server is reached as "localhost": a name, so that the proxy is used
// (the host map's names and loopback addresses never are).
ProxyEndpoint ProxyAt(ProxyKind kind, std::string host, std::uint16_t port) {
    ProxyEndpoint proxy;
    proxy.kind = kind;
    proxy.host = std::move(host);
    proxy.port = port;
    return proxy;
}

class WhoisProxyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::EnsureQtApp();
        ClearHostMap();
    }
    void TearDown() override { ClearHostMap(); }

    // Runs one exchange to `server` of `servers` through `proxy`.
    EventLog Run(TWhoisCli& client, WhoisTestServer& servers, const std::string& server,
                 std::optional<ProxyEndpoint> proxy, std::string host = "localhost") {
        EventLog log;
        log.Attach(client);
        client.Host = std::move(host);
        client.Port = servers.Port(server);
        client.Query = "google.co.jp";
        client.Proxy = std::move(proxy);
        client.StartQuery();
        EXPECT_TRUE(log.WaitForDone());
        SettleEventLoop();
        return log;
    }

    const std::string answer_ = ReadTestData("net/whois.jprs.jp/google.co.jp_iso2022jp_2014.txt");
};

TEST_F(WhoisProxyTest, Socks5ThroughDantedDeliversTheAnswerByteForByte) {
    auto danted = testing::StartDanted();
    for (const ProxyKind kind : {ProxyKind::kSocks5, ProxyKind::kSocks5RemoteNames}) {
        WhoisTestServer server({Answering("jprs.test", answer_)});
        server.Start();
        TWhoisCli client;
        const EventLog log = Run(client, server, "jprs.test", danted->Endpoint(kind));
        EXPECT_EQ(log.events, (Events{"connected 0", "done 0"})) << int(kind);
        EXPECT_TRUE(client.WhoisResp() == answer_) << client.WhoisResp().size();
        EXPECT_EQ(server.Queries("jprs.test"), (std::vector<std::string>{"google.co.jp\r\n"}));
        EXPECT_TRUE(client.ThroughProxy());
        // The proxy logged the connection it made to the server.
        const std::string target = "127.0.0.1." + std::to_string(server.Port("jprs.test"));
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return danted->Log().find(target) != std::string::npos; }, 10000))
            << danted->Log();
    }
}

TEST_F(WhoisProxyTest, Socks5hLeavesTheNameToTheProxyAndSocks5LooksItUpHere) {
    auto danted = testing::StartDanted();
    WhoisTestServer server({Answering("jprs.test", answer_)});
    server.Start();
    // Nobody can resolve the name: where the lookup failed tells who made it.
    const std::vector<std::pair<ProxyKind, Events>> cases = {
        {ProxyKind::kSocks5, {"done 11001"}},
        // danted answers "host unreachable" for a name it cannot resolve.
        {ProxyKind::kSocks5RemoteNames, {"connected 10065", "done 10065"}},
    };
    for (const auto& [kind, events] : cases) {
        TWhoisCli client;
        const EventLog log =
            Run(client, server, "jprs.test", danted->Endpoint(kind), "no-such-host.invalid");
        EXPECT_EQ(log.events, events) << int(kind);
    }
    EXPECT_EQ(server.Connections("jprs.test"), 0);
}

TEST_F(WhoisProxyTest, HttpConnectThroughTinyproxyDeliversTheAnswer) {
    auto tinyproxy = testing::StartTinyproxy();
    WhoisTestServer server({Answering("jprs.test", answer_)});
    server.Start();
    TWhoisCli client;
    const EventLog log =
        Run(client, server, "jprs.test", tinyproxy->Endpoint(ProxyKind::kHttpConnect));
    EXPECT_EQ(log.events, (Events{"connected 0", "done 0"}));
    EXPECT_TRUE(client.WhoisResp() == answer_) << client.WhoisResp().size();
    EXPECT_EQ(server.Queries("jprs.test"), (std::vector<std::string>{"google.co.jp\r\n"}));
    EXPECT_EQ(client.ProxyStatus(), 200);
    EXPECT_NE(tinyproxy->Log().find("Established connection to host \"localhost\""),
              std::string::npos)
        << tinyproxy->Log();
}

TEST_F(WhoisProxyTest, TinyproxyCredentialsAreSentAsBasicAndMissingOrWrongOnesAre12902) {
    testing::TinyproxyOptions options;
    options.user = "torvane";
    options.password = "s3cret";
    auto tinyproxy = testing::StartTinyproxy(options);
    WhoisTestServer server({Answering("jprs.test", "ok\r\n")});
    server.Start();
    struct Case {
        std::string user, password;
        Events events;
        int status;
    };
    const std::vector<Case> cases = {
        {"torvane", "s3cret", {"connected 0", "done 0"}, 200},
        {"", "", {"connected 12902", "done 12902"}, 407},
        {"torvane", "wrong", {"connected 12902", "done 12902"}, 401},
    };
    for (const Case& c : cases) {
        TWhoisCli client;
        const EventLog log = Run(client, server, "jprs.test",
                                 tinyproxy->Endpoint(ProxyKind::kHttpConnect, c.user, c.password));
        EXPECT_EQ(log.events, c.events) << c.user << ":" << c.password;
        EXPECT_EQ(client.ProxyStatus(), c.status) << c.user << ":" << c.password;
    }
    EXPECT_EQ(server.Queries("jprs.test").size(), 1u);
}

TEST_F(WhoisProxyTest, TinyproxyRefusingThePortIs12901WithItsStatus) {
    testing::TinyproxyOptions options;
    options.connect_ports = {443};
    auto tinyproxy = testing::StartTinyproxy(options);
    WhoisTestServer server({Answering("jprs.test", "never sent")});
    server.Start();
    TWhoisCli client;
    const EventLog log =
        Run(client, server, "jprs.test", tinyproxy->Endpoint(ProxyKind::kHttpConnect));
    EXPECT_EQ(log.events, (Events{"connected 12901", "done 12901"}));
    EXPECT_EQ(client.ProxyStatus(), 403);
    EXPECT_EQ(server.Connections("jprs.test"), 0);
}

TEST_F(WhoisProxyTest, DantedWantingAUsernameWithoutCredentialsIs12902) {
    testing::DantedOptions options;
    options.require_username = true;
    auto danted = testing::StartDanted(options);
    WhoisTestServer server({Answering("jprs.test", "never sent")});
    server.Start();
    TWhoisCli client;
    const EventLog log =
        Run(client, server, "jprs.test", danted->Endpoint(ProxyKind::kSocks5RemoteNames));
    EXPECT_EQ(log.events, (Events{"connected 12902", "done 12902"}));
    EXPECT_EQ(server.Connections("jprs.test"), 0);
}

TEST_F(WhoisProxyTest, ProxyThatCannotBeReachedIs12165ForEveryKind) {
    ServerConfig refusing;
    refusing.name = "noproxy.test";
    refusing.refuse = true;
    WhoisTestServer servers({refusing, Answering("jprs.test", "never sent")});
    servers.Start();
    for (const ProxyKind kind :
         {ProxyKind::kSocks5, ProxyKind::kSocks5RemoteNames, ProxyKind::kHttpConnect}) {
        for (const std::string proxy_host : {"127.0.0.1", "no-such-proxy.invalid"}) {
            TWhoisCli client;
            const EventLog log = Run(client, servers, "jprs.test",
                                     ProxyAt(kind, proxy_host, servers.Port("noproxy.test")));
            EXPECT_EQ(log.events, (Events{"connected 12165", "done 12165"}))
                << int(kind) << " " << proxy_host;
        }
    }
    EXPECT_EQ(servers.Connections("jprs.test"), 0);
}

TEST_F(WhoisProxyTest, ConnectTimeoutCoversTheProxysConnectAndItsHandshake) {
    ServerConfig black_hole;
    black_hole.name = "blackhole.test";
    black_hole.never_accept = true;
    // Accepts, then waits for a line that neither handshake sends.
    ServerConfig mute;
    mute.name = "mute.test";
    mute.hold = true;
    mute.silent = true;
    WhoisTestServer servers({black_hole, mute, Answering("jprs.test", "never sent")});
    servers.Start();
    for (const char* proxy : {"blackhole.test", "mute.test"}) {
        for (const ProxyKind kind : {ProxyKind::kSocks5, ProxyKind::kSocks5RemoteNames}) {
            TWhoisCli client;
            client.ConnectTimeout = 200ms;
            const EventLog log =
                Run(client, servers, "jprs.test", ProxyAt(kind, "127.0.0.1", servers.Port(proxy)));
            EXPECT_EQ(log.events, (Events{"connected 10060", "done 10060"}))
                << proxy << " " << int(kind);
        }
    }
    EXPECT_EQ(servers.Connections("jprs.test"), 0);
}

TEST_F(WhoisProxyTest, AbortEndsAHandshakeThatNeverCompletes) {
    ServerConfig mute;
    mute.name = "mute.test";
    mute.hold = true;
    mute.silent = true;
    WhoisTestServer servers({mute});
    servers.Start();
    TWhoisCli client;
    EventLog log;
    log.Attach(client);
    client.Host = "localhost";
    client.Proxy = ProxyAt(ProxyKind::kSocks5RemoteNames, "127.0.0.1", servers.Port("mute.test"));
    client.StartQuery();
    ASSERT_TRUE(QTest::qWaitFor([&] { return servers.Connections("mute.test") == 1; }, 10000));
    SettleEventLoop();
    EXPECT_TRUE(log.events.empty());
    client.Abort();
    EXPECT_EQ(log.events, (Events{"done 0"}));
}

TEST_F(WhoisProxyTest, ReplyThatIsNotTheProtocolIs12903) {
    // A WHOIS server in the proxy's place answers the CONNECT line with text.
    WhoisTestServer servers(
        {Answering("notproxy.test", "% This is not a proxy\r\n"), Answering("jprs.test", "x")});
    servers.Start();
    TWhoisCli client;
    const EventLog log =
        Run(client, servers, "jprs.test",
            ProxyAt(ProxyKind::kHttpConnect, "127.0.0.1", servers.Port("notproxy.test")));
    EXPECT_EQ(log.events, (Events{"connected 12903", "done 12903"}));
    EXPECT_EQ(client.ProxyStatus(), 0);
}

TEST_F(WhoisProxyTest, HostMapTargetsAndLoopbackAddressesAreNeverProxied) {
    ServerConfig refusing;
    refusing.name = "noproxy.test";
    refusing.refuse = true;
    LoopbackServers servers({refusing, Answering("mapped.test", "direct\r\n")});
    const ProxyEndpoint unusable =
        ProxyAt(ProxyKind::kSocks5, "127.0.0.1", servers->Port("noproxy.test"));
    for (const char* host : {"mapped.test", "MAPPED.test", "127.0.0.1"}) {
        TWhoisCli client;
        const EventLog log = Run(client, *servers, "mapped.test", unusable, host);
        EXPECT_EQ(log.events, (Events{"connected 0", "done 0"})) << host;
        EXPECT_EQ(client.WhoisResp(), "direct\r\n") << host;
        EXPECT_FALSE(client.ThroughProxy()) << host;
    }
}

}  // namespace
}  // namespace torvane::net
