#include "app/run/answer_rules.h"

#include <gtest/gtest.h>

#include "app/run/run_texts.h"
#include "query/text_lines.h"

namespace torvane::run {
namespace {

using query::SplitLines;

TEST(SplitLines, SplitsAtCrLfCrAndLfWithoutATrailingEmptyLine) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(SplitLines("a\n\nb\r\r\n"), (Lines{"a", "", "b", ""}));
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines(std::string("a\0b\n", 4)), (Lines{std::string("a\0b", 3)}));
}

struct ReferralCase {
    std::vector<std::string> lines;
    std::string host;
    std::vector<std::string> asked;
    std::string expected;  // "host" or "host:port"; empty for none
    std::string query = "example.com";
};

std::string Shown(const std::optional<ReferralTarget>& target) {
    if (!target) return "";
    return target->host + (target->port ? ":" + std::to_string(*target->port) : "");
}

TEST(FindWhoisServerReferral, FollowsTheFirstUsableLine) {
    const ReferralCase cases[] = {
        {{"Domain: x", "   Whois Server: whois.registrar.example  "},
         "a",
         {},
         "whois.registrar.example"},
        {{"Whois Server: a"}, "a", {}, ""},                       // the server just asked
        {{"Whois Server: A"}, "a", {"a"}, ""},                    // asked, in another case
        {{"Whois Server:   ", "Whois Server: b"}, "a", {}, "b"},  // empty value skipped
        {{"Whois Server: a", "Whois Server: c"}, "a", {}, "c"},
        {{"whois server: b"}, "a", {}, ""},          // case-sensitive marker
        {{"Whois Server: b"}, "a", {"a", "b"}, ""},  // loop back to b
        {{"Whois Server: b."}, "a", {"a", "B"}, ""},  // the same host, fully qualified
        {{"Whois Server: b."}, "a", {}, "b"},        // asked without the root dot
        {{"Whois Server: " + std::string(120, 'x')},
         "a",
         {},
         std::string(98, 'x')},  // 99 bytes after the colon, trimmed
        // Today's registries: the registrar's line, web addresses, ports.
        {{"Registrar WHOIS Server: whois.markmonitor.com"}, "a", {}, "whois.markmonitor.com"},
        {{"Registrar WHOIS Server: http://whois.cscglobal.com", "Whois Server: c"}, "a", {}, "c"},
        {{"Whois Server: https://whois.example/"}, "a", {}, ""},
        {{"Whois Server: rwhois://rw.example:4321/auth"}, "a", {}, "rw.example:4321"},
        {{"Whois Server: whois://w.example:99999"}, "a", {}, "w.example"},
        // A registry's answer listing other objects before the one asked.
        {{"   Server Name: EXAMPLE.COM.HOST", "   Whois Server: wrong.example",
          "   Domain Name: EXAMPLE.COM", "   Whois Server: right.example",
          "   Server Name: NEXT", "   Whois Server: after.example"},
         "a",
         {},
         "right.example"},
        {{"   Domain Name: EXAMPLE.COM", "   Server Name: X", "   Whois Server: later.example"},
         "a",
         {},
         ""},  // the record ends before the line
        {{"   Domain Name: OTHER.COM", "   Whois Server: first.example"},
         "a",
         {},
         "first.example"},  // no record of the query: the whole answer
    };
    for (const auto& c : cases) {
        TAskedHosts asked;
        asked.Restart(c.host);
        for (const auto& host : c.asked) asked.Add(host);
        EXPECT_EQ(Shown(FindWhoisServerReferral(query::TLines(c.lines), c.host, asked, c.query)),
                  c.expected)
            << c.lines.back();
    }
}

TEST(FindIanaReferral, TakesReferOrWhoisAndSkipsEmptyValues) {
    EXPECT_EQ(Shown(FindIanaReferral({"domain: COM", "whois:        whois.verisign-grs.com"})),
              "whois.verisign-grs.com");
    EXPECT_EQ(Shown(FindIanaReferral({"refer:        ", "whois:        "})), "");
    EXPECT_EQ(Shown(FindIanaReferral({"% refer: x", "remarks: whois: y"})), "");
}

TEST(ScanContactHandles, CollectsNewHandlesNewestFirstAndStopsAtNotices) {
    std::vector<std::string> pending{"OLD1"};
    const query::TLines lines{
        "m. [Administrative Contact]   AB123JP", "n. [Technical Contact]  cd456jp",
        "m. [x] ab123jp",  // the same handle in another case
        "m. [empty]   ",   // nothing after the bracket
    };
    EXPECT_FALSE(ScanContactHandles(lines, false, pending).suppressed);
    EXPECT_EQ(pending, (std::vector<std::string>{"cd456jp", "AB123JP", "OLD1"}));

    std::vector<std::string> hidden;
    const query::TLines notice{"m. [a] H1", "参考：RIRのWHOISサーバ", "n. [b] H2"};
    EXPECT_TRUE(ScanContactHandles(notice, false, hidden).suppressed);
    EXPECT_EQ(hidden, (std::vector<std::string>{"H1"}));

    std::vector<std::string> none;
    EXPECT_TRUE(ScanContactHandles({"No match!!"}, true, none).suppressed);
    EXPECT_FALSE(ScanContactHandles({"No match!!"}, false, none).suppressed);
}

TEST(AddressRegistryMarkers, CutTheNamedServer) {
    EXPECT_TRUE(HasApnicCommandLine("% command line: whois.arin.net "));
    EXPECT_EQ(ApnicCommandLineServer("% command line:  whois.example.net\t"), "whois.example.net");
    EXPECT_EQ(ApnicCommandLineServer("command line:"), "");
    EXPECT_EQ(ApnicCommandLineServer("% command line: whois.arin.net."), "whois.arin.net");
    const struct {
        std::string line;
        bool isReferral;
        std::string host;
    } arin[] = {
        {"ReferralServer:  whois://whois.ripe.net", true, "whois.ripe.net"},
        {"ReferralServer: rwhois://rwhois.example.net:4321/", true, "rwhois.example.net:4321"},
        {"ReferralServer: https://rdap.example.net/path/x", true, ""},  // a web address
        {"ReferralServer: whois://", true, ""},
        {"ReferralServer: whois://whois.apnic.net.", true, "whois.apnic.net"},
        {"ReferralServer:whois://x", false, ""},  // no space after the colon
        {"ReferralServer: whois.example.net", false, ""},
        {"x://y ReferralServer: host:43/path", true, ""},  // the "://" is not the value's
    };
    for (const auto& c : arin) {
        EXPECT_EQ(HasArinReferral(c.line), c.isReferral) << c.line;
        if (c.isReferral) {
            EXPECT_EQ(Shown(ArinReferral(c.line)), c.host) << c.line;
        }
    }
    EXPECT_TRUE(IsApnicNotAllocated("% not allocated to APNIC"));
    EXPECT_TRUE(IsArinNoMatch("No match found for 1.2.3.4."));
    EXPECT_TRUE(IsArinNoMatch("# not registered in the ARIN database"));
}

TEST(StatusForCode, NamesRefusedAndTimedOutAndNumbersTheRest) {
    EXPECT_EQ(StatusForCode(10061), "WHOISサービスを利用できません");
    EXPECT_EQ(StatusForCode(10060), "ホストが見つかりません");
    EXPECT_EQ(StatusForCode(11001), "エラー #11001");
    EXPECT_EQ(StatusForCode(10004), "エラー #10004");
}

}  // namespace
}  // namespace torvane::run
