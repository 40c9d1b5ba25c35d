#pragma once
// Detection of the Japanese character codes (ISO-2022-JP, EUC-JP, Shift_JIS)
// and the conversions from ISO-2022-JP and EUC-JP to Shift_JIS (CP932).
//
// Texts are byte strings that may hold any byte, the zero byte included.
// Every function reads only inside its input and returns a new text.

#include <array>
#include <string>
#include <string_view>

#include "encoding/text_code.h"

namespace torvane::encoding {

// Guesses the Japanese code of a text; returns one of tcAscii .. tcEucOrSjis.
// The first decisive byte ends the scan, so a text that begins like Shift_JIS
// and turns into EUC-JP later is still tcSjis. A text of one byte, and the
// last byte of any text as the start of a character, are never judged.
TextCode DetectJapaneseCode(std::string_view text);

// The three conversions below take the text over and convert it where it
// stands (no step writes more bytes than it has read), so converting a
// large answer costs no second buffer.

// Detects the code afresh: ISO-2022-JP goes through JisToSjis, EUC-JP through
// EucToSjis; any other verdict returns the text unchanged.
std::string JapaneseToSjis(std::string text);

// ISO-2022-JP to Shift_JIS. Every escape sequence counts as three bytes and
// is dropped; one with "$" as second byte selects kanji mode, one with "("
// single-byte mode. In kanji mode bytes are taken in pairs, CR and LF
// included. A lone byte left at the end in kanji mode is dropped.
std::string JisToSjis(std::string text);

// EUC-JP to Shift_JIS. 0x8E keeps the byte after it (half-width katakana);
// every other byte from 0x81 to 0xFE leads a pair (0x8F included, whose third
// byte then stands on its own). A lead byte or 0x8E cut off by the end of the
// text is dropped.
std::string EucToSjis(std::string text);

// The Shift_JIS pair for the JIS X 0208 code (j1, j2), by 8-bit arithmetic
// that is applied to any pair of bytes: (0x30, 0x21) -> 88 9F.
constexpr std::array<unsigned char, 2> JisPairToSjisBytes(unsigned char j1, unsigned char j2) {
    const unsigned first = ((((j1 + 1u) & 0xFFu) >> 1) + (j1 < 0x5F ? 0x70u : 0xB0u)) & 0xFFu;
    unsigned offset = 0x7E;
    if (j1 & 1u) offset = j2 <= 0x5F ? 0x1Fu : 0x20u;
    const unsigned second = (j2 + offset) & 0xFFu;
    return {static_cast<unsigned char>(first), static_cast<unsigned char>(second)};
}

// JisPairToSjisBytes as a text of exactly two bytes.
std::string JisPairToSjis(unsigned char j1, unsigned char j2);

}  // namespace torvane::encoding
