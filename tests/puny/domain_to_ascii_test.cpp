// DomainToAscii on whole Shift_JIS host names.

#include <gtest/gtest.h>

#include <string>

#include "encoding/code_page.h"
#include "puny/puny.h"

namespace torvane::puny {
namespace {

// 日本語 and 例 in CP932.
const std::string kNihongo = "\x93\xFA\x96\x7B\x8C\xEA";
const std::string kRei = "\x97\xE1";

std::string EncodedByHand(std::u16string_view label) {
    return encoding::Utf16ToCp932(u"xn--" + TPunyClass().Encode(label));
}

struct NameCase {
    const char* what;
    std::string name;
    std::string ascii;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.what; }

class DomainToAsciiTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(DomainToAsciiTest, ReplacesOnlyLabelsThatHoldMoreThanAscii) {
    EXPECT_EQ(DomainToAscii(GetParam().name), GetParam().ascii) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Names, DomainToAsciiTest,
    ::testing::Values(
        NameCase{"Japanese label and jp", kNihongo + ".jp", "xn--wgv71a119e.jp"},
        NameCase{"second of four labels", "www." + kNihongo + ".co.jp", "www.xn--wgv71a119e.co.jp"},
        NameCase{"single kanji", kRei + ".jp", "xn--fsq.jp"},
        NameCase{"final dot after an encoded label", kNihongo + ".", "xn--wgv71a119e."},
        NameCase{"final dot after the name", kNihongo + ".jp.", "xn--wgv71a119e.jp."},
        NameCase{"two dots in a row stay", kNihongo + "..jp", "xn--wgv71a119e..jp"},
        NameCase{"leading dot stays", "." + kNihongo, ".xn--wgv71a119e"},
        NameCase{"capitals are kept", "Abc\x93\xFA\x96\x7BXyz.jp", "xn--AbcXyz-rl2mm8f.jp"},
        NameCase{"half-width katakana label", "\xB1\xB2\xB3.jp", "xn--zj7ccd.jp"},
        NameCase{"ASCII name unchanged", "example.co.jp", "example.co.jp"},
        NameCase{"empty name", "", ""},
        NameCase{"one half-width katakana byte is never encoded", "\xB1.jp", "\xB1.jp"},
        NameCase{"a last katakana byte is not seen in a label", "a\xB1.jp", "a\xB1.jp"},
        NameCase{"full-width dot belongs to the label", kNihongo + "\x81\x44jp",
                 EncodedByHand(u"日本語．jp")},
        NameCase{"label with an escape sequence gets the prefix", "a\x1B$Bb.jp", "xn--a\x1B$Bb.jp"},
        NameCase{"bad Shift_JIS byte becomes U+FFFD", "\x93\xFA\x80x.jp",
                 EncodedByHand(u"日\uFFFDx") + ".jp"}));

}  // namespace
}  // namespace torvane::puny
