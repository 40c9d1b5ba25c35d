// TPunyClass::Encode on known labels and on its own building blocks.

#include "puny/puny.h"

#include <gtest/gtest.h>

#include <string>

namespace torvane::puny {
namespace {

struct EncodeCase {
    std::u16string label;
    std::u16string encoded;
};

class EncodeTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeTest, GivesTheRfc3492FormWithoutFoldingOrNormalising) {
    EXPECT_EQ(TPunyClass().Encode(GetParam().label), GetParam().encoded);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, EncodeTest,
    ::testing::Values(EncodeCase{u"日本語", u"wgv71a119e"}, EncodeCase{u"例", u"fsq"},
                      EncodeCase{u"abc日本", u"abc-v08fl0d"},
                      EncodeCase{u"Abc日本Xyz", u"AbcXyz-rl2mm8f"}, EncodeCase{u"ｱｲｳ", u"zj7ccd"},
                      EncodeCase{u"ＡＢＣ", u"ph7ccd"}, EncodeCase{u"example", u"example"},
                      EncodeCase{u"A-b_9", u"A-b_9"}, EncodeCase{u"", u""},
                      // RFC 3492, 7.1 (J): Japanese with basic digits.
                      EncodeCase{u"3年B組金八先生", u"3B-ww4c5e180e575a65lsy2b"},
                      EncodeCase{u"安室奈美恵-with-SUPER-MONKEYS",
                                 u"-with-SUPER-MONKEYS-pc58ag80a8qai00g7n9n"}));

TEST(EncodeTest, ReturnsTheLabelUnchangedWhenACounterWouldOverflow) {
    // 60000 basic units before one unit of 0xFFE5: the first delta is
    // (0xFFE5 - 128) * 60001, beyond 32 bits.
    const std::u16string label = std::u16string(60000, u'a') + u"\uFFE5";
    EXPECT_EQ(TPunyClass().Encode(label), label);
}

}  // namespace
}  // namespace torvane::puny
