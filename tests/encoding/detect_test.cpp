// DetectJapaneseCode and DetectTextCode on the texts whose verdicts decide
// what users see, quirks included.

#include <gtest/gtest.h>

#include "encoding/japanese_codes.h"
#include "encoding/unicode_codes.h"
#include "test_text.h"

namespace torvane::encoding {
namespace {

using testing::Repeat;
using testing::T;
using enum TextCode;

struct DetectCase {
    const char* what;
    std::string text;
    TextCode expected;
};

void PrintTo(const DetectCase& c, std::ostream* os) { *os << c.what; }

class DetectJapaneseCodeTest : public ::testing::TestWithParam<DetectCase> {};

TEST_P(DetectJapaneseCodeTest, GivesTheVerdictOfTheFirstDecisiveByte) {
    EXPECT_EQ(DetectJapaneseCode(GetParam().text), GetParam().expected) << GetParam().what;
}

const std::string kPastWindow = Repeat("a", 600);

INSTANTIATE_TEST_SUITE_P(
    Cases, DetectJapaneseCodeTest,
    ::testing::Values(
        DetectCase{"empty text", "", tcAscii}, DetectCase{"single zero byte", T("\0"), tcAscii},
        DetectCase{"single FF", "\xFF", tcAscii},
        DetectCase{"single Shift_JIS lead", "\x88", tcAscii},
        DetectCase{"plain ASCII", "Domain Name: EXAMPLE.JP\r\n", tcAscii},
        DetectCase{"control byte inside the window",
                   T("ab\x01"
                     "cd"),
                   tcNonText},
        DetectCase{"FF inside the window",
                   "ab\xFF"
                   "cd",
                   tcNonText},
        DetectCase{"control byte as the last byte", T("abcd\x07"), tcAscii},
        DetectCase{"control byte past the window, reached by the scan", kPastWindow + T("\x02z"),
                   tcNonText},
        DetectCase{"control byte past the window after a decisive byte",
                   "\x88\x9F" + kPastWindow + T("\x02z"), tcSjis},
        DetectCase{"undecided text replaced by a later control byte",
                   "\xB0\xA1" + kPastWindow + T("\x02z"), tcNonText},
        DetectCase{"ESC $ B", "abc\x1B$Bxyz", tcJis},
        DetectCase{"ESC $ @", "abc\x1B$@xyz", tcJisOld},
        DetectCase{"ESC ( J alone", "\x1B(Jabc", tcAscii},
        DetectCase{"ESC $ cut off by the end", "ab\x1B$", tcAscii},
        DetectCase{"Shift_JIS half-width katakana before ASCII", "\xB1\x41", tcSjis},
        DetectCase{"EUC-JP half-width katakana", "\x8E\xB1", tcEucOrSjis},
        DetectCase{"8E before a Shift_JIS trail byte", "\x8E\x40", tcSjis},
        DetectCase{"8E before a digit changes nothing", "\x8E\x30z", tcAscii},
        DetectCase{"EUC-JP kanji", "\xB0\xA1", tcEucOrSjis},
        DetectCase{"F0-FE as first byte", "a\xF0\xA1", tcEuc},
        DetectCase{"EUC-JP katakana word, undecided", "\xA5\xC6\xA5\xB9\xA5\xC8", tcEucOrSjis},
        DetectCase{"same word followed by A4 F3", "\xA5\xC6\xA5\xB9\xA5\xC8\xA4\xF3", tcEuc},
        DetectCase{"UTF-8 byte-order mark alone", "\xEF\xBB\xBF", tcEucOrSjis},
        DetectCase{"UTF-8 hiragana judged as Japanese", "\xE3\x81\x82", tcSjis},
        DetectCase{"E0-EF before FD", "\xE5\xFD", tcEuc},
        DetectCase{"E0-EF before 7F changes nothing", "\xE5\x7Fz", tcAscii},
        DetectCase{"80 and A0 change nothing", "\x80\xA0z", tcAscii},
        DetectCase{"A1-DF before A0 changes nothing", "\xA4\xA0z", tcAscii},
        DetectCase{"A1-DF before a byte below A0", "\xA4\x41", tcSjis},
        DetectCase{"look-ahead finds a Shift_JIS lead", "\xA4\xE0\xA4\x81z", tcSjis},
        DetectCase{"look-ahead finds FD", "\xA4\xE0\xA4\xFDz", tcEuc},
        DetectCase{"look-ahead ends undecided at a space", "\xA4\xE0\xA4 z", tcEucOrSjis},
        DetectCase{"byte that ends the look-ahead is passed over", "\xA4\xE0\x1B$Bxy", tcEucOrSjis},
        DetectCase{"without look-ahead the escape counts", "\xA4\xA2\x1B$Bxy", tcJis}));

class DetectTextCodeTest : public ::testing::TestWithParam<DetectCase> {};

TEST_P(DetectTextCodeTest, RecognisesUnicodeFormsBeforeTheJapaneseCodes) {
    EXPECT_EQ(DetectTextCode(GetParam().text), GetParam().expected) << GetParam().what;
}

const std::string kUtf8Hiragana = "\xE3\x81\x82";

INSTANTIATE_TEST_SUITE_P(
    Cases, DetectTextCodeTest,
    ::testing::Values(
        DetectCase{"empty text", "", tcNonText}, DetectCase{"single byte", "a", tcAscii},
        DetectCase{"UTF-16LE mark alone", "\xFF\xFE", tcUtf16Le},
        DetectCase{"UTF-16BE mark",
                   T("\xFE\xFF\x00"
                     "A"),
                   tcUtf16Be},
        DetectCase{"UTF-8 mark with text",
                   "\xEF\xBB\xBF"
                   "a",
                   tcUtf8Bom},
        DetectCase{"UTF-8 mark alone", "\xEF\xBB\xBF", tcEucOrSjis},
        DetectCase{"UTF-8 three-byte sequence", "abc" + kUtf8Hiragana + "defgh", tcUtf8},
        DetectCase{"UTF-8 with E0 sequence", "ab\xE0\xA4\x85xyzw", tcUtf8},
        DetectCase{"text of 5 bytes is not tested for UTF-8", kUtf8Hiragana + "ab", tcSjis},
        DetectCase{"two-byte sequence in the window rules UTF-8 out",
                   "caf\xC3\xA9 " + kUtf8Hiragana + "xyzw", tcSjis},
        DetectCase{"four-byte lead rules UTF-8 out", kUtf8Hiragana + "\xF0\x9F\x98\x80xyzw",
                   tcSjis},
        DetectCase{"overlong E0 sequence", "ab\xE0\x81\x81xyzw", tcSjis},
        DetectCase{"stray trail byte", kUtf8Hiragana + "\x81xyzwxyz", tcSjis},
        DetectCase{"stray trail byte in the last 4 bytes is not tested", kUtf8Hiragana + "\x81xyzw",
                   tcUtf8},
        DetectCase{"first non-ASCII byte past the window", Repeat("a", 520) + kUtf8Hiragana + "xyz",
                   tcSjis},
        DetectCase{"bad sequence past the window", Repeat(kUtf8Hiragana, 200) + "\xE3\x41xyzw",
                   tcUtf8},
        DetectCase{"ISO-2022-JP", "\x1B$B\x30\x21\x1B(B", tcJis},
        DetectCase{"ASCII", "whois.jprs.jp", tcAscii}));

TEST(TextCodeTest, ValuesAndNamesAreFixed) {
    EXPECT_EQ(static_cast<int>(tcAscii), 0);
    EXPECT_EQ(static_cast<int>(tcEucOrSjis), 6);
    EXPECT_EQ(static_cast<int>(tcUtf8), 10);
    EXPECT_EQ(TextCodeName(tcUtf16Be), "tcUtf16Be");
    EXPECT_EQ(TextCodeName(static_cast<TextCode>(11)), "?");
    EXPECT_EQ(ScanLimit, 512);
}

}  // namespace
}  // namespace torvane::encoding
