// The registration summary of a run with the "IANA・RDAPで補完" switch on: where
// it stands, which answers feed it, and its rewrite when a later answer adds
// to it; none in the classic run.

#include <gtest/gtest.h>

#include "run_test_support.h"

namespace torvane::run {
namespace {

using namespace testing;
const std::string kVerisign = "whois.verisign-grs.com";
const std::string kMarkmonitor = "whois.markmonitor.com";
const std::string kSummary = "{登録情報}";

std::string Header(const std::string& host) { return "{" + host + " からの回答}"; }

std::ptrdiff_t IndexOf(const Lines& lines, const std::string& line) {
    const auto at = std::find(lines.begin(), lines.end(), line);
    return at == lines.end() ? -1 : at - lines.begin();
}

// The summary's lines: from its title to the empty line that ends it.
Lines SummaryOf(const Lines& lines) {
    const auto at = std::find(lines.begin(), lines.end(), kSummary);
    if (at == lines.end()) return {};
    return Lines(at, std::find(at + 2, lines.end(), ""));
}

// The summary line that holds every one of `parts`, or "" when none does.
std::string LineWith(const Lines& summary, std::initializer_list<std::string> parts) {
    for (const std::string& line : summary) {
        if (std::all_of(parts.begin(), parts.end(),
                        [&](const std::string& part) { return line.find(part) != std::string::npos; }))
            return line;
    }
    return {};
}

std::chrono::sys_seconds Day(int y, unsigned m, unsigned d) {
    return std::chrono::sys_days{std::chrono::year{y} / m / d};
}

std::vector<testserver::ServerConfig> ComServers() {
    return {Server(kVerisign,
                   {{"google.com", ReadTestData("app/whois.verisign-grs.com/google.com_2020.txt")}}),
            Server(kMarkmonitor,
                   {{"google.com", ReadTestData("app/whois.markmonitor.com/google.com_2019.txt")}})};
}

TEST(SummaryRun, StandsBetweenTheDnsLinesAndTheFirstAnswerWithEveryFactsSource) {
    RunHarness run(ComServers());
    run.window.fallback = true;
    run.resolver.addresses["google.com"] = "192.0.2.7";
    run.controller->Now = [] { return Day(2026, 12, 9); };
    ASSERT_TRUE(run.Run("google.com"));
    const Lines lines = run.window.Lines();
    const std::ptrdiff_t dns = IndexOf(lines, "192.0.2.7");
    const std::ptrdiff_t summary = IndexOf(lines, kSummary);
    const std::ptrdiff_t answer = IndexOf(lines, Header(kMarkmonitor));
    ASSERT_GT(dns, 0);
    EXPECT_GT(summary, dns);
    EXPECT_GT(answer, summary);
    EXPECT_EQ(lines[static_cast<std::size_t>(answer) - 1], "");

    const Lines facts = SummaryOf(lines);
    // The registrar's answer is shown; the registry's, which referred the
    // run there, is not, but its dates stand beside the registrar's.
    EXPECT_NE(LineWith(facts, {"MarkMonitor", kMarkmonitor}), "");
    EXPECT_NE(LineWith(facts, {"292"}), "");
    EXPECT_NE(LineWith(facts, {"2028-09-14T04:00:00Z", kVerisign}), "");
    EXPECT_NE(LineWith(facts, {"2028-09-13T00:00:00-0700", kMarkmonitor}), "");
    EXPECT_NE(LineWith(facts, {"NS1.GOOGLE.COM", kVerisign, kMarkmonitor}), "");
    EXPECT_NE(LineWith(facts, {"abusecomplaints@markmonitor.com"}), "");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kSummary), 1);
    EXPECT_EQ(run.window.Status(), "完了");
}

TEST(SummaryRun, TheClassicRunHasNone) {
    RunHarness run(ComServers());
    run.window.fallback = false;
    ASSERT_TRUE(run.Run("google.com"));
    EXPECT_EQ(IndexOf(run.window.Lines(), kSummary), -1);
    EXPECT_FALSE(run.controller->Record().InReportOrder().empty());
}

// The contact handles' answers are inserted after the registry's block,
// below the summary, and their organisation and dates are the contacts',
// not the domain's.
TEST(SummaryRun, FollowUpsGoBelowItAndAddNoFactsOfTheirContacts) {
    const std::string contact = "a. [JPNICハンドル]               DL152JP\n"
                                "g. [組織名]                      連絡先の会社\n"
                                "[最終更新]                       2001/01/01 00:00:00 (JST)\n";
    RunHarness run({Server(kJprs, {{"google.co.jp", ReadTestData("app/google.co.jp_utf8_2018.txt")}}),
                    Answering(kJpnic, contact)});
    run.window.fallback = true;
    ASSERT_TRUE(run.Run("google.co.jp"));
    const Lines lines = run.window.Lines();
    const std::ptrdiff_t summary = IndexOf(lines, kSummary);
    const std::ptrdiff_t registry = IndexOf(lines, Header(kJprs));
    const std::ptrdiff_t contactBlock = IndexOf(lines, "{" + kJpnic + " からの回答 (DL152JP) }");
    ASSERT_GT(summary, 0);
    EXPECT_GT(registry, summary);
    EXPECT_GT(contactBlock, registry);
    const Lines facts = SummaryOf(lines);
    EXPECT_NE(LineWith(facts, {"グーグル株式会社", kJprs}), "");
    EXPECT_NE(LineWith(facts, {"2001/03/22"}), "");
    EXPECT_EQ(LineWith(facts, {"連絡先の会社"}), "");
    EXPECT_EQ(LineWith(facts, {kJpnic}), "");
}

// The first registry to answer ends the run, and the summary is written;
// the next one's answer adds to it, and it is written anew in its place.
TEST(SummaryRun, IsRewrittenInPlaceWhenALaterAnswerAddsToIt) {
    Gate apnicGate;
    Gate arinGate;
    RunHarness run(GatedRegistries(apnicGate, ReadTestData("app/whois.apnic.net/171_2024.txt"),
                                   arinGate, ReadTestData("app/whois.arin.net/no-referral.txt")));
    run.window.fallback = true;
    run.window.query = "192.0.2.1";
    run.controller->QueryButtonClick();
    apnicGate.Open();
    ASSERT_TRUE(run.WaitForLine(Header(kApnic)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !SummaryOf(run.window.Lines()).empty(); }, 15000));
    const Lines first = SummaryOf(run.window.Lines());
    const std::ptrdiff_t firstAt = IndexOf(run.window.Lines(), kSummary);
    EXPECT_NE(LineWith(first, {kApnic}), "");
    EXPECT_EQ(LineWith(first, {kArin}), "");

    arinGate.Open();
    ASSERT_TRUE(run.WaitIdle());
    const Lines lines = run.window.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kSummary), 1);
    const Lines second = SummaryOf(lines);
    EXPECT_NE(LineWith(second, {"LVLT-ORG-4-8", kArin}), "");
    EXPECT_NE(LineWith(second, {kApnic}), "");
    EXPECT_EQ(IndexOf(lines, kSummary), firstAt);
    // Both registries' blocks follow it, each once.
    EXPECT_GT(IndexOf(lines, Header(kApnic)), IndexOf(lines, kSummary));
    EXPECT_GT(IndexOf(lines, Header(kArin)), IndexOf(lines, kSummary));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), Header(kArin)), 1);
}

}  // namespace
}  // namespace torvane::run
