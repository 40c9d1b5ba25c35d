// Runs against the answers of today's registries: the registrar referral of
// the current .com answers, a registry answer listing other objects first, a
// referred server that is down, ARIN's rwhois referral with its port, and a
// top-level domain without a row asked through IANA.

#include <gtest/gtest.h>

#include "run_test_support.h"

namespace torvane::run {
namespace {

using namespace testing;
const std::string kVerisign = "whois.verisign-grs.com";
const std::string kMarkmonitor = "whois.markmonitor.com";
const std::string kIana(query::kIanaServer);
const std::string kGoogleTitle = "         【google.com の調査結果】";

std::string Header(const std::string& host) { return "{" + host + " からの回答}"; }

// The lines after the first line equal to `first`, `count` of them.
Lines After(const Lines& lines, const std::string& first, std::size_t count) {
    const auto at = std::find(lines.begin(), lines.end(), first);
    if (at == lines.end()) return {};
    return Lines(at, at + std::min<std::ptrdiff_t>(count, lines.end() - at));
}

TEST(CurrentRegistries, ComAnswersReferToTheRegistrarOfTheDomainAsked) {
    for (const char* registry : {"whois.verisign-grs.com/google.com_2020.txt",
                                 "whois.verisign-grs.com/google.com_2014_multiple-matches.txt"}) {
        SCOPED_TRACE(registry);
        RunHarness run({Server(kVerisign, {{"google.com", ReadTestData("app/" + std::string(registry))}}),
                        Server(kMarkmonitor, {{"google.com", ReadTestData(
                                                   "app/whois.markmonitor.com/google.com_2019.txt")}}),
                        Server("whois.tucows.com")});
        ASSERT_TRUE(run.Run("google.com"));
        EXPECT_EQ(run.Queries(kMarkmonitor), Lines{"google.com\r\n"});
        EXPECT_EQ(run.Servers().Connections("whois.tucows.com"), 0);
        EXPECT_EQ(After(run.window.Lines(), kGoogleTitle, 6),
                  (Lines{kGoogleTitle, "", "", Header(kMarkmonitor), "", "Domain Name: google.com"}));
        EXPECT_EQ(run.window.Status(), "完了");
    }
}

TEST(CurrentRegistries, AReferredServerThatRefusesLeavesTheReferringAnswerShown) {
    auto markmonitor = Server(kMarkmonitor);
    markmonitor.refuse = true;
    RunHarness run({Server(kVerisign, {{"google.com", ReadTestData(
                                           "app/whois.verisign-grs.com/google.com_2020.txt")}}),
                    markmonitor});
    ASSERT_TRUE(run.Run("google.com"));
    const Lines lines = run.window.Lines();
    EXPECT_EQ(After(lines, kGoogleTitle, 6),
              (Lines{kGoogleTitle, "", "", Header(kVerisign), "", "   Domain Name: GOOGLE.COM"}));
    EXPECT_EQ(lines.back(), "");
    EXPECT_EQ(run.window.Status(), "WHOISサービスを利用できません");
}

TEST(CurrentRegistries, ArinsRwhoisReferralIsAskedOnItsPort) {
    auto rwhois = Server("rwhois", {{"174.0.0.1", ReadTestData(
                                         "app/rwhois.shawcable.net/174_rwhois.txt")}});
    // ARIN's real answer, naming the test server's port instead of 4321 once
    // that port is known.
    auto answer = std::make_shared<std::string>(
        ReadTestData("app/whois.arin.net/referral-rwhois_2024.txt"));
    auto arin = Server(kArin);
    arin.answer_function = [answer](const std::string&) { return *answer; };
    RunHarness run({Server(kJpnic, {{"174.0.0.1", "No match!!\n"}}),
                    Server(kApnic, {{"174.0.0.1", "% not allocated to APNIC\n"}}), arin, rwhois});
    answer->replace(answer->find(":4321"), 5, ":" + std::to_string(run.Servers().Port("rwhois")));
    // The referred host itself, with no port of the map's own.
    net::AddHostMapping({"rwhois.shawcable.net", "127.0.0.1", std::nullopt});
    run.window.fallback = true;
    ASSERT_TRUE(run.Run("174.0.0.1"));
    EXPECT_EQ(run.Queries("rwhois"), Lines{"174.0.0.1\r\n"});
    EXPECT_EQ(After(run.window.Lines(), Header("rwhois.shawcable.net"), 3),
              (Lines{Header("rwhois.shawcable.net"), "",
                     "%rwhois V-1.5:003fff:00 rs1so.cg.shawcable.net (by Network Solutions, Inc. "
                     "V-1.5.9.5)"}));
}

struct IanaCase {
    std::string typed;
    bool fallback;
    Lines shownFrom;  // the header of the block shown and its next lines
    std::string status;
    int ianaConnections;
};

TEST(CurrentRegistries, ATopLevelDomainWithoutARowIsAskedThroughIana) {
    const IanaCase cases[] = {
        {"abc.xyz", true, {Header(kMarkmonitor), "", "registrar answer"}, "完了", 1},
        {"seal.jobs",
         true,
         {Header(kIana), "", "% IANA WHOIS server"},
         "完了",
         1},
        // The switch off: the classic run.
        {"abc.xyz", false, {}, "データベースが見つかりません", 0},
    };
    for (const IanaCase& c : cases) {
        SCOPED_TRACE(c.typed + (c.fallback ? " on" : " off"));
        RunHarness run(
            {Server(kIana, {{"abc.xyz", ReadTestData("app/whois.iana.org/abc.xyz_made-up.txt")},
                            {"seal.jobs", ReadTestData("app/whois.iana.org/seal.jobs_2025.txt")}}),
             Server("whois.nic.xyz",
                    {{"abc.xyz", ReadTestData("app/whois.nic.xyz/abc.xyz_2025.txt")}}),
             Server(kMarkmonitor, {{"abc.xyz", "registrar answer\n"}})});
        run.window.fallback = c.fallback;
        ASSERT_TRUE(run.Run(c.typed));
        const std::string title = "         【" + c.typed + " の調査結果】";
        if (c.shownFrom.empty()) {
            EXPECT_EQ(run.window.Lines(), (Lines{title, ""}));
        } else {
            EXPECT_EQ(After(run.window.Lines(), c.shownFrom[0], c.shownFrom.size()), c.shownFrom);
        }
        EXPECT_EQ(run.window.Status(), c.status);
        EXPECT_EQ(run.Servers().Connections(kIana), c.ianaConnections);
    }
}

}  // namespace
}  // namespace torvane::run
