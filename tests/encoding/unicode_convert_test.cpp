// The UTF-16 and UTF-8 conversions to CP932, with the malformed-input
// behaviour that keeps an answer readable.

#include <gtest/gtest.h>

#include <stdexcept>

#include "encoding/unicode_codes.h"
#include "test_text.h"

namespace torvane::encoding {
namespace {

using testing::Repeat;
using testing::T;

struct ConvertCase {
    const char* what;
    std::string input;
    std::string expected;
};

void PrintTo(const ConvertCase& c, std::ostream* os) { *os << c.what; }

class Utf16LeToAnsiTest : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(Utf16LeToAnsiTest, ConvertsUpToTheFirstZeroUnit) {
    EXPECT_EQ(Utf16LeToAnsi(GetParam().input), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Cases, Utf16LeToAnsiTest,
                         ::testing::Values(ConvertCase{"mark alone becomes one question mark",
                                                       "\xFF\xFE", "?"},
                                           ConvertCase{"text after the mark",
                                                       T("\xFF\xFE"
                                                         "A\0\x42\x30"),
                                                       "?A\x82\xA0"},
                                           ConvertCase{"zero unit ends the text",
                                                       T("\xFF\xFE"
                                                         "A\0\0\0B\0"),
                                                       "?A"},
                                           ConvertCase{"zero byte that is half a unit does not",
                                                       T("\xFF\xFE\0\x30"), "?\x81\x40"},
                                           ConvertCase{"odd last byte is dropped",
                                                       T("\xFF\xFE"
                                                         "A\0B"),
                                                       "?A"},
                                           ConvertCase{"surrogate pair is one character",
                                                       T("\xFF\xFE\x3D\xD8\x00\xDE"
                                                         "A\0"),
                                                       "??A"},
                                           ConvertCase{"lone surrogate",
                                                       T("\xFF\xFE\x00\xDC"
                                                         "A\0"),
                                                       "??A"}));

TEST(Utf16BeToAnsiTest, GivesTheSameTextAsLittleEndian) {
    const std::string little =
        T("\xFF\xFE"
          "A\0\x42\x30\r\0\n\0\x22\x6F\0\0Z\0");
    const std::string big = T("\xFE\xFF\0A\x30\x42\0\r\0\n\x6F\x22\0\0\0Z");
    EXPECT_EQ(Utf16BeToAnsi(big), Utf16LeToAnsi(little));
    EXPECT_EQ(Utf16BeToAnsi(big), "?A\x82\xA0\r\n\x8A\xBF");
    EXPECT_EQ(Utf16BeToAnsi(T("\xFE\xFF\0A\x30")), "?A");
}

TEST(Utf8BomToAnsiTest, DropsTheMarkAndStopsAtAZeroByte) {
    EXPECT_EQ(Utf8BomToAnsi(T("\xEF\xBB\xBF"
                              "abc\xE3\x81\x82\0def")),
              "abc\x82\xA0");
    EXPECT_EQ(Utf8BomToAnsi("\xEF\xBB\xBF"), "");
}

class Utf8ToAnsiStrictTest : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(Utf8ToAnsiStrictTest, ReplacesMalformedPiecesInsteadOfFailing) {
    EXPECT_EQ(Utf8ToAnsiStrict(GetParam().input), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ToAnsiStrictTest,
    ::testing::Values(ConvertCase{"empty", "", ""},
                      ConvertCase{"Japanese", "\xE6\x97\xA5\xE6\x9C\xAC", "\x93\xFA\x96\x7B"},
                      ConvertCase{"zero byte ends the result", T("ab\0cd"), "ab"},
                      ConvertCase{"missing character", "caf\xC3\xA9", "caf?"},
                      ConvertCase{"invalid byte",
                                  "a\xFF"
                                  "b",
                                  "a?b"},
                      ConvertCase{"sequence cut by an ASCII byte",
                                  "a\xE3\x81"
                                  "b",
                                  "a?b"},
                      ConvertCase{"sequence cut by the end", "a\xE3\x81", "a?"},
                      ConvertCase{"encoded surrogate",
                                  "\xED\xA0\x80"
                                  "a",
                                  "???a"},
                      ConvertCase{"four-byte character",
                                  "\xF0\x9F\x98\x80"
                                  "a",
                                  "?a"}));

class Utf8ToAnsiSimpleTest : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(Utf8ToAnsiSimpleTest, DecodesByItsOwnRulesAndReplacesBadSequences) {
    EXPECT_EQ(Utf8ToAnsiSimple(GetParam().input), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ToAnsiSimpleTest,
    ::testing::Values(
        ConvertCase{"empty", "", ""}, ConvertCase{"ASCII with CR LF", "a b\r\n", "a b\r\n"},
        ConvertCase{"Japanese", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "\x93\xFA\x96\x7B\x8C\xEA"},
        ConvertCase{"zero byte is kept", T("a\0b"), T("a\0b")},
        ConvertCase{"lead 80-BF follows the lead rule", "\xA3\x81\x82", "\x82\xA0"},
        ConvertCase{"two-byte form", "\xC3\xA9", "?"},
        ConvertCase{"bad trail: lead becomes one ? and the bad byte is decoded",
                    "\xE3"
                    "AB",
                    "?AB"},
        ConvertCase{"bad second trail keeps the byte after",
                    "\xE3\x81"
                    "A",
                    "?A"},
        ConvertCase{"bad trail that leads a sequence itself", "\xE3\x81\xE3\x81\x82", "?\x82\xA0"},
        ConvertCase{"cut off by the end: one ? and stop", "ab\xE3\x81", "ab?"},
        ConvertCase{"lone lead at the end", "ab\xC3", "ab?"},
        ConvertCase{"four-byte lead takes two trails only", "\xF0\x9F\x98\x80", "??"},
        ConvertCase{"surrogate pair from two sequences is one character",
                    "\xED\xA0\xBD\xED\xB8\x80"
                    "a",
                    "?a"},
        ConvertCase{"lone surrogate",
                    "\xED\xA0\x80"
                    "a",
                    "?a"}));

TEST(Utf8ToAnsiSimpleTest, MalformedSequenceFarIntoAnAnswerKeepsEverythingElse) {
    const std::string hiragana = "\xE3\x81\x82";
    const std::string answer = Repeat(hiragana + "\r\n", 300) + "\xE3\x41" + hiragana;
    EXPECT_EQ(Utf8ToAnsiSimple(answer), Repeat("\x82\xA0\r\n", 300) + "?A\x82\xA0");
}

}  // namespace
}  // namespace torvane::encoding
