#include "view/rules/report_chars.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "encoding/code_page.h"
#include "unicode/cells.h"
#include "unicode/utf8_walk.h"

namespace torvane::view {
namespace {

// The long-vowel mark ー sits in row 1 but belongs to katakana runs.
constexpr DoubleByteCode kLongVowelMark = 0x815B;

// The JIS X 0208 row (1-94) of a code with lead byte 0x81-0x9F or 0xE0-0xEF, or 0 when the
// second byte is outside 0x40-0xFC or is 0x7F and so names no character.
int jisRow(DoubleByteCode code) {
    const unsigned lead = code >> 8;
    const unsigned trail = code & 0xFF;
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return 0;
    const unsigned firstRowOfPair = lead <= 0x9F ? (lead - 0x81) * 2 + 1 : (lead - 0xC1) * 2 + 1;
    return static_cast<int>(firstRowOfPair + (trail >= 0x9F ? 1 : 0));
}

}  // namespace

JapaneseKind japaneseKind(DoubleByteCode code) {
    if (code == kLongVowelMark) return JapaneseKind::katakana;
    const unsigned lead = code >> 8;
    const unsigned trail = code & 0xFF;
    if (lead >= 0xF0) {
        // 0xF040-0xF9FC is the user-defined area; 0xFA40-0xFA5B are roman numerals and symbols of
        // the IBM extension, whose kanji follow up to 0xFC4B.
        if (code >= 0xFA5C && code <= 0xFC4B && trail >= 0x40 && trail != 0x7F && trail <= 0xFC) {
            return JapaneseKind::kanji;
        }
        return JapaneseKind::other;
    }
    const int row = jisRow(code);
    switch (row) {
        case 3:  // full-width digits and Latin letters
            return JapaneseKind::fullWidthAlnum;
        case 4:
            return JapaneseKind::hiragana;
        case 5:
            return JapaneseKind::katakana;
        case 6:
            return JapaneseKind::greek;
        case 7:
            return JapaneseKind::cyrillic;
        default:
            break;
    }
    // Rows 16-84: the JIS level 1 and level 2 kanji.
    if (row >= 16 && row <= 84) return JapaneseKind::kanji;
    // Rows 89-92 (0xED40-0xEEEC): the NEC selection of the IBM extension kanji; 0xEEEF-0xEEFC
    // after them are roman numerals and symbols.
    if (row >= 89 && row <= 92 && code <= 0xEEEC) return JapaneseKind::kanji;
    return JapaneseKind::other;
}

namespace {

// Code point -> lowest double-byte code, for the BMP (CP932 has nothing beyond it), built once by
// decoding every double-byte code through the program's CP932 table.
const std::vector<DoubleByteCode>& doubleByteCodes() {
    static const std::vector<DoubleByteCode> table = [] {
        std::vector<DoubleByteCode> t(0x10000, 0);
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead >= 0xA0 && lead <= 0xDF) continue;
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F) continue;
                const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                const std::u16string u = encoding::Cp932ToUtf16(std::string_view(pair, 2));
                if (u.size() != 1 || u[0] == u'\uFFFD' || u[0] < 0x80) continue;
                DoubleByteCode& slot = t[u[0]];
                if (slot == 0) slot = static_cast<DoubleByteCode>(lead << 8 | trail);
            }
        }
        return t;
    }();
    return table;
}

template <std::size_t N>
bool contains(const std::array<DoubleByteCode, N>& set, DoubleByteCode code) {
    return std::ranges::find(set, code) != set.end();
}

struct ScriptRange {
    char32_t first;
    char32_t last;
    JapaneseKind kind;
};

// The letter blocks of the scripts that CP932 lacks in whole or in part, by code point. A
// character in none of them (symbols, punctuation, controls) stands alone.
constexpr ScriptRange kScripts[] = {
    {0x00C0, 0x024F, JapaneseKind::latin},      {0x0250, 0x02AF, JapaneseKind::latin},
    {0x0370, 0x03FF, JapaneseKind::greek},      {0x0400, 0x052F, JapaneseKind::cyrillic},
    {0x0531, 0x058F, JapaneseKind::armenian},   {0x0591, 0x05FF, JapaneseKind::hebrew},
    {0x0610, 0x06FF, JapaneseKind::arabic},     {0x0700, 0x074F, JapaneseKind::syriac},
    {0x0750, 0x077F, JapaneseKind::arabic},     {0x0780, 0x07BF, JapaneseKind::thaana},
    {0x08A0, 0x08FF, JapaneseKind::arabic},     {0x0900, 0x0DFF, JapaneseKind::indic},
    {0x0E00, 0x0E7F, JapaneseKind::thai},       {0x0E80, 0x0EFF, JapaneseKind::lao},
    {0x0F00, 0x0FFF, JapaneseKind::tibetan},    {0x1000, 0x109F, JapaneseKind::myanmar},
    {0x10A0, 0x10FF, JapaneseKind::georgian},   {0x1100, 0x11FF, JapaneseKind::hangul},
    {0x1200, 0x139F, JapaneseKind::ethiopic},   {0x1780, 0x17FF, JapaneseKind::khmer},
    {0x1800, 0x18AF, JapaneseKind::mongolian},  {0x1C80, 0x1C8F, JapaneseKind::cyrillic},
    {0x1E00, 0x1EFF, JapaneseKind::latin},      {0x1F00, 0x1FFF, JapaneseKind::greek},
    {0x2C60, 0x2C7F, JapaneseKind::latin},      {0x2DE0, 0x2DFF, JapaneseKind::cyrillic},
    {0x3041, 0x309F, JapaneseKind::hiragana},   {0x30A0, 0x30FF, JapaneseKind::katakana},
    {0x3105, 0x312F, JapaneseKind::bopomofo},   {0x3131, 0x318F, JapaneseKind::hangul},
    {0x31A0, 0x31BF, JapaneseKind::bopomofo},   {0x31F0, 0x31FF, JapaneseKind::katakana},
    {0x3400, 0x4DBF, JapaneseKind::kanji},      {0x4E00, 0x9FFF, JapaneseKind::kanji},
    {0xA640, 0xA69F, JapaneseKind::cyrillic},   {0xA720, 0xA7FF, JapaneseKind::latin},
    {0xA960, 0xA97F, JapaneseKind::hangul},     {0xAB30, 0xAB6F, JapaneseKind::latin},
    {0xAC00, 0xD7FF, JapaneseKind::hangul},     {0xF900, 0xFAFF, JapaneseKind::kanji},
    {0xFB00, 0xFB06, JapaneseKind::latin},      {0xFB1D, 0xFB4F, JapaneseKind::hebrew},
    {0xFB50, 0xFDFF, JapaneseKind::arabic},     {0xFE70, 0xFEFC, JapaneseKind::arabic},
    {0x1B000, 0x1B16F, JapaneseKind::hiragana}, {0x20000, 0x3FFFF, JapaneseKind::kanji},
};

JapaneseKind scriptKindOf(char32_t c) {
    const auto it = std::ranges::upper_bound(kScripts, c, {}, &ScriptRange::last);
    if (it == std::end(kScripts) || it->first > c) return JapaneseKind::other;
    if (it->kind == JapaneseKind::indic) {
        return static_cast<JapaneseKind>(static_cast<unsigned>(JapaneseKind::indic) +
                                         (c - 0x0900) / 0x80);
    }
    return it->kind;
}

}  // namespace

unicode::GraphemeCluster reportClusterAt(std::string_view text, std::size_t pos) {
    const unicode::GraphemeCluster cluster = unicode::NextGraphemeCluster(text, pos);
    // A voiced mark after another character takes at least 1 + 3 bytes.
    if (cluster.length < 4) return cluster;
    const std::size_t end = pos + cluster.length;
    for (std::size_t k = pos + unicode::DecodeUtf8At(text, pos).length; k < end;) {
        const unicode::DecodedChar c = unicode::DecodeUtf8At(text, k);
        if (c.value == 0xFF9E || c.value == 0xFF9F) {
            return {k - pos, unicode::ClusterCells(text.substr(pos, k - pos))};
        }
        k += c.length;
    }
    return cluster;
}

DoubleByteCode doubleByteCodeOf(char32_t c) { return c < 0x10000 ? doubleByteCodes()[c] : 0; }

std::uint16_t traitsOf(char32_t c) {
    if (c < 0x80) return kSingleByteTraits[c];
    if (isHalfWidthKatakana(c)) return kSingleByteTraits[c - 0xFF61 + 0xA1];
    const DoubleByteCode code = doubleByteCodeOf(c);
    if (code == 0) {
        return scriptKindOf(c) == JapaneseKind::latin ? std::uint16_t{kNotBreakPoint} : 0;
    }
    std::uint16_t f = 0;
    if (contains(kNoRowStartDoubleByte, code)) f |= kNoRowStart;
    if (contains(kNoRowEndDoubleByte, code)) f |= kNoRowEnd;
    if (contains(kHangingDoubleByte, code)) f |= kHanging;
    return f;
}

JapaneseKind japaneseKindOf(char32_t c) {
    const DoubleByteCode code = doubleByteCodeOf(c);
    return code != 0 ? japaneseKind(code) : scriptKindOf(c);
}

}  // namespace torvane::view
