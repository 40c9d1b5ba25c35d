// The test server's HTTP side: requests, the file mapping, the choice of
// response, and its options.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "blocking_client.h"
#include "http_message.h"
#include "options.h"
#include "whois_test_server.h"

namespace torvane::testserver {
namespace {

namespace fs = std::filesystem;
using testing::Ask;

TEST(HttpMessage, ParsesTheRequestHead) {
    for (const std::string end : {"\r\n", "\n"}) {
        const std::string head = "GET /domain/a.com?x=1 HTTP/1.1" + end + "Host: h" + end +
                                 "ACCEPT:  application/rdap+json " + end + end;
        EXPECT_EQ(RequestHeadEnd(head + "body"), head.size());
        const auto request = ParseRequestHead(head);
        ASSERT_TRUE(request);
        EXPECT_EQ(request->method, "GET");
        EXPECT_EQ(request->target, "/domain/a.com?x=1");
        EXPECT_EQ(request->path, "/domain/a.com");
        EXPECT_EQ(request->headers.at("accept"), "application/rdap+json");
    }
    EXPECT_EQ(RequestHeadEnd("GET / HTTP/1.1\r\n"), std::string::npos);
    for (const char* bad : {"", "GET\r\n\r\n", "GET /\r\n\r\n"})
        EXPECT_FALSE(ParseRequestHead(bad)) << bad;
}

TEST(HttpMessage, OnlySafePathsNameAFile) {
    const fs::path dir = "/srv/rdap";
    const struct {
        std::string path;
        std::optional<fs::path> file;
    } cases[] = {
        {"/domain/google.com", dir / "domain" / "google.com"},
        {"/help", dir / "help"},
        {"/", std::nullopt},
        {"/domain/../../etc/passwd", std::nullopt},
        {"/domain/./x", std::nullopt},
        {"/domain//x", std::nullopt},
        {"/domain/", std::nullopt},
        {"/a\\..\\b", std::nullopt},
        {std::string("/a\0b", 4), std::nullopt},
        {"domain/x", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(FileForPath(dir, c.path), c.file) << c.path;
}

TEST(HttpServer, AnswersByPathThenFileThenDefault) {
    const fs::path dir = fs::temp_directory_path() / ("http-test-" + std::to_string(::getpid()));
    fs::create_directories(dir / "domain");
    std::ofstream(dir / "domain" / "exact.com", std::ios::binary) << "exact";
    std::ofstream(dir / "domain" / "suffix.com.json", std::ios::binary) << "suffix";
    ServerConfig config;
    config.name = "rdap";
    config.http.emplace();
    config.http->responses["/domain/exact.com"] = HttpResponse{200, "by path"};
    config.http->files_dir = dir;
    WhoisTestServer server({config});
    server.Start();
    const auto get = [&](const std::string& path) {
        return Ask(server.Port("rdap"),
                   "GET " + path + " HTTP/1.1\r\nAccept: application/rdap+json\r\n\r\n")
            .answer;
    };
    const std::string head =
        "HTTP/1.1 200 OK\r\nContent-Type: application/rdap+json\r\n"
        "Content-Length: 7\r\nConnection: close\r\n\r\n";
    EXPECT_EQ(get("/domain/exact.com"), head + "by path");
    EXPECT_EQ(get("/domain/suffix.com?q"), ResponseHead(HttpResponse{}, 6) + "suffix");
    EXPECT_EQ(get("/domain/../domain/exact.com.x"),
              ResponseHead(RdapNotFound(), RdapNotFound().body.size()) + RdapNotFound().body);
    const auto requests = server.HttpRequests("rdap");
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[1].target, "/domain/suffix.com?q");
    EXPECT_EQ(requests[1].headers.at("accept"), "application/rdap+json");
    fs::remove_all(dir);
}

TEST(HttpServer, RefusesToStartWithAnUnusableCertificate) {
    ServerConfig config;
    config.name = "tls";
    config.http.emplace();
    config.http->tls_certificate = "/nonexistent/cert.pem";
    config.http->tls_key = "/nonexistent/key.pem";
    WhoisTestServer server({config});
    EXPECT_THROW(server.Start(), std::runtime_error);
}

TEST(ProgramOptions, HttpOptionsMakeAnHttpServer) {
    const auto options = ParseArguments(
        {"--server", "whois.a", "--server", "rdap.b", "--files-dir", "/srv", "--response",
         R"(/help=200:{"x":1}\n)", "--response-header", "/busy=Retry-After: 30", "--response",
         "/busy=429:{}", "--redirect", "/old=https://rdap.b/new", "--default-response",
         "503:busy", "--tls-cert", "c.pem", "--tls-key", "k.pem", "--server", "rdap.c", "--http"});
    ASSERT_EQ(options.servers.size(), 3u);
    EXPECT_FALSE(options.servers[0].http);
    ASSERT_TRUE(options.servers[1].http);
    const HttpConfig& http = *options.servers[1].http;
    EXPECT_EQ(http.files_dir, fs::path("/srv"));
    EXPECT_EQ(http.responses.at("/help").body, "{\"x\":1}\n");
    EXPECT_EQ(http.responses.at("/old").status, 302);
    EXPECT_EQ(
        http.responses.at("/old").headers,
        (std::vector<std::pair<std::string, std::string>>{{"Location", "https://rdap.b/new"}}));
    EXPECT_EQ(http.responses.at("/busy").status, 429);
    EXPECT_EQ(http.responses.at("/busy").headers,
              (std::vector<std::pair<std::string, std::string>>{{"Retry-After", "30"}}));
    EXPECT_EQ(http.default_response.status, 503);
    EXPECT_EQ(http.tls_certificate, fs::path("c.pem"));
    EXPECT_EQ(http.tls_key, fs::path("k.pem"));
    EXPECT_TRUE(options.servers[2].http);
    EXPECT_THROW(ParseArguments({"--server", "a", "--response-header", "/p=no-colon"}),
                 std::invalid_argument);
    for (const char* bad : {"x", "99:x", "200"})
        EXPECT_THROW(ParseArguments({"--server", "a", "--default-response", bad}),
                     std::invalid_argument)
            << bad;
}

TEST(ProgramOptions, ResponsesTakeAMediaTypeAndHeaders) {
    const auto options = ParseArguments(
        {"--server", "rdap.b", "--response", "/moved=200:<html>moved</html>", "--response-type",
         "/moved=text/html", "--response-header", "/moved=Content-Encoding: gzip",
         "--response-header", "/moved=Retry-After:30", "--response-type", "/bare="});
    const HttpConfig& http = *options.servers.at(0).http;
    EXPECT_EQ(http.responses.at("/moved").content_type, "text/html");
    EXPECT_EQ(http.responses.at("/moved").headers,
              (std::vector<std::pair<std::string, std::string>>{{"Content-Encoding", "gzip"},
                                                                {"Retry-After", "30"}}));
    EXPECT_EQ(http.responses.at("/bare").content_type, "");
    for (const char* bad : {"/x", "/x=gzip", "/x=:gzip"})
        EXPECT_THROW(ParseArguments({"--server", "a", "--response-header", bad}),
                     std::invalid_argument)
            << bad;
}

}  // namespace
}  // namespace torvane::testserver
