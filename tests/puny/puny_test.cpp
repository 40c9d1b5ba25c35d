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

TEST(EncodeTest, EncodesALongLabelThatStaysInRange) {
    const std::u16string label = std::u16string(1000, u'a') + u"日本";
    const std::u16string encoded = TPunyClass().Encode(label);
    ASSERT_GT(encoded.size(), 1001u);
    EXPECT_EQ(encoded.substr(0, 1001), std::u16string(1000, u'a') + u"-");
}

TEST(EncodeDigitTest, MapsValuesToLowerCaseLettersThenDigits) {
    EXPECT_EQ(TPunyClass::EncodeDigit(0), u'a');
    EXPECT_EQ(TPunyClass::EncodeDigit(25), u'z');
    EXPECT_EQ(TPunyClass::EncodeDigit(26), u'0');
    EXPECT_EQ(TPunyClass::EncodeDigit(35), u'9');
}

TEST(MinCodeAtLeastTest, FindsTheSmallestUnitNotBelowN) {
    EXPECT_EQ(TPunyClass::MinCodeAtLeast(128, u"a本日"), 0x65E5);
    EXPECT_EQ(TPunyClass::MinCodeAtLeast(0x65E6, u"a本日"), 0x672C);
    EXPECT_EQ(TPunyClass::MinCodeAtLeast(128, u"abc"), kMaxInt);
}

TEST(AdaptTest, DampsTheFirstDeltaAndScalesLargeOnes) {
    EXPECT_EQ(TPunyClass::Adapt(0, 1, true), 0);
    EXPECT_EQ(TPunyClass::Adapt(700 * 40, 1, true), 36 * 80 / 118);  // 40 -> 80 after numpoints
    EXPECT_EQ(TPunyClass::Adapt(2000, 3, false), 36 + (36 * 38) / (38 + 38));
}

}  // namespace
}  // namespace torvane::puny
