#pragma once
// Per-code-point properties from the generated table (char_table.h): the
// grapheme-cluster break class of UAX #29, Extended_Pictographic, and the
// cells a character takes in the report. Unicode 15.0 data.
//
// Every function takes any char32_t: values past U+10FFFF read as an
// unassigned code point (GraphemeBreak::Other, not pictographic, one cell).

#include <cstdint>
#include <string_view>

#include "unicode/char_table.h"

namespace torvane::unicode {

// Grapheme_Cluster_Break values (GraphemeBreakProperty.txt); the numbers are
// the table's, fixed by the generator.
enum class GraphemeBreak : std::uint8_t {
    Other = 0,
    CR,
    LF,
    Control,
    Extend,
    ZWJ,
    Regional_Indicator,
    Prepend,
    SpacingMark,
    L,
    V,
    T,
    LV,
    LVT,
};

namespace detail {
constexpr std::uint8_t PropertyByte(char32_t c) {
    if (c >= kCodePointLimit) return 1u << kCellsShift;
    return kStage2[(static_cast<unsigned>(kStage1[c >> kBlockShift]) << kBlockShift) |
                   (c & (kBlockSize - 1))];
}
}  // namespace detail

inline GraphemeBreak GraphemeBreakOf(char32_t c) {
    return static_cast<GraphemeBreak>(detail::PropertyByte(c) & detail::kBreakMask);
}

inline bool IsExtendedPictographic(char32_t c) {
    return (detail::PropertyByte(c) & detail::kPictographicBit) != 0;
}

// The cells one code point takes, 0, 1 or 2, by this rule in order:
//  - a character that CP932 writes with two bytes: 2 (Japanese fonts draw
//    Greek, Cyrillic, box drawing and the like full-width);
//  - East_Asian_Width Wide or Fullwidth: 2;
//  - a combining mark (Mn, Me) or a format character (Cf: ZWJ, ZWNJ, U+200B,
//    U+2060, U+FEFF, the bidi controls, soft hyphen, tags): 0, except the
//    prepended concatenation marks (Cf with break class Prepend, such as
//    U+0600 ARABIC NUMBER SIGN), which are drawn and take 1;
//  - everything else: 1. That includes half-width katakana U+FF61-U+FF9F (as
//    CP932's single bytes), spacing marks (Mc), the C0 controls, DEL and the
//    C1 controls (the view draws a placeholder in one cell), unassigned and
//    private-use code points outside CP932's user-defined area.
// TAB is 1 here; its cells depend on its column and are the caller's rule.
inline int CodePointCells(char32_t c) {
    return (detail::PropertyByte(c) & detail::kCellsMask) >> detail::kCellsShift;
}

// True when CP932 (as the encoding module converts it) writes `c`, with one
// byte or two: ASCII, the half-width katakana, JIS X 0208 and the NEC and IBM
// extensions, the user-defined area U+E000-U+E757. For the switch: the save
// dialog's warning before a Shift_JIS file would lose characters, and the
// choice of CP932 for the .jp registry and JPNIC.
inline bool IsInCp932(char32_t c) { return (detail::PropertyByte(c) & detail::kCp932Bit) != 0; }

// The Unicode version of the table, e.g. "15.0.0".
inline std::string_view UnicodeVersion() { return detail::kUnicodeVersion; }

}  // namespace torvane::unicode
