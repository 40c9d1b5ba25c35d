#pragma once
// The cells text takes in the report and on a terminal, and the characters
// that must never act on a screen. One width table (properties.h:
// CodePointCells) serves the whole program; these build on it.
//
// How the switch uses these: rows and the view count a cluster's cells with
// NextGraphemeCluster (graphemes.h), which gives ClusterCells of each
// cluster; a TAB's cells depend on its column and stay the caller's rule. The
// view and the terminal filter test IsBidiReorderingControl and
// MustShowOnTerminal so nothing in an answer reorders or drives the display.
// For text that CP932 can write (no TAB, no line end), TextCells is what the
// CP932 rules gave: one cell per single byte, two per double-byte character.

#include <cstddef>
#include <string_view>

#include "unicode/properties.h"

namespace torvane::unicode {

// The cells of one grapheme cluster (as NextGraphemeCluster gives it):
//  - an emoji presentation sequence (a first code point followed by U+FE0F,
//    such as U+2764 U+FE0F or the keycap "1" U+FE0F U+20E3) and a flag (two
//    regional indicators) take 2, as emoji are drawn;
//  - otherwise the cells of its first code point whose cells are not 0 (so
//    "e" + U+0301 takes 1, a jamo syllable L V T 2, an emoji ZWJ sequence the
//    cells of its first emoji), plus the cells of each later extending
//    character that CP932 writes: only the half-width voiced marks U+FF9E
//    and U+FF9F are such, so half-width "ｶﾞ" keeps its two cells;
//  - at least 1 for any non-empty cluster: a cluster of zero-width code
//    points alone (a mark at the start of a line, or U+200B, U+FEFF or a bidi
//    control, which form clusters of their own) takes one cell, where the
//    view draws a placeholder.
// The empty text takes 0. A cluster never takes more cells than it has
// bytes, so a line of at most W bytes without TAB fits in W cells (the short
// line shortcut of row breaking keeps working).
int ClusterCells(std::string_view cluster);

// The sum of the cells of the clusters of `text`; a TAB counts 1. At most
// text.size().
std::size_t TextCells(std::string_view text);

// The controls that reorder text: the embeddings and overrides
// U+202A-U+202E (LRE, RLE, PDF, LRO, RLO) and the isolates U+2066-U+2069
// (LRI, RLI, FSI, PDI). The marks U+200E, U+200F and U+061C only steer
// neutral characters and are not among them.
constexpr bool IsBidiReorderingControl(char32_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// The characters a terminal must be shown as a visible escape, never
// written as they are: the C0 controls but TAB (line ends are not part of a
// line), DEL, the C1 controls U+0080-U+009F (a terminal may act on them), and
// the controls that reorder text.
constexpr bool MustShowOnTerminal(char32_t c) {
    return (c < 0x20 && c != '\t') || (c >= 0x7F && c <= 0x9F) || IsBidiReorderingControl(c);
}

}  // namespace torvane::unicode
