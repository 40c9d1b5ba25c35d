// RDAP through proxies: the choice for each request, and real requests
// through Debian's tinyproxy on loopback to the HTTPS test server. Loopback is
// never proxied, so the requests through tinyproxy use the tests' switch that
// lets it be (RdapProxySource::proxy_loopback); tinyproxy's log shows that
// they went through it.

#include "net/rdap_proxy.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "net/rdap_cli.h"
#include "net/rdap_target.h"
#include "net_test_support.h"
#include "real_proxies.h"

namespace torvane::net {
namespace {

using namespace testing;

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

RdapProxySource Variables(ProxyVariables variables, bool proxy_loopback = true) {
    RdapProxySource source;
    source.variables = [variables] { return variables; };
    source.desktop = nullptr;
    source.proxy_loopback = proxy_loopback;
    return source;
}

class RdapProxyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::EnsureQtApp();
        ClearHostMap();
    }
    void TearDown() override { ClearHostMap(); }
};

TEST_F(RdapProxyTest, EachRequestGetsItsOwnChoiceAndNeverQtsDefault) {
    SetHostMap("far.test=192.0.2.7:8443");
    int desktop_asked = 0;
    const QNetworkProxy desktop_proxy(QNetworkProxy::HttpProxy, "desktop.example", 3128);
    QList<QNetworkProxy> desktop_answer;
    RdapProxySource source;
    ProxyVariables variables;
    source.variables = [&] { return variables; };
    source.desktop = [&](const QNetworkProxyQuery&) {
        ++desktop_asked;
        return desktop_answer;
    };
    const QNetworkProxy none(QNetworkProxy::NoProxy);
    const struct {
        const char* name;
        ProxyVariables variables;
        QList<QNetworkProxy> desktop;
        const char* url;
        QNetworkProxy expected;
        int desktop_asked;
    } cases[] = {
        {"https_proxy",
         {{"https_proxy", "http://u:p@p1:3128"}},
         {},
         "https://rdap.example/x",
         QNetworkProxy(QNetworkProxy::HttpProxy, "p1", 3128, "u", "p"),
         0},
        {"socks5h all_proxy",
         {{"all_proxy", "socks5h://gw"}},
         {},
         "https://rdap.example/x",
         QNetworkProxy(QNetworkProxy::Socks5Proxy, "gw", 1080),
         0},
        {"mapped elsewhere", {{"https_proxy", "http://p1"}}, {}, "https://far.test/x", none, 0},
        {"no_proxy, desktop not asked",
         {{"no_proxy", ".example"}},
         {desktop_proxy},
         "https://rdap.example/x",
         none,
         0},
        {"the desktop", {}, {desktop_proxy}, "https://rdap.example/x", desktop_proxy, 1},
        {"the desktop says direct", {}, {none, desktop_proxy}, "https://rdap.example/x", none, 1},
        {"the desktop repeating HTTP_PROXY",
         {{"HTTP_PROXY", "http://desktop.example:3128"}},
         {desktop_proxy, none},
         "https://rdap.example/x",
         none,
         1},
        {"the desktop's caching proxy is no tunnel",
         {},
         {QNetworkProxy(QNetworkProxy::HttpCachingProxy, "cache", 80), desktop_proxy},
         "https://rdap.example/x",
         desktop_proxy,
         1},
        {"the desktop's default is not Qt's",
         {},
         {QNetworkProxy(QNetworkProxy::DefaultProxy)},
         "https://rdap.example/x",
         none,
         1},
    };
    for (const auto& c : cases) {
        variables = c.variables;
        desktop_answer = c.desktop;
        desktop_asked = 0;
        const QUrl url(c.url);
        const WireRequest wire = PlanRequest(url);
        const QNetworkProxy proxy = RdapProxyFor(url, wire.url, source);
        EXPECT_EQ(proxy.type(), c.expected.type()) << c.name;
        EXPECT_EQ(proxy.hostName(), c.expected.hostName()) << c.name;
        EXPECT_EQ(proxy.port(), c.expected.port()) << c.name;
        EXPECT_EQ(proxy.user(), c.expected.user()) << c.name;
        EXPECT_EQ(proxy.password(), c.expected.password()) << c.name;
        EXPECT_EQ(desktop_asked, c.desktop_asked) << c.name;
    }
}

TEST(RdapProxyForm, SocksWithoutHIsResolvedHere) {
    const QNetworkProxy local = ToQtProxy({ProxyKind::kSocks5, "gw", 1080, "", ""});
    const QNetworkProxy remote = ToQtProxy({ProxyKind::kSocks5RemoteNames, "gw", 1080, "", ""});
    EXPECT_FALSE(local.capabilities() & QNetworkProxy::HostNameLookupCapability);
    EXPECT_TRUE(remote.capabilities() & QNetworkProxy::HostNameLookupCapability);
    for (const ProxyEndpoint& endpoint :
         {ProxyEndpoint{ProxyKind::kSocks5, "gw", 1080, "u", "p"},
          ProxyEndpoint{ProxyKind::kSocks5RemoteNames, "::1", 9050, "", ""},
          ProxyEndpoint{ProxyKind::kHttpConnect, "p1", 3128, "u", ""}}) {
        EXPECT_EQ(FromQtProxy(ToQtProxy(endpoint)), endpoint) << endpoint.Display();
    }
    EXPECT_FALSE(FromQtProxy(QNetworkProxy(QNetworkProxy::NoProxy)));
}

// The answers of the RDAP server below: example.com's domain.
HttpConfig ExampleDomain() {
    HttpConfig http;
    http.responses["/domain/example.com"] = HttpResponse{200, kDomainJson};
    return http;
}

// An HTTPS RDAP server on loopback with its certificate, and a client that
// trusts it.
struct TlsRdapServer {
    testing::TestCertificate made;
    std::unique_ptr<testserver::WhoisTestServer> server;
    bool Start(HttpConfig http) {
        if (!made.Make()) return false;
        http.tls_certificate = made.certificate.toStdString();
        http.tls_key = made.key.toStdString();
        ServerConfig config;
        config.name = "tls.test";
        config.http = std::move(http);
        server = std::make_unique<testserver::WhoisTestServer>(std::vector<ServerConfig>{config});
        server->Start();
        return true;
    }
    std::uint16_t Port() const { return server->Port("tls.test"); }
    std::string Url(const std::string& path) const {
        return "https://127.0.0.1:" + std::to_string(Port()) + path;
    }
};

TEST_F(RdapProxyTest, ThroughTinyproxyEveryHopIncluded) {
    TlsRdapServer rdap;
    HttpConfig http = ExampleDomain();
    http.responses["/old/example.com"] =
        HttpResponse{302, "", "text/plain", {{"Location", "/domain/example.com"}}};
    ASSERT_TRUE(rdap.Start(http));
    const auto proxy = testing::StartTinyproxy();

    TRdapCli client;
    client.AddTrustedCertificate(rdap.made.Certificate());
    client.SetProxySource(Variables({{"https_proxy", proxy->Url("http")}}));
    RdapLog log;
    log.Attach(client);
    client.StartQuery(rdap.Url("/old/example.com"));
    ASSERT_TRUE(log.WaitForDone(1));
    EXPECT_EQ(log.events, (Events{"connected 0", "done 0 200"}));
    EXPECT_EQ(client.Body(), kDomainJson);
    EXPECT_EQ(client.Proxy(),
              (ProxyEndpoint{ProxyKind::kHttpConnect, "127.0.0.1", proxy->Port(), "", ""}));
    // Both hops asked tinyproxy for a tunnel to the server.
    const std::string connect = "CONNECT 127.0.0.1:" + std::to_string(rdap.Port());
    EXPECT_EQ(Count(proxy->Log(), connect), 2u) << proxy->Log();
    EXPECT_EQ(rdap.server->HttpRequests("tls.test").size(), 2u);
}

TEST_F(RdapProxyTest, AProxyThatFailsEndsTheRequestWithItsOwnCode) {
    TlsRdapServer rdap;
    ASSERT_TRUE(rdap.Start(ExampleDomain()));
    const auto open = testing::StartTinyproxy();
    const auto https_only = testing::StartTinyproxy({{443}, "", ""});
    const auto with_password = testing::StartTinyproxy({{}, "alice", "secret"});
    const std::string nobody = "http://127.0.0.1:" + std::to_string(testing::FreeLoopbackPort());
    const std::string closed_server =
        "https://127.0.0.1:" + std::to_string(testing::FreeLoopbackPort()) + "/domain/example.com";

    const struct {
        const char* name;
        std::string proxy;
        std::string url;
        Events events;
    } cases[] = {
        {"nothing listens", nobody, rdap.Url("/domain/example.com"), {"done 12165 0"}},
        {"no such proxy host",
         "http://no-such-proxy.invalid:3128",
         rdap.Url("/domain/example.com"),
         {"done 12165 0"}},
        {"socks5 where nothing listens",
         "socks5h" + nobody.substr(4),
         rdap.Url("/domain/example.com"),
         {"done 12165 0"}},
        {"tunnels to 443 only",
         https_only->Url("http"),
         rdap.Url("/domain/example.com"),
         {"done 12901 0"}},
        {"credentials not given",
         with_password->Url("http"),
         rdap.Url("/domain/example.com"),
         {"done 12902 0"}},
        {"credentials given",
         "http://alice:secret@" + with_password->Url("http").substr(7),
         rdap.Url("/domain/example.com"),
         {"connected 0", "done 0 200"}},
        // tinyproxy answers 500 for a server it cannot reach.
        {"the server behind it is down", open->Url("http"), closed_server, {"done 12901 0"}},
    };
    for (const auto& c : cases) {
        TRdapCli client;
        client.AddTrustedCertificate(rdap.made.Certificate());
        client.SetProxySource(Variables({{"https_proxy", c.proxy}}));
        RdapLog log;
        log.Attach(client);
        client.StartQuery(c.url);
        ASSERT_TRUE(log.WaitForDone(1)) << c.name;
        EXPECT_EQ(log.events, c.events) << c.name;
        testing::SettleEventLoop();
        EXPECT_EQ(log.done, 1) << c.name;
    }
    EXPECT_NE(https_only->Log().find("CONNECT 127.0.0.1:" + std::to_string(rdap.Port())),
              std::string::npos)
        << https_only->Log();
}

TEST_F(RdapProxyTest, NoProxyAndTheDesktopAreHonoured) {
    TlsRdapServer rdap;
    ASSERT_TRUE(rdap.Start(ExampleDomain()));
    const auto proxy = testing::StartTinyproxy();
    const std::string nobody = "http://127.0.0.1:" + std::to_string(testing::FreeLoopbackPort());
    const std::string connect = "CONNECT 127.0.0.1:" + std::to_string(rdap.Port());
    const QNetworkProxy desktop(QNetworkProxy::HttpProxy, "127.0.0.1", proxy->Port());

    const struct {
        const char* name;
        ProxyVariables variables;
        bool desktop_names_tinyproxy;
        bool through_tinyproxy;
    } cases[] = {
        // A proxy that would fail shows that it was not asked.
        {"no_proxy covers the server",
         {{"https_proxy", nobody}, {"no_proxy", "127.0.0.0/8"}},
         false,
         false},
        {"the desktop's proxy", {}, true, true},
        {"no_proxy before the desktop", {{"NO_PROXY", "127.0.0.1"}}, true, false},
    };
    for (const auto& c : cases) {
        const std::size_t before = Count(proxy->Log(), connect);
        TRdapCli client;
        client.AddTrustedCertificate(rdap.made.Certificate());
        RdapProxySource source = Variables(c.variables);
        if (c.desktop_names_tinyproxy) {
            source.desktop = [desktop](const QNetworkProxyQuery&) {
                return QList<QNetworkProxy>{desktop};
            };
        }
        client.SetProxySource(source);
        RdapLog log;
        log.Attach(client);
        client.StartQuery(rdap.Url("/domain/example.com"));
        ASSERT_TRUE(log.WaitForDone(1)) << c.name;
        EXPECT_EQ(log.events, (Events{"connected 0", "done 0 200"})) << c.name;
        EXPECT_EQ(client.Proxy().has_value(), c.through_tinyproxy) << c.name;
        EXPECT_EQ(Count(proxy->Log(), connect) - before, c.through_tinyproxy ? 1u : 0u) << c.name;
    }
}

// HTTP_PROXY may come from a web request's "Proxy:" header. Qt's system proxy
// reads it for https too; the default source must not follow it.
TEST_F(RdapProxyTest, TheDefaultSourceIgnoresUppercaseHttpProxy) {
    TlsRdapServer rdap;
    ASSERT_TRUE(rdap.Start(ExampleDomain()));
    const std::string nobody = "http://127.0.0.1:" + std::to_string(testing::FreeLoopbackPort());
    for (const char* name : {"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy",
                             "NO_PROXY", "http_proxy"}) {
        ::unsetenv(name);
    }
    ::setenv("HTTP_PROXY", nobody.c_str(), 1);
    TRdapCli client;
    client.AddTrustedCertificate(rdap.made.Certificate());
    RdapProxySource source;  // the environment and the desktop, as the program has them
    source.proxy_loopback = true;
    client.SetProxySource(source);
    RdapLog log;
    log.Attach(client);
    client.StartQuery(rdap.Url("/domain/example.com"));
    const bool done = log.WaitForDone(1);
    ::unsetenv("HTTP_PROXY");
    ASSERT_TRUE(done);
    EXPECT_EQ(log.events, (Events{"connected 0", "done 0 200"}));
    EXPECT_FALSE(client.Proxy());
}

}  // namespace
}  // namespace torvane::net
