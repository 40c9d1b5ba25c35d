// RDAP services that misbehave: an HTML page, JSON nested 10,000 deep, a
// string past the size cap, members of the wrong type, redirect loops and
// redirects away from HTTPS. Every run ends with a status and shows what
// arrived, without a crash.

#include <gtest/gtest.h>

#include "app/run/rdap_directory.h"
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
    const RdapHostileCase cases[] = {
        {"HTML with 200",
         {200, "<html><body>Blocked</body></html>\r\n", "text/html", {}},
         "完了",
         "<html><body>Blocked</body></html>"},
        {"nested 10,000 deep",
         {200, std::string(10000, '[') + std::string(10000, ']')},
         "完了",
         std::string(10000, '[') + std::string(10000, ']')},
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
