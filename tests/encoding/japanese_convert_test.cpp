// JisToSjis, EucToSjis, JapaneseToSjis and JisPairToSjis on the edge cases
// of the byte rules, cut-off endings included.

#include <gtest/gtest.h>

#include "encoding/japanese_codes.h"
#include "test_text.h"

namespace torvane::encoding {
namespace {

using testing::T;

struct ConvertCase {
    const char* what;
    std::string input;
    std::string expected;
};

void PrintTo(const ConvertCase& c, std::ostream* os) { *os << c.what; }

std::string Pair(unsigned char j1, unsigned char j2) { return JisPairToSjis(j1, j2); }

class JisToSjisTest : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(JisToSjisTest, ConvertsKanjiPairsAndDropsEscapes) {
    EXPECT_EQ(JisToSjis(GetParam().input), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JisToSjisTest,
    ::testing::Values(ConvertCase{"empty", "", ""}, ConvertCase{"ASCII only", "abc\r\n", "abc\r\n"},
                      ConvertCase{"kanji between escapes, nothing after the last",
                                  "\x1B$B\x30\x21\x1B(B", "\x88\x9F"},
                      ConvertCase{"mixed line", "a\x1B$B\x24\x22\x1B(Bb\r\n",
                                  "a\x82\xA0"
                                  "b\r\n"},
                      ConvertCase{"old kanji designation", "\x1B$@\x30\x21\x1B(J!", "\x88\x9F!"},
                      ConvertCase{"CR LF inside kanji mode are paired", "\x1B$B\x30\x21\r\n",
                                  "\x88\x9F" + Pair('\r', '\n')},
                      ConvertCase{"unknown escape keeps kanji mode", "\x1B$B\x30\x21\x1B.A\x30\x21",
                                  "\x88\x9F\x88\x9F"},
                      ConvertCase{"ESC ( B right after ESC $ B is a kanji pair", "\x1B$B\x1B(B\x30",
                                  Pair(0x1B, '(') + Pair('B', 0x30)},
                      ConvertCase{"byte after an escape is text even when ESC", "\x1B(B\x1B(Bx",
                                  "\x1B(Bx"},
                      ConvertCase{"lone byte at the end of kanji mode is dropped",
                                  "\x1B$B\x30\x21\x30", "\x88\x9F"},
                      ConvertCase{"escape cut off by the end", "ab\x1B(", "ab"},
                      ConvertCase{"ESC as the last byte", "ab\x1B", "ab"},
                      ConvertCase{"zero bytes are copied", T("a\0b"), T("a\0b")}));

class EucToSjisTest : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(EucToSjisTest, ConvertsPairsAndKeepsKatakanaBytes) {
    EXPECT_EQ(EucToSjis(GetParam().input), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EucToSjisTest,
    ::testing::Values(ConvertCase{"empty", "", ""},
                      ConvertCase{"hiragana A", "\xA4\xA2", "\x82\xA0"},
                      ConvertCase{"half-width katakana keeps its byte", "\x8E\xB1", "\xB1"},
                      ConvertCase{"80 and FF are copied",
                                  "\x80"
                                  "a\xFF",
                                  "\x80"
                                  "a\xFF"},
                      ConvertCase{"0212 lead pairs and its third byte stands alone",
                                  "\x8F\xA2\xAFx", Pair(0x0F, 0x22) + Pair(0x2F, 'x')},
                      ConvertCase{"lead byte cut off by the end is dropped", "a\xA4", "a"},
                      ConvertCase{"8E cut off by the end is dropped", "a\x8E", "a"},
                      ConvertCase{"CR LF between kanji", "\xB0\xA1\r\n\xB0\xA1",
                                  "\x88\x9F\r\n\x88\x9F"}));

TEST(JapaneseToSjisTest, ConvertsOnlyWhatTheDetectorCallsJisOrEuc) {
    EXPECT_EQ(JapaneseToSjis("\x1B$B\x24\x22\x1B(B"), "\x82\xA0");
    EXPECT_EQ(JapaneseToSjis("\xA5\xC6\xA5\xB9\xA5\xC8\xA4\xF3"),
              "\x83\x65\x83\x58\x83\x67\x82\xF1");
    // Undecided between EUC-JP and Shift_JIS: shown as Shift_JIS, unchanged.
    EXPECT_EQ(JapaneseToSjis("\xA5\xC6\xA5\xB9\xA5\xC8"), "\xA5\xC6\xA5\xB9\xA5\xC8");
    EXPECT_EQ(JapaneseToSjis("\x88\x9F"), "\x88\x9F");
    EXPECT_EQ(JapaneseToSjis("plain"), "plain");
}

TEST(JisPairToSjisTest, GivesTheKnownPairs) {
    EXPECT_EQ(JisPairToSjis(0x30, 0x21), "\x88\x9F");
    EXPECT_EQ(JisPairToSjis(0x24, 0x22), "\x82\xA0");
    EXPECT_EQ(JisPairToSjis(0x21, 0x21), "\x81\x40");
    EXPECT_EQ(JisPairToSjis(0x5F, 0x21), "\xE0\x40");
    // Bytes outside JIS X 0208 still give two bytes, by 8-bit arithmetic.
    EXPECT_EQ(JisPairToSjis(0xFF, 0xFF), T("\xB0\x1F"));
    EXPECT_EQ(JisPairToSjis(0x00, 0x00), T("\x70\x7E"));
}

}  // namespace
}  // namespace torvane::encoding
