// The decoders to UTF-8 against glibc iconv, code by code, on inputs that
// hold every character of the code: every JIS X 0208 and JIS X 0212 pair,
// every Shift_JIS pair, every Latin-1 and Windows-1251 byte, and random
// valid UTF-16; and their U+FFFD pieces against the lenient references.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "encoding/code_page.h"
#include "encoding/cp932_utf8.h"
#include "encoding/japanese_codes.h"
#include "encoding/to_utf8.h"
#include "iconv_reference.h"
#include "test_text.h"

namespace torvane::encoding {
namespace {

using testing::IconvExact;
using testing::T;

std::string Bytes(std::initializer_list<unsigned> values) {
    std::string text;
    for (unsigned v : values) text.push_back(static_cast<char>(v));
    return text;
}

// All defined characters of a 94 x 94 set in one large text, each on its
// own line as `encode` writes it, with iconv's reading of the same text.
struct SetText {
    std::string encoded, expected;
    int characters = 0;
};

template <typename Encode, typename Read>
SetText EveryPair(Encode encode, Read read) {
    SetText set;
    for (unsigned j1 = 0x21; j1 <= 0x7E; ++j1) {
        for (unsigned j2 = 0x21; j2 <= 0x7E; ++j2) {
            const std::string one = encode(j1, j2);
            const auto utf8 = read(one);
            if (!utf8) continue;
            set.encoded += one + "\n";
            set.expected += *utf8 + "\n";
            ++set.characters;
        }
    }
    return set;
}

// ISO-2022-JP as CP932 reads it: iconv's ISO-2022-JP -> CP932 -> UTF-8.
std::optional<std::string> IconvJisAsCp932(const std::string& jis) {
    const auto cp932 = IconvExact("ISO-2022-JP", "CP932", jis);
    if (!cp932) return std::nullopt;
    return IconvExact("CP932", "UTF-8", *cp932);
}

TEST(ToUtf8Iconv, EveryJisX0208CharacterInIso2022Jp) {
    const SetText set = EveryPair(
        [](unsigned j1, unsigned j2) { return "\x1B$B" + Bytes({j1, j2}) + "\x1B(B"; },
        IconvJisAsCp932);
    EXPECT_EQ(set.characters, 6879);
    EXPECT_EQ(JisToUtf8(set.encoded), set.expected);
}

TEST(ToUtf8Iconv, EveryJisX0208CharacterInEucJp) {
    const SetText set = EveryPair(
        [](unsigned j1, unsigned j2) { return Bytes({j1 | 0x80, j2 | 0x80}); },
        [](const std::string& euc) -> std::optional<std::string> {
            const std::string jis = "\x1B$B" + Bytes({euc[0] & 0x7Fu, euc[1] & 0x7Fu}) + "\x1B(B";
            if (!IconvExact("ISO-2022-JP", "UTF-8", jis)) return std::nullopt;
            return IconvExact("CP932", "UTF-8", *IconvExact("EUC-JP", "CP932", euc));
        });
    EXPECT_EQ(set.characters, 6879);
    EXPECT_EQ(EucToUtf8(set.encoded), set.expected);
}

TEST(ToUtf8Iconv, EveryJisX0212CharacterInEucJpAndIso2022Jp) {
    const SetText set = EveryPair(
        [](unsigned j1, unsigned j2) { return Bytes({0x8F, j1 | 0x80, j2 | 0x80}); },
        [](const std::string& euc) { return IconvExact("EUC-JP", "UTF-8", euc); });
    EXPECT_GT(set.characters, 6000);
    EXPECT_EQ(EucToUtf8(set.encoded), set.expected);

    // The same characters in ISO-2022-JP's JIS X 0212 set, line ends kept.
    std::string jis = "\x1B$(D";
    for (std::size_t i = 0; i < set.encoded.size(); i += 4) {
        jis += Bytes({set.encoded[i + 1] & 0x7Fu, set.encoded[i + 2] & 0x7Fu}) + "\n";
    }
    EXPECT_EQ(JisToUtf8(jis + "\x1B(B"), set.expected);
}

TEST(ToUtf8Iconv, EveryHalfWidthKatakanaInEucJpAndIso2022Jp) {
    std::string euc, jis = "\x1B(I", expected;
    for (unsigned kana = 0xA1; kana <= 0xDF; ++kana) {
        euc += Bytes({0x8E, kana});
        jis += Bytes({kana & 0x7F});
        expected += *IconvExact("EUC-JP", "UTF-8", Bytes({0x8E, kana}));
    }
    EXPECT_EQ(EucToUtf8(euc), expected);
    EXPECT_EQ(JisToUtf8(jis), expected);
}

TEST(ToUtf8Iconv, EveryShiftJisCharacterMatchesIconvCp932) {
    std::string text;
    for (unsigned first = 0; first <= 0xFF; ++first) {
        const std::string single = Bytes({first});
        if (IconvExact("CP932", "UTF-8", single)) text += single + "\n";
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string pair = Bytes({first, trail});
            const auto utf8 = IconvExact("CP932", "UTF-8", pair);
            // A pair that iconv reads as one character, not as two bytes.
            if (utf8 && !IconvExact("CP932", "UTF-8", single)) text += pair + "\n";
        }
    }
    EXPECT_GT(text.size(), 3u * 7000);
    EXPECT_EQ(SjisToUtf8(text), *IconvExact("CP932", "UTF-8", text));
}

// Each pair is followed by LF, which is no trail byte, so a lead byte never
// swallows the next sequence.
TEST(ToUtf8Iconv, ShiftJisBadPiecesAreCp932ToUtf8s) {
    for (unsigned first = 0; first < 0x100; ++first) {
        std::string text;
        for (unsigned second = 0; second < 0x100; ++second) text += Bytes({first, second, '\n'});
        EXPECT_EQ(SjisToUtf8(text), Cp932ToUtf8(text)) << std::hex << first;
    }
    EXPECT_EQ(SjisToUtf8("a\x82"), "a\uFFFD");
}

TEST(ToUtf8Iconv, EveryLatin1ByteAndEveryWindows1251Byte) {
    std::string all;
    for (unsigned b = 0; b < 0x100; ++b) all += Bytes({b});
    EXPECT_EQ(Latin1ToUtf8(all), *IconvExact("ISO-8859-1", "UTF-8", all));
    std::string defined = all;
    defined.erase(0x98, 1);
    std::string expected = *IconvExact("CP1251", "UTF-8", defined);
    expected.insert(expected.find("\xE2\x84\xA2"), "\uFFFD");  // before U+2122 (99)
    EXPECT_EQ(Windows1251ToUtf8(all), expected);
}

// Random scalar values of every UTF-8 length, surrogate pairs included.
std::u32string RandomScalars(std::size_t count, std::mt19937& random) {
    std::uniform_int_distribution<int> length(0, 3);
    const char32_t limits[] = {0x80, 0x800, 0x10000, 0x110000};
    const char32_t lows[] = {0, 0x80, 0x800, 0x10000};
    std::u32string scalars;
    while (scalars.size() < count) {
        const int l = length(random);
        std::uniform_int_distribution<char32_t> value(lows[l], limits[l] - 1);
        const char32_t c = value(random);
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        scalars += c;
    }
    return scalars;
}

TEST(ToUtf8Iconv, RandomValidUtf16InBothOrders) {
    std::mt19937 random(23);
    const std::u32string scalars = RandomScalars(200000, random);
    const std::string_view scalarBytes(reinterpret_cast<const char*>(scalars.data()),
                                       scalars.size() * 4);
    const std::string expected = *IconvExact("UTF-32LE", "UTF-8", scalarBytes);
    EXPECT_EQ(Utf16LeToUtf8(*IconvExact("UTF-32LE", "UTF-16LE", scalarBytes)), expected);
    EXPECT_EQ(Utf16BeToUtf8(*IconvExact("UTF-32LE", "UTF-16BE", scalarBytes)), expected);
}

TEST(ToUtf8Iconv, Utf16LoneSurrogatesAndOddByteEachBecomeOneReplacement) {
    EXPECT_EQ(Utf16LeToUtf8(T("\x00\xD8" "a\0" "\x00\xDC\x00\xD8")), "\uFFFDa\uFFFD\uFFFD");
    EXPECT_EQ(Utf16BeToUtf8(T("\0a\xD8\x3D\xDE\x00\xDE\x00" "b")), "a😀\uFFFD\uFFFD");
    EXPECT_EQ(Utf16LeToUtf8(T("\0\0\x07\0")), T("\0\x07"));
}

// MendUtf8 against the iconv-driven lenient decoder of code_page.h, which
// gives one U+FFFD per maximal ill-formed subpart too.
TEST(ToUtf8Iconv, MendUtf8MatchesTheLenientIconvDecoderOnRandomBytes) {
    std::mt19937 random(1468);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> pick(0, 3);
    const std::u32string valid = RandomScalars(4000, random);
    const std::string validUtf8 = *IconvExact(
        "UTF-32LE", "UTF-8",
        std::string_view(reinterpret_cast<const char*>(valid.data()), valid.size() * 4));
    std::string text;
    for (char c : validUtf8) {
        // Keep most bytes, break some sequences, add stray bytes.
        const int p = pick(random);
        if (p != 0) text += c;
        if (p == 3 && byte(random) < 40) text += static_cast<char>(byte(random));
    }
    const std::u16string units = Utf8ToUtf16(text);
    const std::string expected = *IconvExact(
        "UTF-16LE", "UTF-8",
        std::string_view(reinterpret_cast<const char*>(units.data()), units.size() * 2));
    ASSERT_NE(expected.find("\uFFFD"), std::string::npos);
    EXPECT_EQ(MendUtf8(text), expected);
    EXPECT_TRUE(IsValidUtf8(MendUtf8(text)));
}

struct PieceCase {
    const char* name;
    std::string (*decode)(std::string);
    std::string raw;
    std::string expected;
};

class BadPieceTest : public ::testing::TestWithParam<PieceCase> {};

TEST_P(BadPieceTest, BecomesOneReplacementPerPieceAndKeepsTheRest) {
    EXPECT_EQ(GetParam().decode(GetParam().raw), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, BadPieceTest,
    ::testing::Values(
        PieceCase{"Utf8Overlong", MendUtf8, "a\xC0\xAF" "b", "a\uFFFD\uFFFDb"},
        PieceCase{"Utf8CutThreeByte", MendUtf8, "\xE3\x81" "a\xE3", "\uFFFDa\uFFFD"},
        PieceCase{"Utf8Surrogate", MendUtf8, "\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD"},
        PieceCase{"Utf8AboveMax", MendUtf8, "\xF4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD"},
        PieceCase{"EucLeadBeforeAscii", EucToUtf8, "\xC6" "a", "\uFFFDa"},
        PieceCase{"EucLeadAtEnd", EucToUtf8, "a\xC6", "a\uFFFD"},
        PieceCase{"EucC1ControlsKept", EucToUtf8, "\x85\x9F\xA0\xFF", "\u0085\u009F\uFFFD\uFFFD"},
        PieceCase{"EucKatakanaLeadWithoutKana", EucToUtf8, "\x8E" "a\x8E\xE0", "\uFFFDa\uFFFD\uFFFD"},
        PieceCase{"Euc0212CutAfterFirstTrail", EucToUtf8, "\x8F\xB0" "a", "\uFFFDa"},
        PieceCase{"JisLineEndsInKanjiModeKept", JisToUtf8, "\x1B$B$\"\r\n$$\x1B(B",
                  "あ\r\nい"},
        PieceCase{"JisHalfPairBeforeControlAndAtEnd", JisToUtf8, "\x1B$B$\n$", "\uFFFD\n\uFFFD"},
        PieceCase{"JisUnknownEscapeIsTheControl", JisToUtf8, "a\x1B(Zb\x1B$", "a\x1B(Zb\x1B$"},
        PieceCase{"JisEightBitByte", JisToUtf8, "a\xA4" "b", "a\uFFFDb"},
        PieceCase{"JisOldKanjiDesignation", JisToUtf8, "\x1B$@F|\x1B(J!", "日!"},
        PieceCase{"JisKatakanaOutOfRange", JisToUtf8, "\x1B(I1\x60", "ｱ\uFFFD"}),
    [](const auto& info) { return std::string(info.param.name); });

// The decoders write over their input while they can: a text that shrinks
// (ISO-2022-JP escapes, Latin-1 that is ASCII) comes back in the same buffer.
TEST(ToUtf8Iconv, ShrinkingTextIsDecodedInPlace) {
    std::string jis = testing::Repeat("\x1B$B$\"\x1B(B line of ASCII text\n", 50);
    const char* bytes = jis.data();
    const std::string decoded = JisToUtf8(std::move(jis));
    EXPECT_EQ(decoded, testing::Repeat("あ line of ASCII text\n", 50));
    EXPECT_EQ(decoded.data(), bytes);
}

// A received answer has room beyond its end: ISO-2022-JP is decoded over
// itself ahead of the reading as far as that room goes, and moves out when
// it outgrows it. Each text decodes as iconv reads it, whatever the room, and
// one that never grows past the room stays in its buffer.
TEST(ToUtf8Iconv, JisDecodedWithRoomBeyondItsEndMatchesIconv) {
    const std::string ascii = testing::Repeat("ascii line\n", 100);
    struct Case {
        const char* name;
        std::string text;
        bool staysInPlace;
    };
    const Case cases[] = {
        {"short kanji runs", testing::Repeat("\x1B$B$\"$$F|\x1B(B line\n", 400), true},
        {"long kanji run after ASCII", ascii + "\x1B$B" + testing::Repeat("F|K\\", 20000), false},
        {"kanji run at the start", "\x1B$B" + testing::Repeat("F|", 3000) + "\x1B(B" + ascii,
         false},
        {"half-width katakana", ascii + "\x1B(I" + testing::Repeat("1234", 3000), false},
        {"kanji with line ends", testing::Repeat("\x1B$BF|\r\nK\\\x1B(Bab\n", 3000), true},
    };
    for (const Case& c : cases) {
        const auto expected = IconvExact("ISO-2022-JP-3", "UTF-8", c.text);
        ASSERT_TRUE(expected.has_value()) << c.name;
        for (const std::size_t room : {std::size_t{0}, std::size_t{3}, c.text.size() / 32,
                                       c.text.size()}) {
            std::string text = c.text;
            text.reserve(text.size() + room);
            const char* bytes = text.data();
            const bool roomEnough = text.capacity() - text.size() >= c.text.size() / 16 + 64;
            const std::string decoded = JisToUtf8(std::move(text));
            EXPECT_TRUE(decoded == *expected) << c.name << ", room " << room;
            if (c.staysInPlace && roomEnough) {
                EXPECT_EQ(decoded.data(), bytes) << c.name << ", room " << room;
            }
        }
    }
}

// Text that grows by up to three bytes per byte once the output overtakes
// the input: the decoders' buffer grows several times, and every byte of the
// result still matches iconv.
TEST(ToUtf8Iconv, TextThatGrowsPastEveryEstimateMatchesIconv) {
    const std::string ascii = testing::Repeat("ascii line\n", 100);
    struct Case {
        const char* name;
        std::string text;
        std::optional<std::string> expected;
        std::string (*decode)(std::string);
    };
    const std::string kana = ascii + "\x1B(I" + testing::Repeat("\x31\x32\x33\x34", 50000);
    const std::string kanji = ascii + testing::Repeat("\x93\xfa\x96\x7b", 50000);
    const std::string cyrillic = ascii + testing::Repeat("\xc0\xc1\xc2\xc3", 50000);
    const Case cases[] = {
        {"half-width katakana", kana, IconvExact("ISO-2022-JP-3", "UTF-8", kana), JisToUtf8},
        {"kanji", kanji, IconvExact("CP932", "UTF-8", kanji), SjisToUtf8},
        {"cyrillic", cyrillic, IconvExact("WINDOWS-1251", "UTF-8", cyrillic), Windows1251ToUtf8},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.expected.has_value()) << c.name;
        const std::string decoded = c.decode(c.text);
        EXPECT_GT(decoded.size(), c.text.size() * 5 / 4) << c.name;
        EXPECT_TRUE(decoded == *c.expected) << c.name;
    }
}

}  // namespace
}  // namespace torvane::encoding
