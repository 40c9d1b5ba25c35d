// The iconv-based code-page unit: bad pieces are replaced one by one and the
// rest of the text survives.

#include "encoding/code_page.h"

#include <gtest/gtest.h>

#include "test_text.h"

namespace torvane::encoding {
namespace {

using testing::T;

struct Utf8Case {
    const char* what;
    std::string input;
    std::u16string expected;
};

void PrintTo(const Utf8Case& c, std::ostream* os) { *os << c.what; }

class Utf8ToUtf16Test : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8ToUtf16Test, ReplacesEachMaximalBadPieceWithOneReplacementCharacter) {
    EXPECT_EQ(Utf8ToUtf16(GetParam().input), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ToUtf16Test,
    ::testing::Values(Utf8Case{"empty", "", u""},
                      Utf8Case{"ASCII and zero byte", T("a\0b"), std::u16string(u"a\0b", 3)},
                      Utf8Case{"hiragana", "\xE3\x81\x82", u"あ"},
                      Utf8Case{"byte-order mark is a character",
                               "\xEF\xBB\xBF"
                               "a",
                               u"\uFEFFa"},
                      Utf8Case{"four-byte sequence gives a surrogate pair", "\xF0\x9F\x98\x80",
                               u"\U0001F600"},
                      Utf8Case{"invalid byte",
                               "a\xFF"
                               "b",
                               u"a\uFFFDb"},
                      Utf8Case{"sequence cut by an ASCII byte",
                               "a\xE3\x81"
                               "b",
                               u"a\uFFFDb"},
                      Utf8Case{"sequence cut by the end", "a\xE3\x81", u"a\uFFFD"},
                      Utf8Case{"stray trail bytes one by one", "\x80\x81", u"\uFFFD\uFFFD"},
                      Utf8Case{"overlong form", "\xC0\xAF", u"\uFFFD\uFFFD"},
                      Utf8Case{"overlong three-byte form", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
                      Utf8Case{"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
                      Utf8Case{"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                      Utf8Case{"four-byte sequence cut short", "\xF0\x9F\x98z", u"\uFFFDz"}));

TEST(Utf16ToCp932Test, MapsCharactersAndReplacesMissingOnesWithQuestionMarks) {
    EXPECT_EQ(Utf16ToCp932(u""), "");
    EXPECT_EQ(Utf16ToCp932(u"aあ漢ｱ"), "a\x82\xA0\x8A\xBF\xB1");
    EXPECT_EQ(Utf16ToCp932(u"é"), "?");
    EXPECT_EQ(Utf16ToCp932(u"\uFEFFx"), "?x");
    EXPECT_EQ(Utf16ToCp932(std::u16string(u"a\0b", 3)), T("a\0b"));
    // glibc's table maps these compatibility characters.
    EXPECT_EQ(Utf16ToCp932(u"\u00A5\u301C\u2014"), "\x5C\x81\x60\x81\x5C");
}

TEST(Utf16ToCp932Test, SurrogatesBecomeOneQuestionMarkPerCharacter) {
    EXPECT_EQ(Utf16ToCp932(u"a\U0001F600b"), "a?b");
    const char16_t lone_high[] = {u'a', 0xD800, u'b'};
    EXPECT_EQ(Utf16ToCp932({lone_high, 3}), "a?b");
    const char16_t lone_low[] = {0xDC00, u'b'};
    EXPECT_EQ(Utf16ToCp932({lone_low, 2}), "?b");
    const char16_t high_at_end[] = {u'a', 0xDBFF};
    EXPECT_EQ(Utf16ToCp932({high_at_end, 2}), "a?");
    const char16_t two_highs[] = {0xD800, 0xD800, 0xDC00};
    EXPECT_EQ(Utf16ToCp932({two_highs, 3}), "??");
}

TEST(Utf16ToCp932Test, KeepsTheRestOfALongTextFullOfMissingCharacters) {
    const std::u16string text = std::u16string(20000, u'é') + u"end";
    EXPECT_EQ(Utf16ToCp932(text), std::string(20000, '?') + "end");
}

TEST(Cp932ToUtf16Test, MapsCharactersAndReplacesBadPieces) {
    EXPECT_EQ(Cp932ToUtf16(""), u"");
    EXPECT_EQ(Cp932ToUtf16("a\x82\xA0\x8A\xBF\xB1\\~"), u"aあ漢ｱ\\~");
    EXPECT_EQ(Cp932ToUtf16("\x87\x40\xFA\x40"), u"①ⅰ");  // NEC and IBM extensions
    EXPECT_EQ(Cp932ToUtf16("\x80"
                           "a\xA0"
                           "b\xFD"),
              u"\uFFFDa\uFFFDb\uFFFD");
    EXPECT_EQ(Cp932ToUtf16("\x85\x40z"), u"\uFFFDz");  // unassigned pair: one piece
    EXPECT_EQ(Cp932ToUtf16("\x81 z"), u"\uFFFD z");    // lead before a non-trail byte
    EXPECT_EQ(Cp932ToUtf16("z\x81"), u"z\uFFFD");      // lead cut off by the end
    EXPECT_EQ(Cp932ToUtf16(std::string(30000, '\xFF') + "end"),
              std::u16string(30000, u'\uFFFD') + u"end");
}

TEST(Cp932RoundTripTest, EveryCp932CharacterComesBackThroughUtf16) {
    int characters = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead >= 0xA0 && lead <= 0xDF) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string unit = Cp932ToUtf16(pair);
            ASSERT_EQ(unit.size(), 1u) << std::hex << lead << trail;
            if (unit[0] == u'\uFFFD') continue;
            ++characters;
            // NEC and IBM duplicates map back to one of their codes; the
            // character itself must survive.
            EXPECT_EQ(Cp932ToUtf16(Utf16ToCp932(unit)), unit) << std::hex << lead << trail;
        }
    }
    // JIS X 0208 (6879), NEC row 13 (83), NEC-selected IBM extensions (374),
    // IBM extensions (388) and the user-defined area (1880).
    EXPECT_EQ(characters, 6879 + 83 + 374 + 388 + 1880);
}

}  // namespace
}  // namespace torvane::encoding
