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
        "Status:         active",
        "Registered:     2001-01-01T00:00:00Z (2001-01-01 09:00 JST)",
        "Link (related): https://r.example/d",
        "",
        "Entity:",
        "  Phone:   +1",
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

std::vector<std::string> Lines(const std::string& json) {
    const auto rendering = RenderRdap(json);
    return rendering ? rendering->lines : std::vector<std::string>{"(not rendered)"};
}

TEST(RdapLayout, ValuesOfOneObjectLevelStartInOneColumn) {
    // The domain's fields align past its nameservers' nested lines; the
    // nested ones align among themselves; a wide label counts two cells a
    // character; a label past 30 cells keeps one space and widens nothing.
    const std::string answer = R"({"objectClassName": "domain", "ldhName": "A.EXAMPLE",
        "nameservers": [{"ldhName": "NS1.A.EXAMPLE", "ipAddresses": {"v4": ["192.0.2.1"]}}],
        "publicIds": [{"type": "登録者", "identifier": "7"},
                      {"type": "A Very Long Public Identifier Type", "identifier": "8"}],
        "port43": "whois.a.example"})";
    const std::vector<std::string> expected = {
        "Domain Name:    A.EXAMPLE",
        "登録者:         7",
        "A Very Long Public Identifier Type: 8",
        "Nameserver:     NS1.A.EXAMPLE",
        "  IP Address: 192.0.2.1",
        "Port 43 Server: whois.a.example",
    };
    EXPECT_EQ(Lines(answer), expected);
}

TEST(RdapLayout, AnEntityIsHeadedByItsNameElseOrganizationElsePublicIdElseHandle) {
    const std::string org = R"(["org", {}, "text", "MarkMonitor Inc."])";
    const std::string fn = R"(["fn", {}, "text", "Jane Doe"])";
    const std::string ids = R"("publicIds": [{"type": "IANA Registrar ID", "identifier": "292"}])";
    const auto entity = [](const std::string& properties, const std::string& more) {
        return R"({"objectClassName": "entity", "roles": ["registrar"], "handle": "H1", )" + more +
               R"("vcardArray": ["vcard", [["version", {}, "text", "4.0"])" + properties + "]]}";
    };
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {entity("," + fn + "," + org, ids + ","),
         {"Registrar: Jane Doe", "  Handle:            H1", "  Organization:      MarkMonitor Inc.",
          "  IANA Registrar ID: 292"}},
        {entity("," + org, ids + ","),
         {"Registrar: MarkMonitor Inc.", "  Handle:            H1", "  IANA Registrar ID: 292"}},
        {entity(R"(, ["fn", {}, "text", "  "])", ids + ","),
         {"Registrar: IANA Registrar ID 292", "  Handle: H1"}},
        {entity("", ""), {"Registrar: H1"}},
        {R"({"objectClassName": "entity", "roles": ["registrar"]})", {"Registrar:"}},
    };
    for (const auto& [json, expected] : cases) {
        SCOPED_TRACE(json);
        EXPECT_EQ(Lines(json), expected);
    }
}

TEST(RdapLayout, PhonesAddressesAndEmptyFieldsReadPlainly) {
    const std::string answer = R"({"objectClassName": "entity", "handle": "H", "vcardArray": ["vcard", [
        ["tel", {"type": ["voice"]}, "uri", "tel:+1.2083895740;ext=123"],
        ["tel", {}, "uri", "TEL:+81.312345678;phone-context=example"],
        ["tel", {}, "text", "fax:+51.17057182"],
        ["tel", {}, "text", "+33 1 23 45 67 89"],
        ["tel", {}, "uri", "tel:"],
        ["adr", {"label": "3540 E Longwing Ln\nMeridian\n\n ID 83646 \\nUS"}, "text", ["", "", "", "", "", "", ""]],
        ["adr", {}, "text", ["", "", ["1600 Amphitheatre Pkwy", ""], "Mountain View", "CA", "", "US"]],
        ["adr", {"label": ""}, "text", ["", "", "", "", "", "", ""]],
        ["email", {}, "text", ""], ["org", {}, "text", " "]]],
        "status": [""], "port43": " "})";
    const std::vector<std::string> expected = {
        "Entity: H",
        "  Phone (voice): +1.2083895740 ext. 123",
        "  Phone:         +81.312345678",
        "  Phone (fax):   +51.17057182",
        "  Phone:         +33 1 23 45 67 89",
        "  Address:       3540 E Longwing Ln, Meridian, ID 83646, US",
        "  Address:       1600 Amphitheatre Pkwy, Mountain View, CA, US",
    };
    EXPECT_EQ(Lines(answer), expected);
}

TEST(RdapLayout, EventsAreNamedInWordsAndTimesAlsoShownInJapanTime) {
    const std::pair<std::string, std::string> cases[] = {
        {R"({"eventAction": "registration", "eventDate": "2028-09-14T04:00:00Z"})",
         "Registered: 2028-09-14T04:00:00Z (2028-09-14 13:00 JST)"},
        {R"({"eventAction": "expiration", "eventDate": "2028-09-13T07:00:00.000+0000"})",
         "Expires: 2028-09-13T07:00:00.000+0000 (2028-09-13 16:00 JST)"},
        {R"({"eventAction": "last changed", "eventDate": "2017-02-17T18:04:32-05:00"})",
         "Updated: 2017-02-17T18:04:32-05:00 (2017-02-18 08:04 JST)"},
        {R"({"eventAction": "Last Update of RDAP Database", "eventDate": "2021-06-09T09:34:01Z"})",
         "Database updated: 2021-06-09T09:34:01Z (2021-06-09 18:34 JST)"},
        {R"({"eventAction": "transfer", "eventDate": "2020-01-01", "eventActor": "R1"})",
         "Transferred: 2020-01-01 (by R1)"},
        {R"({"eventAction": "deletion"})", "Deleted:"},
        {R"({"eventAction": "registrar expiration", "eventDate": "soon"})", "Registrar expiry: soon"},
        {R"({"eventAction": "custom thing", "eventDate": "x"})", "Custom thing: x"},
        {R"({"eventDate": "x"})", "Event: x"},
    };
    for (const auto& [event, expected] : cases) {
        SCOPED_TRACE(event);
        EXPECT_EQ(Lines(R"({"events": [)" + event + "]}"), std::vector<std::string>{expected});
    }
}

TEST(RdapLayout, PaddingNeverForgesTheReferralMarker) {
    const std::string answer = R"({"objectClassName": "domain", "publicIds": [
        {"type": "Whois Server", "identifier": "evil.example"}, {"type": "Longer Label Here", "identifier": "x"}]})";
    const std::vector<std::string> expected = {"Whois Server :     evil.example", "Longer Label Here: x"};
    EXPECT_EQ(Lines(answer), expected);
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
