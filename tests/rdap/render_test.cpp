// Real RDAP answers against reviewed renderings (tests/data/rdap/golden, UTF-8;
// TORVANE_UPDATE_GOLDEN=1 rewrites them), and hostile answers.
#include "rdap/render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "rdap_test_data.h"

namespace torvane::rdap {
namespace {

namespace fs = std::filesystem;
using torvane::testing::kRdapData;
using torvane::testing::ReadFile;

std::string Golden(const RdapRendering& rendering) {
    std::string text;
    for (const std::string& line : rendering.lines) text += line + "\n";
    text += "== related: " + rendering.relatedUrl.value_or("(none)") + "\n";
    return text;
}

TEST(RdapRender, RealAnswersMatchGoldenFiles) {
    const bool update = std::getenv("TORVANE_UPDATE_GOLDEN") != nullptr;
    std::vector<fs::path> answers;
    for (const auto& entry : fs::directory_iterator(kRdapData / "answers")) answers.push_back(entry.path());
    std::ranges::sort(answers);
    ASSERT_GE(answers.size(), 9u);
    for (const fs::path& answer : answers) {
        SCOPED_TRACE(answer.filename().string());
        const auto rendering = RenderRdap(ReadFile(answer));
        ASSERT_TRUE(rendering.has_value());
        const std::string actual = Golden(*rendering);
        const fs::path golden = kRdapData / "golden" / answer.filename().replace_extension(".txt");
        if (update) {
            std::ofstream(golden, std::ios::binary) << actual;
            continue;
        }
        ASSERT_TRUE(fs::exists(golden)) << golden;
        if (actual != ReadFile(golden)) {
            const fs::path dump = fs::current_path() / (answer.stem().string() + ".actual");
            std::ofstream(dump, std::ios::binary) << actual;
            ADD_FAILURE() << "rendering differs from " << golden << "; actual in " << dump;
        }
    }
}

TEST(RdapRender, TheErrorCodeIsTheTopLevelIntegerOfASmallObject) {
    const std::pair<std::string, std::optional<long long>> cases[] = {
        {R"({"errorCode":429,"title":"Too Many Requests"})", 429},
        {R"({"objectClassName":"domain","errorCode":404})", 404},
        {R"({"errorCode":"429"})", std::nullopt},
        {R"({"errorCode":429.5})", std::nullopt},
        {R"({"notices":[{"errorCode":429}]})", std::nullopt},
        {R"([{"errorCode":429}])", std::nullopt},
        {"<html>429 Too Many Requests</html>", std::nullopt},
        {R"({"errorCode":429,"pad":")" + std::string(kMaxErrorAnswerSize, 'x') + "\"}",
         std::nullopt},
        {R"({"errorCode":429,"x":)" + std::string(kMaxAnswerDepth, '[') +
             std::string(kMaxAnswerDepth, ']') + "}",
         std::nullopt},
    };
    for (const auto& [json, code] : cases) {
        SCOPED_TRACE(json.substr(0, 60));
        EXPECT_EQ(RdapErrorCode(json), code);
    }
}

TEST(RdapRender, NotAnObjectGivesNothing) {
    for (const char* text : {"", "<html><body>Not found</body></html>", "[1, 2]", "\"x\"", "{\"a\": ",
                             "{\"a\": 1} trailing"}) {
        EXPECT_FALSE(RenderRdap(text).has_value()) << text;
    }
}

TEST(RdapRender, DeepNestingIsRefusedAndJustDeepEnoughIsRendered) {
    const auto nested = [](std::size_t depth) {
        return "{\"objectClassName\":\"domain\",\"ldhName\":\"A.EXAMPLE\",\"x\":" + std::string(depth - 1, '[') +
               std::string(depth - 1, ']') + "}";
    };
    EXPECT_FALSE(RenderRdap(nested(10000)).has_value());
    const auto rendering = RenderRdap(nested(kMaxAnswerDepth));
    ASSERT_TRUE(rendering.has_value());
    EXPECT_EQ(rendering->lines, std::vector<std::string>{"Domain Name: A.EXAMPLE"});
}

TEST(RdapRender, WrongTypesAreSkipped) {
    const std::string answer = R"({"objectClassName": "domain", "ldhName": 7, "handle": ["H"],
        "status": [1, "active", null], "events": [3, {"eventAction": []}, {"eventAction": "registration",
        "eventDate": "2001-01-01T00:00:00Z"}], "nameservers": {"ldhName": "NS"}, "secureDNS": [],
        "entities": [1, {"roles": "registrar", "vcardArray": ["vcard", [["fn"], ["email", {}, "text", 5],
        ["tel", 3, "text", "tel:+1"], ["adr", {"label": 4}, "text", [["a", "b"], 9, "", "c"]]]]}],
        "links": [{"href": 1}, {"rel": "related", "href": "https://r.example/d", "type": "text/html"}],
        "remarks": "r", "notices": [{"title": 5, "description": ["n"]}], "port43": {}})";
    const auto rendering = RenderRdap(answer);
    ASSERT_TRUE(rendering.has_value());
    const std::vector<std::string> expected = {
        "Status: active",
        "Event registration: 2001-01-01T00:00:00Z",
        "Link (related): https://r.example/d",
        "",
        "Entity:",
        "  Phone: tel:+1",
        "  Address: a, b, c",
        "",
        "Notice: n",
    };
    EXPECT_EQ(rendering->lines, expected);
    EXPECT_FALSE(rendering->relatedUrl.has_value());
}

TEST(RdapRender, TextIsUtf8AndCannotForgeLinesOrReferrals) {
    // Invalid UTF-8, a character CP932 lacks (U+1F600, kept), a line break
    // and a referral marker inside values.
    const std::string answer = "{\"objectClassName\": \"entity\", \"handle\": \"H\xff\", \"vcardArray\": "
                               "[\"vcard\", [[\"fn\", {}, \"text\", \"\xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80\"]]],"
                               " \"remarks\": [{\"description\": [\"a\\nWhois Server: evil.example\"]}]}";
    const auto rendering = RenderRdap(answer);
    ASSERT_TRUE(rendering.has_value());
    const std::vector<std::string> expected = {
        "Entity: \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80",
        "  Handle: H\xef\xbf\xbd",
        "  Remark: a",
        "  Remark: Whois Server : evil.example",
    };
    EXPECT_EQ(rendering->lines, expected);
}

TEST(RdapRender, HugeAnswersStayBounded) {
    std::string many = "{\"status\": [";
    for (std::size_t i = 0; i < kMaxRenderedLines + 10; ++i) many += "\"s\",";
    many += "\"s\"]}";
    const auto cut = RenderRdap(many);
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(cut->lines.size(), kMaxRenderedLines + 1);
    EXPECT_EQ(cut->lines.back(), kCutLine);

    const std::string big(16 * 1024 * 1024, 'x');
    const auto huge = RenderRdap("{\"handle\": \"" + big + "\"}");
    ASSERT_TRUE(huge.has_value());
    EXPECT_EQ(huge->lines, std::vector<std::string>{"Handle: " + big});
}

}  // namespace
}  // namespace torvane::rdap
