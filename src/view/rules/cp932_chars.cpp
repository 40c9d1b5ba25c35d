#include "view/rules/cp932_chars.h"

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

}  // namespace torvane::view
