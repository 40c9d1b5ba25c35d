// TPunyClass::Encode and DomainToAscii against libidn2's RFC 3492 encoder on
// random labels drawn from the characters CP932 can hold.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "encoding/code_page.h"
#include "puny/puny.h"

// libidn2 exports its Punycode encoder only under a version tag and without
// a declaration; bind to that version explicitly.
extern "C" int TorvaneIdn2PunycodeEncode(std::size_t input_length, const std::uint32_t input[],
                                         std::size_t* output_length, char output[]);
__asm__(".symver TorvaneIdn2PunycodeEncode, _idn2_punycode_encode@IDN2_0.0.0");

namespace torvane::puny {
namespace {

std::string Idn2Encode(std::u16string_view label) {
    std::vector<std::uint32_t> code_points(label.begin(), label.end());
    std::string output(label.size() * 8 + 64, '\0');
    std::size_t length = output.size();
    const int rc =
        TorvaneIdn2PunycodeEncode(code_points.size(), code_points.data(), &length, output.data());
    if (rc != 0) return "<libidn2 error " + std::to_string(rc) + ">";
    output.resize(length);
    return output;
}

std::string Ascii(std::u16string_view text) {
    std::string ascii;
    for (const char16_t unit : text) ascii.push_back(unit < 0x80 ? static_cast<char>(unit) : '#');
    return ascii;
}

// CP932's characters: its printable single bytes and every pair that maps.
struct Repertoire {
    std::u16string basic;
    std::vector<std::string> double_byte;  // CP932 bytes
    std::u16string single_kana;
};

Repertoire Cp932Repertoire() {
    Repertoire r;
    for (char c = 0x21; c < 0x7F; ++c) {
        if (c != '.') r.basic.push_back(static_cast<char16_t>(c));
    }
    for (unsigned kana = 0xA1; kana <= 0xDF; ++kana) {
        r.single_kana += encoding::Cp932ToUtf16(std::string(1, static_cast<char>(kana)));
    }
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead >= 0xA0 && lead <= 0xDF) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            if (trail != 0x7F && encoding::Cp932ToUtf16(pair) != u"\uFFFD") {
                r.double_byte.push_back(pair);
            }
        }
    }
    return r;
}

class PunycodeIdn2Test : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { repertoire_ = new Repertoire(Cp932Repertoire()); }
    static void TearDownTestSuite() { delete repertoire_; }

    // A CP932 label of 1-24 characters whose first one is double-byte.
    std::string RandomLabel() {
        std::uniform_int_distribution<int> length_of(1, 24);
        std::uniform_int_distribution<int> kind_of(0, 9);
        const auto pick = [&](const auto& from) {
            return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random_)];
        };
        std::string label = pick(repertoire_->double_byte);
        for (int n = length_of(random_) - 1; n > 0; --n) {
            const int kind = kind_of(random_);
            if (kind < 3) {
                label.push_back(static_cast<char>(pick(repertoire_->basic)));
            } else if (kind < 4) {
                label += encoding::Utf16ToCp932(std::u16string(1, pick(repertoire_->single_kana)));
            } else {
                label += pick(repertoire_->double_byte);
            }
        }
        return label;
    }

    static Repertoire* repertoire_;
    std::mt19937 random_{20261207};
};

Repertoire* PunycodeIdn2Test::repertoire_ = nullptr;

TEST_F(PunycodeIdn2Test, RepertoireHoldsEveryCp932Character) {
    EXPECT_EQ(repertoire_->double_byte.size(), 9604u);
    EXPECT_EQ(repertoire_->single_kana.size(), 63u);
}

TEST_F(PunycodeIdn2Test, EncodeMatchesLibidn2OnRandomLabels) {
    for (int i = 0; i < 5000; ++i) {
        const std::u16string label = encoding::Cp932ToUtf16(RandomLabel());
        ASSERT_EQ(Ascii(TPunyClass().Encode(label)), Idn2Encode(label)) << "label " << i;
    }
}

TEST_F(PunycodeIdn2Test, EncodeMatchesLibidn2OnLongLabels) {
    std::string many_characters;
    for (int i = 0; i < 400; ++i) many_characters += RandomLabel();
    for (const std::u16string& label :
         {std::u16string(1000, u'a') + u"日本", encoding::Cp932ToUtf16(many_characters)}) {
        EXPECT_EQ(Ascii(TPunyClass().Encode(label)), Idn2Encode(label)) << label.size();
    }
}

TEST_F(PunycodeIdn2Test, DomainToAsciiMatchesLibidn2LabelByLabel) {
    for (int i = 0; i < 1000; ++i) {
        const std::string first = RandomLabel();
        const std::string second = RandomLabel();
        const std::string name = "www." + first + "." + second + ".jp";
        const std::string expected = "www.xn--" + Idn2Encode(encoding::Cp932ToUtf16(first)) +
                                     ".xn--" + Idn2Encode(encoding::Cp932ToUtf16(second)) + ".jp";
        ASSERT_EQ(DomainToAscii(name), expected) << "name " << i;
    }
}

}  // namespace
}  // namespace torvane::puny
