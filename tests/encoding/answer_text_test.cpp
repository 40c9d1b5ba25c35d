// ConvertAnswerText: which codes are converted and which texts come back
// unchanged.

#include "encoding/answer_text.h"

#include <gtest/gtest.h>

#include "test_text.h"

namespace torvane::encoding {
namespace {

using testing::Repeat;
using testing::T;

struct AnswerCase {
    const char* what;
    std::string raw;
    std::string shown;
};

void PrintTo(const AnswerCase& c, std::ostream* os) { *os << c.what; }

class ConvertAnswerTextTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(ConvertAnswerTextTest, ConvertsByTheDetectedCode) {
    EXPECT_EQ(ConvertAnswerText(GetParam().raw), GetParam().shown) << GetParam().what;
}

const std::string kUtf8Hiragana = "\xE3\x81\x82";

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertAnswerTextTest,
    ::testing::Values(
        AnswerCase{"empty answer", "", ""},
        AnswerCase{"ASCII answer", "No match!!\r\n", "No match!!\r\n"},
        AnswerCase{"ISO-2022-JP", "[\x1B$B\x24\x22\x1B(B]\r\n", "[\x82\xA0]\r\n"},
        AnswerCase{"EUC-JP, decided", "\xA5\xC6\xA5\xB9\xA5\xC8\xA4\xF3",
                   "\x83\x65\x83\x58\x83\x67\x82\xF1"},
        AnswerCase{"EUC-JP or Shift_JIS: shown unchanged", "\xA5\xC6\xA5\xB9\xA5\xC8",
                   "\xA5\xC6\xA5\xB9\xA5\xC8"},
        AnswerCase{"Shift_JIS unchanged", "\x88\x9F\r\n", "\x88\x9F\r\n"},
        AnswerCase{"non-text unchanged", T("\x01\x02\x03"), T("\x01\x02\x03")},
        AnswerCase{"UTF-8 mark alone is left as it is", "\xEF\xBB\xBF", "\xEF\xBB\xBF"},
        AnswerCase{"UTF-16LE",
                   T("\xFF\xFE"
                     "A\0\x42\x30"),
                   "?A\x82\xA0"},
        AnswerCase{"UTF-16BE", T("\xFE\xFF\0A\x30\x42"), "?A\x82\xA0"},
        AnswerCase{"UTF-8 with mark and a zero byte", T("\xEF\xBB\xBFok\xE3\x81\x82\0rest"),
                   "ok\x82\xA0"},
        AnswerCase{"UTF-8 without mark", "name: " + kUtf8Hiragana + "\r\nend\r\n",
                   "name: \x82\xA0\r\nend\r\n"},
        AnswerCase{"UTF-8 only in the last 5 bytes is not seen", "name: " + kUtf8Hiragana + "\r\n",
                   "name: " + kUtf8Hiragana + "\r\n"},
        AnswerCase{"UTF-8 first non-ASCII past the window: unchanged",
                   Repeat("a", 520) + kUtf8Hiragana + "xyz",
                   Repeat("a", 520) + kUtf8Hiragana + "xyz"},
        AnswerCase{"UTF-8 with a bad sequence past the window keeps the answer",
                   Repeat(kUtf8Hiragana, 200) + "\xE3\x41" + "end",
                   Repeat("\x82\xA0", 200) + "?Aend"}));

TEST(ConvertAnswerTextTest, ThrowsNothingForMalformedUtf8AfterAMark) {
    EXPECT_EQ(ConvertAnswerText("\xEF\xBB\xBF\xFF\xE3\x81"), "??");
}

}  // namespace
}  // namespace torvane::encoding
