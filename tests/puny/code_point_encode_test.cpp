// TPunyClass::Encode on code points against libidn2's RFC 3492 encoder, on
// labels drawn from the whole code space, beyond U+FFFF too.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "puny/puny.h"

// libidn2 exports its Punycode encoder only under a version tag and without
// a declaration; bind to that version explicitly.
extern "C" int TorvaneIdn2EncodeCodePoints(std::size_t input_length, const std::uint32_t input[],
                                           std::size_t* output_length, char output[]);
__asm__(".symver TorvaneIdn2EncodeCodePoints, _idn2_punycode_encode@IDN2_0.0.0");

namespace torvane::puny {
namespace {

constexpr int kPunycodeOverflow = -204;  // libidn2's IDN2_PUNYCODE_OVERFLOW

struct Idn2Result {
    int rc = 0;
    std::string output;
};

Idn2Result Idn2Encode(std::u32string_view label) {
    std::vector<std::uint32_t> code_points(label.begin(), label.end());
    std::string output(label.size() * 8 + 64, '\0');
    std::size_t length = output.size();
    const int rc =
        TorvaneIdn2EncodeCodePoints(code_points.size(), code_points.data(), &length, output.data());
    output.resize(rc == 0 ? length : 0);
    return {rc, output};
}

std::string Ascii(std::u32string_view text) {
    std::string ascii;
    for (const char32_t c : text) ascii.push_back(c < 0x80 ? static_cast<char>(c) : '#');
    return ascii;
}

// Letters, digits and hyphen; Latin-1 and Greek; kana and kanji; Hangul;
// the planes beyond U+FFFF (ideographs of plane 2, emoji of plane 1).
std::u32string RandomLabel(std::mt19937& random) {
    static constexpr std::pair<char32_t, char32_t> kRanges[] = {
        {U'a', U'z'},       {U'0', U'9'},         {0x00E0, 0x00FF}, {0x03B1, 0x03C9},
        {0x3041, 0x30FF},   {0x4E00, 0x9FFF},     {0xAC00, 0xD7A3}, {0x1F300, 0x1F5FF},
        {0x20000, 0x2A6DF}, {0x10FFF0, 0x10FFFD},
    };
    std::uniform_int_distribution<int> length_of(1, 40);
    std::uniform_int_distribution<std::size_t> range_of(0, std::size(kRanges) - 1);
    std::u32string label;
    for (int n = length_of(random); n > 0; --n) {
        const auto [first, last] = kRanges[range_of(random)];
        label.push_back(std::uniform_int_distribution<char32_t>(first, last)(random));
    }
    // A label of basic code points only is never encoded, and libidn2 then
    // writes a delimiter our encoder leaves out.
    label.push_back(U'\u00E9');
    std::shuffle(label.begin(), label.end(), random);
    return label;
}

TEST(CodePointEncodeTest, MatchesLibidn2OnRandomLabelsOfAllPlanes) {
    std::mt19937 random(20261208);
    for (int i = 0; i < 5000; ++i) {
        const std::u32string label = RandomLabel(random);
        const Idn2Result reference = Idn2Encode(label);
        ASSERT_EQ(reference.rc, 0) << "label " << i;
        ASSERT_EQ(Ascii(TPunyClass().Encode(label)), reference.output) << "label " << i;
    }
}

TEST(CodePointEncodeTest, CountsACharacterBeyondUFFFFOnce) {
    // U+20BB7 as one code point, as IDNA counts it ("𠮷野家" is xn--fctt27jo60v
    // without the prefix); the UTF-16 form counts two surrogates instead.
    const std::u32string label = U"\U00020BB7\u91CE\u5BB6";
    EXPECT_EQ(Ascii(TPunyClass().Encode(label)), "fctt27jo60v");
    EXPECT_EQ(Ascii(TPunyClass().Encode(label)), Idn2Encode(label).output);
}

TEST(CodePointEncodeTest, LabelWhoseCounterLeaves32BitsComesBackUnchanged) {
    // (0x10FFFF - 128) * 4001 passes 2^32 at the first delta, where libidn2's
    // unsigned counters give up too; ours are signed and stop at 2^31.
    const std::u32string label = std::u32string(4000, U'a') + U"\U0010FFFF";
    EXPECT_EQ(Idn2Encode(label).rc, kPunycodeOverflow);
    EXPECT_EQ(TPunyClass().Encode(label), label);
}

}  // namespace
}  // namespace torvane::puny
