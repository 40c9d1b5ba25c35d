// The rules over real WHOIS answers, in CP932's repertoire as UTF-8 and split into report lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "text_testing.h"
#include "view/rules/rows.h"
#include "view/rules/tokens.h"

namespace torvane::view {
namespace {

using namespace testing;

struct Links {
    std::vector<std::string> urls;
    std::vector<std::string> mails;
};

Links linksIn(const std::vector<std::string>& lines) {
    Links links;
    LexState state = Region::none;
    std::vector<Token> tokens;
    for (const std::string& line : lines) {
        state = tokenizeInto(line, state, tokens);
        for (const Token& token : tokens) {
            const std::string text = line.substr(token.start, token.length);
            if (token.cls == TokenClass::url) links.urls.push_back(text);
            if (token.cls == TokenClass::mailAddress) links.mails.push_back(text);
        }
    }
    return links;
}

TEST(TextRulesFixtures, VerisignAnswerLinks) {
    const Links links = linksIn(fixtureLines("whois.verisign-grs.com/google.com_2020.txt"));
    std::vector<std::string> expectedUrls = {"http://www.markmonitor.com"};
    for (const char* status :
         {"clientDeleteProhibited", "clientTransferProhibited", "clientUpdateProhibited",
          "serverDeleteProhibited", "serverTransferProhibited", "serverUpdateProhibited"}) {
        expectedUrls.push_back(std::string("https://icann.org/epp#") + status);
    }
    expectedUrls.push_back("https://www.icann.org/wicf/");
    expectedUrls.push_back("https://icann.org/epp");
    EXPECT_EQ(links.urls, expectedUrls);
    EXPECT_EQ(links.mails, std::vector<std::string>{"abusecomplaints@markmonitor.com"});
}

TEST(TextRulesFixtures, JprsJapaneseAnswerLinksAndRegions) {
    const auto lines = fixtureLines("whois.jprs.jp/google.co.jp_iso2022jp_2014.txt");
    const Links links = linksIn(lines);
    EXPECT_EQ(links.urls,
              std::vector<std::string>{"http://jprs.jp/whatsnew/notice/2014/20140319-whois.html"});
    EXPECT_TRUE(links.mails.empty());

    // "f. [組織名]  グーグル株式会社": the organisation name splits into katakana and kanji.
    const auto found =
        std::ranges::find_if(lines, [](const std::string& l) { return l.starts_with("f. "); });
    ASSERT_NE(found, lines.end());
    const std::string& line = *found;
    const auto tokens = tokenize(line, Region::none).tokens;
    ASSERT_GE(tokens.size(), 2u);
    EXPECT_EQ(line.substr(tokens[tokens.size() - 2].start), inCp932("グーグル株式会社"));
    EXPECT_EQ(tokens.back().cls, TokenClass::japaneseText);
    EXPECT_EQ(line.substr(tokens.back().start), inCp932("株式会社"));
}

TEST(TextRulesFixtures, ArinReferralAnswerLinks) {
    const Links links = linksIn(fixtureLines("whois.arin.net/referral-apnic_2013.txt"));
    const std::string terms = "https://www.arin.net/whois_tou.html";
    const std::string inaccuracy = "http://www.arin.net/public/whoisinaccuracy/index.xhtml";
    const std::string poc = "http://whois.arin.net/rest/poc/AWC12-ARIN";
    // ";" is no URL character, so the query URL of line 20 ends before it; the
    // "whois://whois.apnic.net" of the ReferralServer line has no prefix at a token start.
    const std::vector<std::string> expectedUrls = {
        terms,
        inaccuracy,
        "http://whois.arin.net/rest/nets",
        "http://wq.apnic.net/apnic-bin/whois.pl",
        "http://www.apnic.net/apnic-info/whois_search2/abuse-and-spamming",
        "http://whois.arin.net/rest/net/NET-144-130-0-0-1",
        "http://whois.arin.net/rest/org/APNIC",
        poc,
        poc,
        terms,
        inaccuracy};
    EXPECT_EQ(links.urls, expectedUrls);
    EXPECT_EQ(links.mails, (std::vector<std::string>{"search-apnic-not-arin@apnic.net",
                                                     "search-apnic-not-arin@apnic.net"}));
}

// Every fixture answer: tokens and rows rebuild each line, at a few widths.
TEST(TextRulesFixtures, EveryAnswerTokenizesAndBreaksConsistently) {
    const auto names = fixtureNames();
    ASSERT_GE(names.size(), 40u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        LexState state = Region::none;
        for (const std::string& line : fixtureLines(name)) {
            const LineTokens result = tokenize(line, state);
            std::size_t pos = 0;
            for (const Token& token : result.tokens) {
                ASSERT_GE(token.start, pos);
                pos = token.end();
            }
            ASSERT_LE(pos, line.size());
            state = result.end;
            for (int width : {20, 80, 250}) {
                std::size_t covered = 0;
                for (const Row& row : breakIntoRows(line, width)) {
                    ASSERT_EQ(row.start, covered);
                    covered += row.length;
                }
                ASSERT_EQ(covered, line.size());
            }
        }
    }
}

}  // namespace
}  // namespace torvane::view
