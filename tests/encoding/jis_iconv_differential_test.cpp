// Every JIS X 0208 character through JisToSjis and EucToSjis against glibc
// iconv's ISO-2022-JP -> CP932 and EUC-JP -> CP932, and JisPairToSjis over
// all 94 x 94 pairs against the row/cell form of the same mapping.

#include <gtest/gtest.h>

#include <string>

#include "encoding/japanese_codes.h"
#include "iconv_reference.h"

namespace torvane::encoding {
namespace {

using testing::IconvExact;

// JIS X 0208:1997 assigns 6879 characters.
constexpr int kJisX0208Characters = 6879;

std::string Bytes(std::initializer_list<unsigned> values) {
    std::string text;
    for (unsigned v : values) text.push_back(static_cast<char>(v));
    return text;
}

TEST(JisIconvDifferential, EveryJisX0208CharacterMatchesIconvThroughJisToSjis) {
    int compared = 0;
    for (unsigned j1 = 0x21; j1 <= 0x7E; ++j1) {
        for (unsigned j2 = 0x21; j2 <= 0x7E; ++j2) {
            const std::string jis = "\x1B$B" + Bytes({j1, j2}) + "\x1B(B";
            const auto expected = IconvExact("ISO-2022-JP", "CP932", jis);
            if (!expected) continue;  // not a JIS X 0208 character
            ++compared;
            EXPECT_EQ(JisToSjis(jis), *expected) << std::hex << j1 << ' ' << j2;
        }
    }
    EXPECT_EQ(compared, kJisX0208Characters);
}

TEST(JisIconvDifferential, EveryJisX0208CharacterMatchesIconvThroughEucToSjis) {
    int compared = 0;
    for (unsigned j1 = 0x21; j1 <= 0x7E; ++j1) {
        for (unsigned j2 = 0x21; j2 <= 0x7E; ++j2) {
            // EUC-JP's 0208 plane is the JIS code with the high bit set.
            const std::string euc = Bytes({j1 | 0x80, j2 | 0x80});
            if (!IconvExact("ISO-2022-JP", "UTF-8", "\x1B$B" + Bytes({j1, j2}) + "\x1B(B")) {
                continue;
            }
            const auto expected = IconvExact("EUC-JP", "CP932", euc);
            ASSERT_TRUE(expected) << std::hex << j1 << ' ' << j2;
            ++compared;
            EXPECT_EQ(EucToSjis(euc), *expected) << std::hex << j1 << ' ' << j2;
        }
    }
    EXPECT_EQ(compared, kJisX0208Characters);
}

TEST(JisIconvDifferential, HalfWidthKatakanaMatchesIconvThroughEucToSjis) {
    for (unsigned kana = 0xA1; kana <= 0xDF; ++kana) {
        const std::string euc = Bytes({0x8E, kana});
        const auto expected = IconvExact("EUC-JP", "CP932", euc);
        ASSERT_TRUE(expected);
        EXPECT_EQ(EucToSjis(euc), *expected) << std::hex << kana;
    }
}

// Shift_JIS by row and cell (1-94 each), written independently of the
// byte arithmetic of JisPairToSjisBytes.
std::string SjisOfRowCell(unsigned row, unsigned cell) {
    const unsigned lead = (row + 1) / 2 + (row <= 62 ? 0x80 : 0xC0);
    unsigned trail;
    if (row % 2 == 1) {
        trail = cell + 0x3F + (cell >= 64 ? 1 : 0);
    } else {
        trail = cell + 0x9E;
    }
    return Bytes({lead, trail});
}

TEST(JisIconvDifferential, JisPairToSjisMatchesRowCellFormOnAllPairs) {
    for (unsigned row = 1; row <= 94; ++row) {
        for (unsigned cell = 1; cell <= 94; ++cell) {
            const auto j1 = static_cast<unsigned char>(row + 0x20);
            const auto j2 = static_cast<unsigned char>(cell + 0x20);
            const std::string sjis = JisPairToSjis(j1, j2);
            ASSERT_EQ(sjis, SjisOfRowCell(row, cell)) << row << '-' << cell;
            const auto lead = static_cast<unsigned char>(sjis[0]);
            const auto trail = static_cast<unsigned char>(sjis[1]);
            EXPECT_TRUE((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEF));
            EXPECT_TRUE(trail >= 0x40 && trail <= 0xFC && trail != 0x7F);
        }
    }
}

}  // namespace
}  // namespace torvane::encoding
