// The table-driven conversions against the iconv conversions they replace:
// Cp932ToUtf8 against Cp932ToUtf16 then iconv's UTF-16 -> UTF-8 on every
// two-byte sequence, Utf8ToAnsiSimple against Utf16ToCp932 on every unit and
// on the surrogate cases, and the ASCII shortcut of ConvertAnswerText.

#include <gtest/gtest.h>

#include <string>

#include "encoding/answer_text.h"
#include "encoding/code_page.h"
#include "encoding/cp932_utf8.h"
#include "encoding/unicode_codes.h"
#include "iconv_reference.h"
#include "test_text.h"

namespace torvane::encoding {
namespace {

using testing::IconvExact;
using testing::T;

std::string_view AsBytes(const std::u16string& units) {
    return {reinterpret_cast<const char*>(units.data()), units.size() * 2};
}

std::string Utf8OfUnits(const std::u16string& units) {
    return IconvExact("UTF-16LE", "UTF-8", AsBytes(units)).value();
}

// Each pair is followed by LF, which is no trail byte, so a lead byte never
// swallows the next sequence.
TEST(Cp932ToUtf8Differential, EveryTwoByteSequenceMatchesTheUtf16Route) {
    for (unsigned first = 0; first < 0x100; ++first) {
        std::string text;
        for (unsigned second = 0; second < 0x100; ++second) {
            text += static_cast<char>(first);
            text += static_cast<char>(second);
            text += '\n';
        }
        EXPECT_EQ(Cp932ToUtf8(text), Utf8OfUnits(Cp932ToUtf16(text))) << std::hex << first;
    }
}

TEST(Cp932ToUtf8Differential, CutAndBadPiecesMatchTheUtf16Route) {
    const std::string cases[] = {
        "",
        T("a\0b"),
        "\x82\xA0",
        "\x82",
        "abc\x82",
        "\x82\x7F",
        "\x80\xA0\xFD\xFE\xFF",
        "\xB1\xB2",
        "\x81\x81\x81",
        "plain ascii line",
        "\xEF\x40\x82\xA0",  // unmapped pair, then a kana
    };
    for (const std::string& text : cases) {
        EXPECT_EQ(Cp932ToUtf8(text), Utf8OfUnits(Cp932ToUtf16(text))) << text;
    }
}

// Every unit outside the surrogates, 256 to a text, each after an ASCII
// byte so that runs and single units alternate.
TEST(Utf8ToAnsiSimpleDifferential, EveryUnitMatchesUtf16ToCp932) {
    for (unsigned high = 0; high < 0x100; ++high) {
        if (high >= 0xD8 && high <= 0xDF) continue;
        std::u16string units;
        for (unsigned low = 0; low < 0x100; ++low) {
            units += static_cast<char16_t>(high << 8 | low);
            units += u'x';
        }
        EXPECT_EQ(Utf8ToAnsiSimple(Utf8OfUnits(units)), Utf16ToCp932(units)) << std::hex << high;
    }
}

TEST(Utf8ToAnsiSimpleDifferential, SurrogatesMatchUtf16ToCp932) {
    // ED A0 80 decodes to D800, ED B0 80 to DC00.
    const std::string high = "\xED\xA0\x80";
    const std::string low = "\xED\xB0\x80";
    const std::pair<std::string, std::u16string> cases[] = {
        {high + low, u"\xD800\xDC00"},
        {high, u"\xD800"},
        {low, u"\xDC00"},
        {high + high + low, u"\xD800\xD800\xDC00"},
        {low + high, u"\xDC00\xD800"},
        {high + "a" + low,
         u"\xD800"
         u"a"
         u"\xDC00"},
        {high + low + low, u"\xD800\xDC00\xDC00"},
        {high + "\xE3\x81\x82" + low, u"\xD800\x3042\xDC00"},
    };
    for (const auto& [utf8, units] : cases) {
        EXPECT_EQ(Utf8ToAnsiSimple(utf8), Utf16ToCp932(units)) << utf8;
    }
}

// Plain ASCII takes the shortcut; ESC and a non-text byte keep their
// detector verdicts.
TEST(ConvertAnswerTextShortcut, PlainAsciiComesBackAndJisIsStillConverted) {
    const std::string ascii = testing::Repeat("% whois answer line\r\n", 40);
    EXPECT_EQ(ConvertAnswerText(ascii), ascii);
    EXPECT_EQ(ConvertAnswerText(T("\x01 binary\0")), T("\x01 binary\0"));
    const std::string jis = ascii + "\x1B$B$\"\x1B(B";  // a hiragana in ISO-2022-JP
    EXPECT_EQ(ConvertAnswerText(jis), ascii + "\x82\xA0");
}

}  // namespace
}  // namespace torvane::encoding
