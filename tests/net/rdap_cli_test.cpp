// TRdapCli against the loopback test server speaking HTTP and HTTPS: one
// request per behaviour, through the host map as the run and the demo use it.

#include "net/rdap_cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "coding_testing.h"
#include "net/rdap_target.h"
#include "net_test_support.h"

namespace torvane::net {
namespace {

using namespace std::chrono_literals;
using namespace testing;

ServerConfig Http(std::string name, HttpConfig http = {}) {
    ServerConfig config;
    config.name = std::move(name);
    config.http = std::move(http);
    return config;
}

HttpResponse Redirect(std::string location) {
    return HttpResponse{302, "", "text/plain", {{"Location", std::move(location)}}};
}

class RdapCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::EnsureQtApp();
        ClearHostMap();
    }
    void TearDown() override { ClearHostMap(); }
};

TEST_F(RdapCliTest, EachBehaviourEndsInOneCompletion) {
    HttpConfig rdap;
    rdap.responses["/domain/example.com"] = HttpResponse{200, kDomainJson};
    rdap.responses["/old/example.com"] = Redirect("https://moved.test/domain/example.com");
    rdap.responses["/relative"] = Redirect("/domain/example.com");
    rdap.responses["/to-http"] = Redirect("http://rdap.test/domain/example.com");
    rdap.responses["/to-ftp"] = Redirect("ftp://rdap.test/domain/example.com");
    rdap.responses["/loop"] = Redirect("https://rdap.test/loop");
    HttpConfig bigConfig;
    bigConfig.responses = {{"/", HttpResponse{200, "0123456789"}}};
    ServerConfig big = Http("big.test", bigConfig);
    big.repeat_to_size = kMaxAnswerSize + 10000;
    ServerConfig silent = Http("silent.test");
    silent.silent = silent.hold = true;
    ServerConfig refused = Http("refused.test");
    refused.refuse = true;
    ServerConfig reset = Http("reset.test");
    reset.silent = reset.reset = true;
    LoopbackServers servers(
        {Http("rdap.test", rdap), Http("moved.test", rdap), big, silent, refused, reset});

    const struct {
        const char* url;
        std::chrono::milliseconds timeout;
        Events events;
        std::string final_url;
        std::size_t body_size;
        std::string body_start = "";
    } cases[] = {
        {"https://rdap.test/domain/example.com",
         10s,
         {"connected 0", "done 0 200"},
         "https://rdap.test/domain/example.com",
         kDomainJson.size(),
         kDomainJson},
        {"https://rdap.test/domain/nothing.com",
         10s,
         {"connected 0", "done 0 404"},
         "https://rdap.test/domain/nothing.com",
         testserver::RdapNotFound().body.size(),
         R"({"errorCode":404)"},
        {"https://rdap.test/old/example.com",
         10s,
         {"connected 0", "done 0 200"},
         "https://moved.test/domain/example.com",
         kDomainJson.size()},
        {"https://rdap.test/relative",
         10s,
         {"connected 0", "done 0 200"},
         "https://rdap.test/domain/example.com",
         kDomainJson.size()},
        {"https://rdap.test/to-http",
         10s,
         {"connected 0", "done 12040 302"},
         "https://rdap.test/to-http",
         0},
        {"https://rdap.test/to-ftp",
         10s,
         {"connected 0", "done 12040 302"},
         "https://rdap.test/to-ftp",
         0},
        {"https://rdap.test/loop",
         10s,
         {"connected 0", "done 12156 302"},
         "https://rdap.test/loop",
         0},
        {"https://big.test/",
         10s,
         {"connected 0", "done 0 200"},
         "https://big.test/",
         kMaxAnswerSize,
         "01234567890123456789"},
        {"https://silent.test/x",
         300ms,
         {"connected 0", "done 10060 0"},
         "https://silent.test/x",
         0},
        {"https://refused.test/x", 10s, {"done 10061 0"}, "https://refused.test/x", 0},
        {"https://reset.test/x", 10s, {"connected 0", "done 10054 0"}, "https://reset.test/x", 0},
        // Not mapped, so a real host: plain HTTP is refused before any
        // connection.
        {"http://rdap.example/x", 10s, {"done 12006 0"}, "http://rdap.example/x", 0},
        {"not a url", 10s, {"done 12005 0"}, "not a url", 0},
    };
    // One client for all: a stray second completion of one case would show
    // up among the next case's events.
    TRdapCli client;
    RdapLog log;
    log.Attach(client);
    int done = 0;
    for (const auto& c : cases) {
        log.events.clear();
        client.SetTimeout(c.timeout);
        client.StartQuery(c.url);
        ASSERT_TRUE(log.WaitForDone(++done)) << c.url;
        EXPECT_EQ(log.events, c.events) << c.url;
        EXPECT_EQ(client.FinalUrl(), c.final_url) << c.url;
        EXPECT_EQ(client.Body().size(), c.body_size) << c.url;
        EXPECT_EQ(client.Body().substr(0, c.body_start.size()), c.body_start) << c.url;
        EXPECT_EQ(client.Truncated(), c.body_size == kMaxAnswerSize) << c.url;
    }

    const auto requests = servers->HttpRequests("rdap.test");
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/domain/example.com");
    EXPECT_EQ(requests[0].headers.at("accept"), "application/rdap+json");
    EXPECT_EQ(requests[0].headers.at("accept-encoding"), "identity");
    // The first request of the loop and five redirects.
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                            [](const auto& r) { return r.path == "/loop"; }),
              1 + TRdapCli::kMaxRedirects);
}

std::string ReadCoded(const std::string& suffix) {
    QFile file(QString::fromStdString(std::string(TORVANE_TEST_DATA) +
                                      "/rdap/coded/rdap.verisign.com__domain_google.com_2021.json" +
                                      suffix));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

HttpResponse Coded(std::string body, std::string coding, int status = 200) {
    return HttpResponse{
        status, std::move(body), "application/rdap+json", {{"Content-Encoding", std::move(coding)}}};
}

// A server that compresses though identity was asked for is decoded, with
// the cap on the decoded size; what cannot be decoded ends with 12175 and
// says why, never with the coded bytes as the body.
TEST_F(RdapCliTest, CodedBodiesAreDecodedUnderTheCapOrEndWith12175) {
    QFile plain(TORVANE_TEST_DATA "/rdap/answers/rdap.verisign.com__domain_google.com_2021.json");
    ASSERT_TRUE(plain.open(QIODevice::ReadOnly));
    const std::string answer = plain.readAll().toStdString();
    const std::string gzip = ReadCoded(".gz");
    std::string badCrc = gzip;
    badCrc[badCrc.size() - 5] ^= 0x01;
    HttpConfig rdap;
    rdap.responses = {
        {"/gzip", Coded(gzip, "gzip")},
        {"/zlib", Coded(ReadCoded(".zlib"), "deflate")},
        {"/404", Coded(torvane::testing::Gzip(testserver::RdapNotFound().body), "gzip", 404)},
        {"/bomb", Coded(torvane::testing::GzipOfZeros(64u << 20), "gzip")},
        {"/br", Coded("\x1b\x03", "br")},
        {"/corrupt", Coded(badCrc, "gzip")},
        {"/cut", Coded(gzip.substr(0, gzip.size() / 2), "gzip")},
        // A followed redirect's body is never decoded: its coding is no fault.
        {"/moved", HttpResponse{302, "\x01\x02", "text/html",
                                {{"Location", "/gzip"}, {"Content-Encoding", "br"}}}},
    };
    rdap.responses["/gzip"].content_type = "application/rdap+json; charset=utf-8";
    LoopbackServers servers({Http("rdap.test", rdap)});
    using rdap::CodingFault;
    const struct {
        const char* path;
        ErrorCode code;
        CodingFault fault;
        std::string body;  // empty: see size
        std::size_t size = 0;
    } cases[] = {
        {"/gzip", kNoError, CodingFault::kNone, answer},
        {"/zlib", kNoError, CodingFault::kNone, answer},
        {"/404", kNoError, CodingFault::kNone, testserver::RdapNotFound().body},
        {"/bomb", kNoError, CodingFault::kNone, "", kMaxAnswerSize},
        {"/br", kInetDecodingFailed, CodingFault::kUnknownCoding, "", 0},
        {"/corrupt", kInetDecodingFailed, CodingFault::kCorrupt, answer},
        {"/cut", kInetDecodingFailed, CodingFault::kCutOff, "", 0},
        {"/moved", kNoError, CodingFault::kNone, answer},
    };
    TRdapCli client;
    RdapLog log;
    log.Attach(client);
    int done = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        client.StartQuery(std::string("https://rdap.test") + c.path);
        ASSERT_TRUE(log.WaitForDone(++done));
        EXPECT_EQ(log.events.back().rfind("done " + std::to_string(c.code) + " ", 0), 0u)
            << log.events.back();
        EXPECT_EQ(client.Fault(), c.fault);
        if (!c.body.empty()) {
            EXPECT_TRUE(client.Body() == c.body) << client.Body().substr(0, 80);
        } else if (c.fault == CodingFault::kCutOff) {
            // What decoded before the end is the answer's beginning.
            EXPECT_TRUE(answer.starts_with(client.Body()));
        } else {
            EXPECT_EQ(client.Body().size(), c.size);
        }
        EXPECT_EQ(client.Truncated(), c.size == kMaxAnswerSize && c.body.empty() &&
                                          c.fault == CodingFault::kNone);
    }
    EXPECT_EQ(client.ContentType(), "application/rdap+json; charset=utf-8");
    EXPECT_EQ(client.ContentEncoding(), "gzip");
    client.StartQuery("https://rdap.test/br");
    ASSERT_TRUE(log.WaitForDone(++done));
    EXPECT_EQ(client.ContentEncoding(), "br");
    for (const auto& request : servers->HttpRequests("rdap.test"))
        EXPECT_EQ(request.headers.at("accept-encoding"), "identity") << request.path;
}

TEST_F(RdapCliTest, AbortCompletesInsideTheCallWithWhatArrived) {
    ServerConfig silent = Http("silent.test");
    silent.silent = silent.hold = true;
    LoopbackServers servers({silent});
    TRdapCli client;
    RdapLog log;
    log.Attach(client);
    client.StartQuery("https://silent.test/domain/example.com");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !log.events.empty(); }, 20000));
    client.Abort();
    EXPECT_EQ(log.events, (Events{"connected 0", "done 10004 0"}));
    EXPECT_FALSE(client.Busy());
    client.Abort();  // idle: nothing
    EXPECT_EQ(log.done, 1);
}

TEST_F(RdapCliTest, DestroyedWhileRunningRaisesNothing) {
    ServerConfig silent = Http("silent.test");
    silent.silent = silent.hold = true;
    LoopbackServers servers({silent, Http("rdap.test")});
    RdapLog log;
    {
        TRdapCli client;
        log.Attach(client);
        client.StartQuery("https://silent.test/x");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !log.events.empty(); }, 20000));
    }
    // A later request of another client completes; the destroyed one's
    // completion would have come before it.
    TRdapCli other;
    RdapLog other_log;
    other_log.Attach(other);
    other.StartQuery("https://rdap.test/domain/example.com");
    ASSERT_TRUE(other_log.WaitForDone(1));
    EXPECT_EQ(other_log.events, (Events{"connected 0", "done 0 404"}));
    EXPECT_EQ(log.events, (Events{"connected 0"}));
}

TEST_F(RdapCliTest, RealTlsWorksOnlyWithTheCertificateTrusted) {
    testing::TestCertificate made;
    ASSERT_TRUE(made.Make());
    HttpConfig https;
    https.responses["/domain/example.com"] = HttpResponse{200, kDomainJson};
    https.tls_certificate = made.certificate.toStdString();
    https.tls_key = made.key.toStdString();
    testserver::WhoisTestServer server({Http("tls.test", https)});
    server.Start();
    const std::string url =
        "https://127.0.0.1:" + std::to_string(server.Port("tls.test")) + "/domain/example.com";
    const QSslCertificate certificate = made.Certificate();

    for (const bool trusted : {true, false}) {
        TRdapCli client;
        if (trusted) client.AddTrustedCertificate(certificate);
        RdapLog log;
        log.Attach(client);
        client.StartQuery(url);
        ASSERT_TRUE(log.WaitForDone(1));
        const Events expected =
            trusted ? Events{"connected 0", "done 0 200"} : Events{"done 12157 0"};
        EXPECT_EQ(log.events, expected);
        EXPECT_EQ(client.Body(), trusted ? kDomainJson : "");
    }
    EXPECT_EQ(server.HttpRequests("tls.test").size(), 1u);
}

TEST_F(RdapCliTest, FetchBodyGivesTheBodyOnlyFor200) {
    HttpConfig files;
    files.responses["/dns.json"] = HttpResponse{200, R"({"services":[]})"};
    LoopbackServers servers({Http("data.test", files)});
    std::vector<std::optional<std::string>> got;
    auto found = FetchBody("https://data.test/dns.json", [&](auto body) { got.push_back(body); });
    auto missing =
        FetchBody("https://data.test/none.json", [&](auto body) { got.push_back(body); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return got.size() == 2; }, 20000));
    EXPECT_EQ(std::count(got.begin(), got.end(), std::optional<std::string>(R"({"services":[]})")),
              1);
    EXPECT_EQ(std::count(got.begin(), got.end(), std::nullopt), 1);
}

TEST(RdapTarget, OnlyLoopbackIsAskedWithoutTls) {
    ClearHostMap();
    SetHostMap("rdap.test=127.0.0.1:4080,far.test=192.0.2.7:8443,named.test=localhost");
    const struct {
        const char* url;
        ErrorCode error;
        const char* wire;
        const char* verify_name;
    } cases[] = {
        {"https://rdap.test/domain/a.com?x=1", 0, "http://127.0.0.1:4080/domain/a.com?x=1", ""},
        {"http://rdap.test/a", 0, "http://127.0.0.1:4080/a", ""},
        {"https://RDAP.TEST/a", 0, "http://127.0.0.1:4080/a", ""},
        {"https://named.test:99/a", 0, "http://localhost:99/a", ""},
        {"https://far.test/a", 0, "https://192.0.2.7:8443/a", "far.test"},
        {"http://far.test/a", kInetSchemeNotAllowed, "", ""},
        {"https://rdap.example/a", 0, "https://rdap.example/a", ""},
        {"http://rdap.example/a", kInetSchemeNotAllowed, "", ""},
        {"http://127.0.0.1:8080/a", 0, "http://127.0.0.1:8080/a", ""},
        {"http://[::1]/a", 0, "http://[::1]/a", ""},
        {"ftp://rdap.example/a", kInetSchemeNotAllowed, "", ""},
        {"/domain/a.com", kInetInvalidUrl, "", ""},
    };
    for (const auto& c : cases) {
        const WireRequest wire = PlanRequest(QUrl(c.url));
        EXPECT_EQ(wire.error, c.error) << c.url;
        EXPECT_EQ(wire.url.toString().toStdString(), c.wire) << c.url;
        EXPECT_EQ(wire.verify_name.toStdString(), c.verify_name) << c.url;
    }
    ClearHostMap();
}

}  // namespace
}  // namespace torvane::net
