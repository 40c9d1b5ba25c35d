#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text_testing.h"
#include "view/rules/report_chars.h"
#include "view/rules/tokens.h"

namespace torvane::view {
namespace {

using testing::inCp932;
using testing::renderTokens;

struct Case {
    const char* name;
    const char* line;      // UTF-8; converted to CP932
    const char* expected;  // tokens as tags, whitespace kept
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

template <typename T>
std::string caseName(const ::testing::TestParamInfo<T>& info) {
    return info.param.name;
}

std::string rendered(const std::string& line, LexState start = Region::none) {
    return renderTokens(line, tokenize(line, start).tokens);
}

class TextRulesLinks : public ::testing::TestWithParam<Case> {};

TEST_P(TextRulesLinks, TokenizeAsExpected) {
    EXPECT_EQ(rendered(inCp932(GetParam().line)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Links, TextRulesLinks,
    ::testing::Values(
        Case{"UrlStopsBeforeComma", "see http://example.jp/a, then",
             "<Word>see</Word> <Url>http://example.jp/a</Url><Symbol>,</Symbol> <Word>then</Word>"},
        Case{"UrlKeepsSentenceFullStop", "at http://example.jp/a.",
             "<Word>at</Word> <Url>http://example.jp/a.</Url>"},
        Case{"CapitalisedPrefixIsNoUrl", "Http://x",
             "<Word>Http</Word><Symbol>:</Symbol><Symbol>/</Symbol><Symbol>/</Symbol><Word>x</"
             "Word>"},
        Case{"AllCapitalPrefixIsNoUrl", "WWW.X",
             "<Word>WWW</Word><Symbol>.</Symbol><Word>X</Word>"},
        Case{"HttpsPrefix", "https://a.jp/?q=1&r=%20#f~_",
             "<Url>https://a.jp/?q=1&r=%20#f~_</Url>"},
        Case{"FtpPrefix", "ftp://a.jp", "<Url>ftp://a.jp</Url>"},
        Case{"HttpColonAlone", "http:", "<Url>http:</Url>"},
        Case{"WwwDotAlone", "www. next", "<Url>www.</Url> <Word>next</Word>"},
        Case{"UrlEndsAtNonAscii", "http://a.jp/日本",
             "<Url>http://a.jp/</Url><Japanese>日本</Japanese>"},
        Case{"MailKeepsTrailingComma", "a@b.jp, c", "<Mail>a@b.jp,</Mail> <Word>c</Word>"},
        Case{"MailKeepsTrailingFullStop", "to a@b.jp.", "<Word>to</Word> <Mail>a@b.jp.</Mail>"},
        Case{"MailInsideAngleBrackets", "<a@b.jp>",
             "<Symbol><</Symbol><Mail>a@b.jp</Mail><Symbol>></Symbol>"},
        Case{"AtWithoutLaterDotIsNoMail", "user@localhost",
             "<Word>user</Word><Symbol>@</Symbol><Word>localhost</Word>"},
        Case{"DotBeforeAtDoesNotConfirm", "a.b@c",
             "<Word>a</Word><Symbol>.</Symbol><Word>b</Word><Symbol>@</Symbol><Word>c</Word>"},
        Case{"LeadingAtIsNoMail", "@example.jp",
             "<Symbol>@</Symbol><Word>example</Word><Symbol>.</Symbol><Word>jp</Word>"},
        Case{"AtDirectlyBeforeDotConfirms", "x@.", "<Mail>x@.</Mail>"},
        Case{"CommaJoinsWordsToMail", "abc,def@ex.jp", "<Mail>abc,def@ex.jp</Mail>"},
        Case{"MailRuleBeforeUrlRule", "www.ex.jp/x@y.z", "<Mail>www.ex.jp/x@y.z</Mail>"},
        Case{"MailtoPrefixIsNotPartOfMail", "mailto:info@ex.jp",
             "<Word>mailto</Word><Symbol>:</Symbol><Mail>info@ex.jp</Mail>"},
        Case{"UrlUserPartEndsBeforeAt", "http://user@ex.jp",
             "<Url>http://user</Url><Symbol>@</Symbol><Word>ex</Word><Symbol>.</Symbol><Word>jp</"
             "Word>"},
        Case{"PrefixGluedToWordIsNoUrl", "xhttp://a",
             "<Word>xhttp</Word><Symbol>:</Symbol><Symbol>/</Symbol><Symbol>/</Symbol><Word>a</"
             "Word>"},
        Case{"PrefixAfterWordDigitsIsNoUrl", "a1www.b",
             "<Word>a1www</Word><Symbol>.</Symbol><Word>b</Word>"},
        Case{"PrefixAfterNumberStartsUrl", "2014http://a.jp",
             "<Number>2014</Number><Url>http://a.jp</Url>"},
        Case{"UrlAfterParenthesis", "(http://a.jp)",
             "<Symbol>(</Symbol><Url>http://a.jp</Url><Symbol>)</Symbol>"},
        Case{"UrlAfterColon", "URL:http://a.jp",
             "<Word>URL</Word><Symbol>:</Symbol><Url>http://a.jp</Url>"},
        Case{"UrlAfterJapaneseText", "詳細はhttp://a.jp",
             "<Japanese>詳細</Japanese><Japanese>は</Japanese><Url>http://a.jp</Url>"},
        Case{"NoLinkInComment", "x <!-- http://a.jp a@b.jp",
             "<Word>x</Word> <Comment><!-- http://a.jp a@b.jp</Comment>"},
        Case{"NoLinkInQuotedString", "\"http://a.jp\" a@b.jp",
             "<String>\"http://a.jp\"</String> <Mail>a@b.jp</Mail>"},
        Case{"NoLinkInBracketRegion", "{http://a.jp} http://b.jp",
             "<Brace>{http://a.jp}</Brace> <Url>http://b.jp</Url>"}),
    caseName<Case>);

class TextRulesClasses : public ::testing::TestWithParam<Case> {};

TEST_P(TextRulesClasses, TokenizeAsExpected) {
    EXPECT_EQ(rendered(inCp932(GetParam().line)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Classes, TextRulesClasses,
    ::testing::Values(
        Case{"ExponentWithDigits", "1e5", "<Number>1e5</Number>"},
        Case{"ExponentWithoutDigits", "12e", "<Number>12e</Number>"},
        Case{"ExponentSignWithoutDigits", "12E- 1e+5",
             "<Number>12E-</Number> <Number>1e+5</Number>"},
        Case{"ExponentLetterTakenFromWord", "5em", "<Number>5e</Number><Word>m</Word>"},
        Case{"OneFractionOnly", "1.2.3",
             "<Number>1.2</Number><Symbol>.</Symbol><Number>3</Number>"},
        Case{"DotWithoutDigitIsSymbol", "1.x",
             "<Number>1</Number><Symbol>.</Symbol><Word>x</Word>"},
        Case{"WordWithUnderscoreAndDigits", "_a1_b2", "<Word>_a1_b2</Word>"},
        Case{"ReservedWordAnyCase", "TCP udp Icmp",
             "<Reserved>TCP</Reserved> <Reserved>udp</Reserved> <Reserved>Icmp</Reserved>"},
        Case{"LongerWordIsNotReserved", "TCPX SYNC ICMPv6",
             "<Word>TCPX</Word> <Word>SYNC</Word> <Word>ICMPv6</Word>"},
        Case{"QuotedReservedWordIsString", "\"TCP\"", "<String>\"TCP\"</String>"},
        Case{"DoubledQuoteStaysInside", "\"a\"\"b\" c",
             "<String>\"a\"\"b\"</String> <Word>c</Word>"},
        Case{"EmptyQuotedString", "\"\"x", "<String>\"\"</String><Word>x</Word>"},
        Case{"UnclosedQuoteRunsToEnd", "\"abc def", "<String>\"abc def</String>"},
        Case{"CommentRunsToEnd", "a<!b \"c", "<Word>a</Word><Comment><!b \"c</Comment>"},
        Case{"LessThanAloneIsSymbol", "a<b", "<Word>a</Word><Symbol><</Symbol><Word>b</Word>"},
        Case{"TabIsAToken", "a\tb", "<Word>a</Word><Tab>\t</Tab><Word>b</Word>"},
        Case{"ControlCodesAreWhitespace", "a\x01\x1F b", "<Word>a</Word>\x01\x1F <Word>b</Word>"},
        Case{"HiraganaKatakanaKanjiRuns", "ひらがなカタカナー漢字",
             "<Japanese>ひらがな</Japanese><Japanese>カタカナー</Japanese><Japanese>漢字</"
             "Japanese>"},
        Case{"FullWidthAlnumGreekCyrillicRuns", "ＡＢ１２αβбв",
             "<Japanese>ＡＢ１２</Japanese><Japanese>αβ</Japanese><Japanese>бв</Japanese>"},
        Case{"DoubleByteSymbolsStandAlone", "　々──",
             "<Japanese>　</Japanese><Japanese>々</Japanese><Japanese>─</Japanese><Japanese>─</"
             "Japanese>"},
        Case{"HalfWidthKatakanaRun", "ｶﾀｶﾅ｡abc", "<Japanese>ｶﾀｶﾅ｡</Japanese><Word>abc</Word>"},
        Case{"JapaneseNeverTakesAscii", "日本jp", "<Japanese>日本</Japanese><Word>jp</Word>"},
        Case{"IbmExtensionKanjiJoinKanji", "漢髙﨑", "<Japanese>漢髙﨑</Japanese>"}),
    caseName<Case>);

TEST(TextRulesJapaneseKind, RowBoundaries) {
    using K = JapaneseKind;
    const std::vector<std::pair<DoubleByteCode, K>> cases = {
        {0x8140, K::other},                               // ideographic space
        {0x8158, K::other},                               // 々
        {0x815B, K::katakana},                            // ー joins katakana
        {0x824F, K::fullWidthAlnum},                      // ０
        {0x829A, K::fullWidthAlnum},                      // ｚ
        {0x829F, K::hiragana},                            // ぁ
        {0x82F1, K::hiragana},                            // ん
        {0x8340, K::katakana},                            // ァ
        {0x8396, K::katakana},                            // ヶ
        {0x839F, K::greek},                               // Α
        {0x8440, K::cyrillic},                            // А
        {0x849F, K::other},                               // ─, box drawing
        {0x8740, K::other},                               // ①, row 13
        {0x889F, K::kanji},                               // 亜, first of row 16
        {0xEAA4, K::kanji},                               // 熙, last of row 84
        {0xED40, K::kanji},                               // 纊, NEC selection of IBM kanji
        {0xEEEC, K::kanji},          {0xEEEF, K::other},  // ⅰ
        {0xF040, K::other},                               // user-defined area
        {0xFA40, K::other},                               // ⅰ, IBM extension
        {0xFA5C, K::kanji},                               // 纊, IBM extension
        {0xFC4B, K::kanji},                               // 黑
        {0x8220, K::other},                               // second byte outside 0x40-0xFC
        {0xFAFD, K::other},
    };
    for (const auto& [code, kind] : cases) {
        EXPECT_EQ(japaneseKind(code), kind) << std::hex << code;
    }
}

// Text CP932 cannot write, fed as UTF-8: letters join runs of their own script, symbols stand
// alone, and no token splits a cluster.
TEST(TextRulesTokenize, CharactersOutsideCp932JoinRunsOfTheirScript) {
    const Case cases[] = {
        {"Hangul", "한국인터넷 정보센터",
         "<Japanese>한국인터넷</Japanese> <Japanese>정보센터</Japanese>"},
        {"HanOutsideCp932JoinsKanji", "中国互联网络信息中心",
         "<Japanese>中国互联网络信息中心</Japanese>"},
        {"IdeographBeyondTheBmp", "漢\U0002000B字", "<Japanese>漢\U0002000B字</Japanese>"},
        {"AccentedGreekJoinsGreek", "ελλάδα", "<Japanese>ελλάδα</Japanese>"},
        {"Arabic", "مرحبا بك", "<Japanese>مرحبا</Japanese> <Japanese>بك</Japanese>"},
        {"ThaiMarksStayInTheRun", "ภาษาไทย", "<Japanese>ภาษาไทย</Japanese>"},
        {"AccentedLatin", "Bláthy", "<Word>Bl</Word><Japanese>á</Japanese><Word>thy</Word>"},
        {"CombiningMarkStaysWithTheWord", "fa\u0308w", "<Word>fa\u0308</Word><Word>w</Word>"},
        {"MarkAfterASpaceStaysWithTheSpace", "a \u0301b",
         "<Word>a</Word><Symbol> \u0301</Symbol><Word>b</Word>"},
        {"EmojiIsASymbol", "\U0001F600x", "<Symbol>\U0001F600</Symbol><Word>x</Word>"},
        {"BidiControlIsASymbol", "a\u202Eb", "<Word>a</Word><Symbol>\u202E</Symbol><Word>b</Word>"},
        {"UrlStopsBeforeALetterOutsideAscii", "http://example.de/ä",
         "<Url>http://example.de/</Url><Japanese>ä</Japanese>"},
        {"RegionHoldsHangul", "【한국】x", "<Lenticular>【한국】</Lenticular><Word>x</Word>"},
        {"ExpiryMarkIsAWarning", "x 【期限まで 12 日】", "<Word>x</Word> <Warning>【期限まで 12 日】</Warning>"},
        {"ExpiryWordLaterInTheRegionIsNoWarning", "【有効期限】",
         "<Lenticular>【有効期限】</Lenticular>"},
        {"UnclosedExpiryMarkStaysARegion", "【期限切れ", "<Lenticular>【期限切れ</Lenticular>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rendered(c.line), c.expected) << c.name;
    }
}

TEST(TextRulesTokenize, LoneLeadByteAtLineEndIsOneSymbol) {
    const std::string line = "abc\x82";
    const auto result = tokenize(line, Region::none);
    ASSERT_EQ(result.tokens.size(), 2u);
    EXPECT_EQ(result.tokens[1], (Token{TokenClass::symbol, Region::none, 3, 1}));
}

TEST(TextRulesTokenize, NulByteIsASymbol) {
    const std::string line("a\0b", 3);
    EXPECT_EQ(rendered(line), std::string("<Word>a</Word><Symbol>\0</Symbol><Word>b</Word>", 46));
}

struct RegionCase {
    const char* name;
    std::vector<const char*> lines;     // UTF-8
    std::vector<const char*> expected;  // one rendering per line
    std::vector<LexState> endStates;    // state after each line
};

void PrintTo(const RegionCase& c, std::ostream* os) { *os << c.name; }

class TextRulesRegions : public ::testing::TestWithParam<RegionCase> {};

TEST_P(TextRulesRegions, CarryStateAcrossLines) {
    const RegionCase& c = GetParam();
    LexState state = Region::none;
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
        const std::string line = inCp932(c.lines[i]);
        const LineTokens result = tokenize(line, state);
        EXPECT_EQ(renderTokens(line, result.tokens), c.expected[i]) << "line " << i;
        EXPECT_EQ(result.end, c.endStates[i]) << "line " << i;
        EXPECT_EQ(endState(line, state), result.end) << "line " << i;
        state = result.end;
    }
}

constexpr LexState kNone = Region::none;
constexpr LexState kCurly = Region::curly;
constexpr LexState kLenticular = Region::lenticular;

INSTANTIATE_TEST_SUITE_P(
    Regions, TextRulesRegions,
    ::testing::Values(RegionCase{"HeaderLine",
                                 {"{whois.jprs.jp からの回答}"},
                                 {"<Brace>{whois.jprs.jp からの回答}</Brace>"},
                                 {kNone}},
                      RegionCase{"RunTitle",
                                 {"         【example.jp の調査結果】"},
                                 {"         <Lenticular>【example.jp の調査結果】</Lenticular>"},
                                 {kNone}},
                      RegionCase{"UnclosedBraceRunsOverLines",
                                 {"a {b http://a.jp", "http://b.jp c@d.jp", "", "e} http://c.jp"},
                                 {"<Word>a</Word> <Brace>{b http://a.jp</Brace>",
                                  "<Brace>http://b.jp c@d.jp</Brace>", "",
                                  "<Brace>e}</Brace> <Url>http://c.jp</Url>"},
                                 {kCurly, kCurly, kCurly, kNone}},
                      RegionCase{"OpenRegionIgnoresOtherOpener",
                                 {"【a {b", "c} d】e"},
                                 {"<Lenticular>【a {b</Lenticular>",
                                  "<Lenticular>c} d】</Lenticular><Word>e</Word>"},
                                 {kLenticular, kNone}},
                      RegionCase{"LeadingSpaceBelongsToContinuedRegion",
                                 {"{", "  x}"},
                                 {"<Brace>{</Brace>", "<Brace>  x}</Brace>"},
                                 {kCurly, kNone}},
                      RegionCase{"OpenerInQuotesOrCommentOpensNothing",
                                 {"\"【x\" http://a.jp", "<! 【 {", "http://b.jp"},
                                 {"<String>\"【x\"</String> <Url>http://a.jp</Url>",
                                  "<Comment><! 【 {</Comment>", "<Url>http://b.jp</Url>"},
                                 {kNone, kNone, kNone}},
                      RegionCase{"RegionTriedBeforeMail",
                                 {"{a@b.jp}x"},
                                 {"<Brace>{a@b.jp}</Brace><Word>x</Word>"},
                                 {kNone}},
                      RegionCase{
                          "SecondByteLikeCloserDoesNotClose",
                          {"{±", "±}"},  // ± is 0x81 0x7D: its second byte is the code of "}"
                          {"<Brace>{±</Brace>", "<Brace>±}</Brace>"},
                          {kCurly, kNone}}),
    caseName<RegionCase>);

TEST(TextRulesTokenAt, ReturnsClassAndWholeTextOfTheToken) {
    const std::string line = inCp932("URL: http://example.jp/very/long/path 漢字");
    const std::size_t urlStart = 5;
    const std::size_t urlEnd = line.find(' ', urlStart);
    for (std::size_t offset = urlStart; offset < urlEnd; ++offset) {
        const auto token = tokenAt(line, Region::none, offset);
        ASSERT_TRUE(token.has_value()) << offset;
        EXPECT_EQ(token->cls, TokenClass::url);
        EXPECT_EQ(token->text, "http://example.jp/very/long/path");
    }
    // Both bytes (cells) of a double-byte character lie in its token.
    const std::size_t kanji = line.size() - 4;
    EXPECT_EQ(tokenAt(line, Region::none, kanji + 1)->text, inCp932("漢字"));
}

TEST(TextRulesTokenAt, NoneOnWhitespaceAndPastTheLastToken) {
    const std::string line = "ab  http://x.jp  ";
    EXPECT_FALSE(tokenAt(line, Region::none, 2).has_value());
    EXPECT_FALSE(tokenAt(line, Region::none, 3).has_value());
    EXPECT_FALSE(tokenAt(line, Region::none, 15).has_value());
    EXPECT_FALSE(tokenAt(line, Region::none, 17).has_value());
    EXPECT_FALSE(tokenAt("", Region::none, 0).has_value());
    EXPECT_EQ(tokenAt(line, Region::none, 14)->cls, TokenClass::url);
}

TEST(TextRulesTokenAt, UsesTheStateCarriedIntoTheLine) {
    const std::string line = "x} http://a.jp";
    EXPECT_EQ(tokenAt(line, Region::none, 0)->cls, TokenClass::word);
    const auto inRegion = tokenAt(line, Region::curly, 0);
    EXPECT_EQ(inRegion->cls, TokenClass::bracketRegion);
    EXPECT_EQ(inRegion->region, Region::curly);
    EXPECT_EQ(inRegion->text, "x}");
    EXPECT_EQ(tokenAt(line, Region::curly, 5)->cls, TokenClass::url);
}

TEST(TextRulesTokenize, LongMailCharacterRunWithoutAtStaysLinear) {
    std::string line;
    for (int i = 0; i < 20000; ++i) line += "a,";
    const auto tokens = tokenize(line, Region::none).tokens;
    ASSERT_EQ(tokens.size(), 40000u);
    EXPECT_EQ(tokens.front().cls, TokenClass::word);
    EXPECT_EQ(tokens.back().cls, TokenClass::symbol);
}

}  // namespace
}  // namespace torvane::view
