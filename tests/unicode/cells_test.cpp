// The generated table against independent references: ICU 72 (Unicode 15.0)
// for every code point's break class, Extended_Pictographic and the
// properties the cells rule reads, and the encoding module for CP932; then
// named characters, the predicates, and that CP932 text keeps its cells.

#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include <random>
#include <string>
#include <vector>

#include "encoding/code_page.h"
#include "encoding/cp932_tables.h"
#include "unicode/cells.h"
#include "unicode/graphemes.h"
#include "unicode/properties.h"
#include "unicode/utf8_walk.h"

namespace torvane::unicode {
namespace {

GraphemeBreak IcuBreak(char32_t c) {
    switch (u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_GRAPHEME_CLUSTER_BREAK)) {
        case U_GCB_OTHER: return GraphemeBreak::Other;
        case U_GCB_CR: return GraphemeBreak::CR;
        case U_GCB_LF: return GraphemeBreak::LF;
        case U_GCB_CONTROL: return GraphemeBreak::Control;
        case U_GCB_EXTEND: return GraphemeBreak::Extend;
        case U_GCB_ZWJ: return GraphemeBreak::ZWJ;
        case U_GCB_REGIONAL_INDICATOR: return GraphemeBreak::Regional_Indicator;
        case U_GCB_PREPEND: return GraphemeBreak::Prepend;
        case U_GCB_SPACING_MARK: return GraphemeBreak::SpacingMark;
        case U_GCB_L: return GraphemeBreak::L;
        case U_GCB_V: return GraphemeBreak::V;
        case U_GCB_T: return GraphemeBreak::T;
        case U_GCB_LV: return GraphemeBreak::LV;
        case U_GCB_LVT: return GraphemeBreak::LVT;
        default: ADD_FAILURE() << "break class Unicode 15.0 no longer has, at " << std::hex << static_cast<unsigned>(c);
    }
    return GraphemeBreak::Other;
}

// The CP932 form of `c` by the encoding module's table: 0 when CP932 lacks it.
int Cp932Bytes(char32_t c) {
    const auto* table = encoding::detail::TheUnitToCp932Table();
    if (c >= 0x10000 || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    const std::uint16_t cp932 = (*table)[c];
    if (cp932 == '?' && c != '?') return 0;
    return cp932 > 0xFF ? 2 : 1;
}

int ExpectedCells(char32_t c) {
    const auto cp = static_cast<UChar32>(c);
    if (Cp932Bytes(c) == 2) return 2;
    const auto width = u_getIntPropertyValue(cp, UCHAR_EAST_ASIAN_WIDTH);
    if (width == U_EA_WIDE || width == U_EA_FULLWIDTH) return 2;
    const auto type = u_charType(cp);
    if (type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK) return 0;
    if (type == U_FORMAT_CHAR && IcuBreak(c) != GraphemeBreak::Prepend) return 0;
    return 1;
}

TEST(PropertyTable, IsTheUnicodeVersionOfTheReference) {
    UVersionInfo icu;
    u_getUnicodeVersion(icu);
    char icuVersion[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(icu, icuVersion);
    EXPECT_EQ(UnicodeVersion(), "15.0.0");
    EXPECT_EQ(std::string(icuVersion) , "15.0");
}

TEST(PropertyTable, EveryCodePointMatchesIcuAndTheCp932Table) {
    ASSERT_NE(encoding::detail::TheUnitToCp932Table(), nullptr);
    int mismatches = 0;
    for (char32_t c = 0; c < 0x110000; ++c) {
        const bool same = GraphemeBreakOf(c) == IcuBreak(c) &&
                          IsExtendedPictographic(c) ==
                              static_cast<bool>(u_hasBinaryProperty(static_cast<UChar32>(c),
                                                                    UCHAR_EXTENDED_PICTOGRAPHIC)) &&
                          CodePointCells(c) == ExpectedCells(c) && IsInCp932(c) == (Cp932Bytes(c) > 0);
        if (!same && ++mismatches <= 20) {
            ADD_FAILURE() << std::hex << "U+" << static_cast<unsigned>(c) << ": cells "
                          << CodePointCells(c) << " expected " << ExpectedCells(c);
        }
    }
    EXPECT_EQ(mismatches, 0);
    // Past the code space: an unassigned code point.
    EXPECT_EQ(CodePointCells(0x110000), 1);
    EXPECT_EQ(GraphemeBreakOf(0xFFFFFFFF), GraphemeBreak::Other);
}

TEST(CodePointCells, NamedCharacters) {
    const std::pair<char32_t, int> cases[] = {
        {U'a', 1},      {U'\t', 1},     {0x00, 1},     {0x1B, 1},  // ESC
        {0x7F, 1},      {0x85, 1},                                 // DEL, NEL (C1)
        {U'あ', 2},     {U'中', 2},     {0x3000, 2},                // ideographic space
        {U'Ａ', 2},     {U'ｱ', 1},      {0xFF9E, 1},               // half-width voiced mark
        {U'α', 2},      {U'Я', 2},      {U'─', 2},  {U'§', 2},     // CP932 double-byte
        {U'é', 1},      {U'ä', 1},      {0x0301, 0},               // combining acute
        {0x20DD, 0},                                               // combining enclosing circle (Me)
        {U'한', 2},     {0x1100, 2},    {0x1161, 1},               // Hangul, jamo L, jamo V
        {0x200D, 0},    {0x200C, 0},    {0x200B, 0}, {0x2060, 0}, {0xFEFF, 0},
        {0x202E, 0},    {0x2066, 0},    {0x200F, 0}, {0x00AD, 0},  // bidi controls, soft hyphen
        {0x0600, 1},                                               // Arabic number sign (Prepend)
        {0x0915, 1},    {0x093F, 1},                               // Devanagari ka, vowel sign i (Mc)
        {U'😀', 2},     {0x2764, 1},    {0xFE0F, 0},               // emoji, heart, VS16
        {0x1F1EF, 1},                                              // regional indicator J
        {0xE000, 2},    {0xE758, 1},                               // CP932 user-defined area, past it
        {0x20000, 2},   {0x2FFFD, 2},   {0xE0001, 0},              // plane 2, a tag
    };
    for (const auto& [c, cells] : cases) {
        EXPECT_EQ(CodePointCells(c), cells) << std::hex << "U+" << static_cast<unsigned>(c);
    }
}

TEST(Predicates, BidiReorderingControlsAndWhatATerminalMustSeeEscaped) {
    const struct {
        char32_t c;
        bool reorders, escaped;
    } cases[] = {
        {0x202A, true, true},  {0x202E, true, true},  {0x2066, true, true},  {0x2069, true, true},
        {0x2029, false, false}, {0x202F, false, false}, {0x2065, false, false}, {0x206A, false, false},
        {0x200E, false, false}, {0x200F, false, false}, {0x061C, false, false},
        {0x00, false, true},   {0x1B, false, true},   {0x0D, false, true},   {0x7F, false, true},
        {0x80, false, true},   {0x9B, false, true},   {0x9F, false, true},
        {U'\t', false, false}, {U' ', false, false},  {U'~', false, false},  {0xA0, false, false},
        {U'あ', false, false}, {0x200D, false, false}, {0xFFFD, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsBidiReorderingControl(c.c), c.reorders) << std::hex << static_cast<unsigned>(c.c);
        EXPECT_EQ(MustShowOnTerminal(c.c), c.escaped) << std::hex << static_cast<unsigned>(c.c);
    }
}

// Row breaking's short-line shortcut relies on this: no cluster takes more
// cells than bytes. Every code point alone, with U+FE0F, with a voiced mark,
// and every pair of regional indicators.
TEST(ClusterCells, NeverMoreCellsThanBytes) {
    std::size_t over = 0;
    for (char32_t c = 0; c < 0x110000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        for (char32_t after : {char32_t{0}, char32_t{0xFE0F}, char32_t{0xFF9E}, char32_t{0x1F1EF}}) {
            std::string text;
            AppendUtf8(text, c);
            if (after != 0) AppendUtf8(text, after);
            std::size_t pos = 0;
            while (pos < text.size()) {
                const GraphemeCluster cluster = NextGraphemeCluster(text, pos);
                if (static_cast<std::size_t>(cluster.cells) > cluster.length) ++over;
                pos += cluster.length;
            }
        }
    }
    EXPECT_EQ(over, 0u);
}

// The extending characters that CP932 writes are exactly the ones the cluster
// rule adds cells for; anything else would change CP932 text's cells.
TEST(PropertyTable, TheOnlyExtendingCp932CharactersAreTheHalfWidthVoicedMarks) {
    std::vector<char32_t> found;
    for (char32_t c = 0; c < 0x10000; ++c) {
        const GraphemeBreak b = IcuBreak(c);
        const bool joins = b == GraphemeBreak::Extend || b == GraphemeBreak::SpacingMark ||
                           b == GraphemeBreak::ZWJ || b == GraphemeBreak::Prepend ||
                           b == GraphemeBreak::V || b == GraphemeBreak::T;
        if (joins && Cp932Bytes(c) > 0) found.push_back(c);
    }
    EXPECT_EQ(found, (std::vector<char32_t>{0xFF9E, 0xFF9F}));
}

// Random texts of CP932 characters (no TAB and no line end), decoded by the
// encoding module: their cells are their CP932 bytes, as the CP932 rules counted.
TEST(TextCells, Cp932TextKeepsOneCellPerByte) {
    std::vector<std::string> characters;
    for (unsigned b = 0; b < 0x100; ++b) {
        if (b == '\t' || b == '\n' || b == '\r' || encoding::detail::IsCp932LeadByte(b)) continue;
        const std::string one(1, static_cast<char>(b));
        if (encoding::Cp932ToUtf16(one) != u"\uFFFD") characters.push_back(one);
    }
    const std::size_t singles = characters.size();
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            if (encoding::detail::IsCp932LeadByte(lead) && encoding::Cp932ToUtf16(pair).size() == 1 &&
                encoding::Cp932ToUtf16(pair) != u"\uFFFD") {
                characters.push_back(pair);
            }
        }
    }
    ASSERT_EQ(singles, 29u + 95u + 1u + 63u);  // C0 but TAB LF CR; printable ASCII; DEL; half-width kana
    ASSERT_GT(characters.size() - singles, 7000u);

    auto utf8Of = [](const std::string& cp932) {
        std::string utf8;
        for (char16_t unit : encoding::Cp932ToUtf16(cp932)) AppendUtf8(utf8, unit);
        return utf8;
    };
    for (const auto& one : characters) {
        ASSERT_EQ(TextCells(utf8Of(one)), one.size()) << ::testing::PrintToString(one);
    }
    std::mt19937 random(932);
    for (int round = 0; round < 3000; ++round) {
        std::string cp932;
        for (int i = 0; i < 40; ++i) {
            // Half the picks from the single bytes, so kana meet voiced marks.
            cp932 += characters[random() % 2 ? random() % singles : random() % characters.size()];
        }
        ASSERT_EQ(TextCells(utf8Of(cp932)), cp932.size()) << ::testing::PrintToString(cp932);
    }
}

}  // namespace
}  // namespace torvane::unicode
