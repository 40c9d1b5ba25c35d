#pragma once
// Decoders from each code an answer may come in to UTF-8, for DecodeAnswer
// (answer_utf8.h) and for the places that know the code of a text.
//
// Each decoder of a std::string takes its text over and decodes it in one
// pass, writing over the text itself while the output stays no longer than
// what was read (ISO-2022-JP: than what was read and the room the text's
// buffer has beyond its end, up to a sixteenth of the text) and into one
// buffer of its own from there on; the UTF-16
// ones read a view and write one buffer. Every byte is accounted for: it is
// decoded, or it is part of a piece that no character explains, and each such
// piece becomes one U+FFFD (EF BF BD). Nothing is dropped and nothing becomes
// '?'. Control bytes, the zero byte included, stay the characters they are.
// The output is always well-formed UTF-8.

#include <string>
#include <string_view>

namespace torvane::encoding {

// True when all of `text` is well-formed UTF-8 (no overlong form, no
// surrogate, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// UTF-8 as it is, except that each maximal ill-formed subpart (a byte that
// leads nothing, or a lead with the trail bytes that could still continue
// it) becomes one U+FFFD. A well-formed text comes back unchanged, uncopied.
std::string MendUtf8(std::string text);

// ISO-8859-1: each byte is the code point of its value (80-9F the C1
// controls).
std::string Latin1ToUtf8(std::string text);

// Windows-1251 (Cyrillic) as the code page defines it; its one undefined
// byte, 98, becomes U+FFFD.
std::string Windows1251ToUtf8(std::string text);

// UTF-16 units of the given order from byte 0 (the byte-order mark, if any,
// already cut off). A surrogate pair is one character; a lone surrogate, and
// a last odd byte, each become U+FFFD. Zero units are kept.
std::string Utf16LeToUtf8(std::string_view bytes);
std::string Utf16BeToUtf8(std::string_view bytes);

// Shift_JIS as CP932 has it, character for character as Cp932ToUtf8
// (cp932_utf8.h) gives it.
std::string SjisToUtf8(std::string text);

// EUC-JP: ASCII and the C1 controls (80-8D, 90-9F) as themselves; 8E with
// A1-DF a half-width katakana; A1-FE with A1-FE a JIS X 0208 character,
// read as CP932 reads the same character (so the NEC row 13 and the NEC
// selection of IBM characters too); 8F with two bytes A1-FE a JIS X 0212
// character as glibc iconv's EUC-JP maps it. A pair the code leaves
// undefined is one U+FFFD; a lead byte without its trail, A0 and FF each
// one U+FFFD, and the byte after it is read afresh.
std::string EucToUtf8(std::string text);

// ISO-2022-JP (with the JIS X 0201 and JIS X 0212 sets of its later forms):
// ESC ( B and ESC ( J select ASCII, ESC ( I half-width katakana (21-5F),
// ESC $ @ and ESC $ B JIS X 0208 (pairs 21-7E read as CP932 reads them),
// ESC $ ( D JIS X 0212. Every other ESC is the control character itself.
// In any set, bytes below 21 and 7F are the controls and space they are,
// so a line end never loses its place. A byte 80-FF, a byte the set does not
// define, and half a pair before a control or at the end each become one
// U+FFFD.
std::string JisToUtf8(std::string text);

}  // namespace torvane::encoding
