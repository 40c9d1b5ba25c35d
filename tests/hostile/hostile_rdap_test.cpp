// RDAP services that misbehave: an HTML page, plain text, raw bytes, a
// cut-off document, JSON nested 10,000 deep, a string past the size cap,
// members of the wrong type, bodies compressed unasked (a gzip bomb among
// them), redirect loops and redirects away from HTTPS. Every run ends with a
// status that says what arrived, shows text bodies, and never shows bytes
// that are no text.

#include <gtest/gtest.h>

#include "app/run/rdap_directory.h"
#include "coding_testing.h"
#include "hostile_support.h"

namespace torvane::run {
namespace {

using namespace testing;

struct RdapHostileCase {
    std::string name;
    testserver::HttpResponse response;
    std::string status;
    std::string firstShownLine;  // after the RDAP header and its empty line; empty: no block
};

TEST(HostileRdap, EveryAnswerEndsTheRunWithAStatusAndWhatArrived) {
    const std::string self = "https://rdap.verisign.com/com/v1/domain/google.com";
    const std::string huge = R"({"objectClassName":"domain","ldhName":")" +
                             std::string(net::kMaxAnswerSize, 'x') + R"("})";
    const std::string domain = R"({"objectClassName":"domain","ldhName":"GOOGLE.COM"})";
    const auto coded = [](std::string body, std::string coding) {
        return testserver::HttpResponse{
            200, std::move(body), "application/rdap+json", {{"Content-Encoding", coding}}};
    };
    std::string bytes;  // every byte value, NUL and controls among them
    for (int i = 0; i < 4096; ++i) bytes += static_cast<char>(i * 7 % 256);
    std::string badCrc = torvane::testing::Gzip(domain);
    badCrc[badCrc.size() - 5] ^= 0x01;
    const std::string cutOff = torvane::testing::Gzip(domain).substr(0, badCrc.size() - 8);
    const std::string notRdap = "rdap.verisign.com の応答は RDAP のデータではありません";
    const RdapHostileCase cases[] = {
        {"HTML with 200",
         {200, "<html><body>Blocked</body></html>\r\n", "text/html", {}},
         notRdap + " (HTML)",
         "<html><body>Blocked</body></html>"},
        {"plain text with 200",
         {200, "Service moved to https://rdap.example/\r\n", "text/plain", {}},
         notRdap + " (テキスト)",
         "Service moved to https://rdap.example/"},
        {"bytes that are no text",
         {200, bytes},
         notRdap + " (バイナリ)",
         "(バイナリデータのため表示しません: 4096 バイト)"},
        {"a cut-off document",
         {200, R"({"objectClassName":"domain","ldhName":"GOO)"},
         notRdap + " (途中で切れた JSON)",
         R"({"objectClassName":"domain","ldhName":"GOO)"},
        {"an empty body", {200, ""}, notRdap + " (空)", ""},
        {"nested 10,000 deep",
         {200, std::string(10000, '[') + std::string(10000, ']')},
         notRdap + " (RDAP 以外の JSON)",
         std::string(10000, '[') + std::string(10000, ']')},
        {"gzip unasked", coded(torvane::testing::Gzip(domain), "gzip"), "完了",
         "Domain Name: GOOGLE.COM"},
        {"zlib deflate unasked",
         coded(torvane::testing::Compressed(domain, torvane::testing::kZlibBits), "deflate"),
         "完了",
         "Domain Name: GOOGLE.COM"},
        {"raw deflate unasked",
         coded(torvane::testing::Compressed(domain, torvane::testing::kRawDeflateBits), "deflate"),
         "完了",
         "Domain Name: GOOGLE.COM"},
        // 64 KiB that inflate to 64 MiB of zeros.
        {"a gzip bomb",
         coded(torvane::testing::GzipOfZeros(64u << 20), "gzip"),
         "回答が大きすぎるため途中で打ち切りました",
         "(バイナリデータのため表示しません: 16777216 バイト)"},
        {"a coding not asked for nor known",
         coded("\x1b\x03\x00\xf8\xa5\x1f", "br"),
         "rdap.verisign.com の応答は対応していない圧縮形式です (br)",
         ""},
        {"gzip with a wrong checksum", coded(badCrc, "gzip"),
         "rdap.verisign.com の応答の圧縮データが壊れています (gzip)",
         "{rdap.verisign.com からの回答 (RDAP)}"},
        {"gzip cut off", coded(cutOff, "x-gzip"),
         "rdap.verisign.com の応答の圧縮データが途中で切れています (x-gzip)",
         "{rdap.verisign.com からの回答 (RDAP)}"},
        {"string past the cap",
         {200, huge},
         "回答が大きすぎるため途中で打ち切りました",
         huge.substr(0, net::kMaxAnswerSize)},
        {"wrong types",
         {200, R"({"objectClassName":5,"ldhName":[],"entities":"x","events":{}})"},
         "完了",
         "{rdap.verisign.com からの回答 (RDAP)}"},
        {"redirect loop",
         {302, "", "text/html", {{"Location", self}}},
         "rdap.verisign.com でエラー #12156",
         ""},
        {"redirect to http",
         {302, "", "text/html", {{"Location", "http://rdap.verisign.com/x"}}},
         "rdap.verisign.com でエラー #12040",
         ""},
    };
    for (const RdapHostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        testserver::ServerConfig registry = Server("whois.verisign-grs.com");
        registry.refuse = true;
        testserver::ServerConfig rdap = Server("rdap.verisign.com");
        rdap.http.emplace();
        rdap.http->responses = {{"/com/v1/domain/google.com", c.response}};
        RunHarness run({registry, rdap});
        TRdapDirectory directory(TORVANE_RDAP_SNAPSHOT, {}, false);
        run.controller->SetRdapDirectory(&directory);
        run.window.fallback = true;
        LoopMeter meter;
        run.window.query = "google.com";
        run.controller->QueryButtonClick();
        ASSERT_TRUE(meter.RunUntil([&] { return run.controller->Idle(); }, 60000));
        RecordStall("RDAP " + c.name, meter.LongestStallMs());
        EXPECT_EQ(run.window.Status(), c.status);
        const auto& lines = run.window.report.Lines();
        const std::string header = "{rdap.verisign.com からの回答 (RDAP)}";
        const auto at = std::find(lines.begin(), lines.end(), header);
        if (c.firstShownLine.empty()) {
            EXPECT_EQ(at, lines.end());
        } else if (c.firstShownLine.front() == '{') {
            EXPECT_NE(at, lines.end());
        } else {
            ASSERT_GE(lines.end() - at, 3);
            EXPECT_TRUE(at[2] == c.firstShownLine) << at[2].substr(0, 80);
        }
    }
}

}  // namespace
}  // namespace torvane::run
