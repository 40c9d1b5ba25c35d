#pragma once
// Walking UTF-8 text one code point at a time: the only decoder of UTF-8 that
// the text rules use (tokens, rows, find, the terminal filter, the view).
//
// Ill-formed input follows the Unicode Standard's recommended practice
// (section 3.9, "U+FFFD substitution of maximal subparts"): a stray
// continuation byte, a byte that never starts a sequence (0xC0, 0xC1,
// 0xF5-0xFF), an overlong or surrogate form, a value past U+10FFFF or a
// sequence cut short reads as U+FFFD whose length is the maximal subpart: the
// lead byte and the continuation bytes that could still have completed it,
// at least one byte. So a walk that steps by `length` visits every byte
// exactly once, drops nothing and never swallows the well-formed character
// that follows a broken one.
//
// How the switch uses these: the text rules walk a line with
//     for (std::size_t pos = 0; pos < line.size(); pos += DecodeUtf8At(line, pos).length)
// (or by grapheme clusters, graphemes.h), skipping ASCII runs with
// AsciiRunLength where they only count. The answer decoders ask ClassifyUtf8
// whether an answer is UTF-8 ("valid and holds a multi-byte sequence") and
// turn bytes into the inside text with MendUtf8.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace torvane::unicode {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// One decoded code point: its value, the bytes it took (1-4) and whether
// those bytes were a well-formed sequence. When not, `value` is U+FFFD.
struct DecodedChar {
    char32_t value;
    std::uint8_t length;
    bool wellFormed;

    friend constexpr bool operator==(const DecodedChar&, const DecodedChar&) = default;
};

// The code point starting at byte `pos` of `text`. Precondition: pos < text.size().
constexpr DecodedChar DecodeUtf8At(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) return {lead, 1, true};
    // The ranges of well-formed sequences (Table 3-7 of the standard): the
    // first continuation byte's range depends on the lead byte, the others
    // are always 0x80-0xBF.
    unsigned continuations;
    unsigned char low = 0x80, high = 0xBF;
    char32_t value;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuations = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuations = 2;
        value = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // no overlong three-byte form
        if (lead == 0xED) high = 0x9F;  // no surrogate
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuations = 3;
        value = lead & 0x07;
        if (lead == 0xF0) low = 0x90;   // no overlong four-byte form
        if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
    } else {
        return {kReplacementCharacter, 1, false};
    }
    for (unsigned i = 1; i <= continuations; ++i) {
        if (pos + i >= text.size()) return {kReplacementCharacter, static_cast<std::uint8_t>(i), false};
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        if (byte < low || byte > high) {
            return {kReplacementCharacter, static_cast<std::uint8_t>(i), false};
        }
        value = value << 6 | (byte & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return {value, static_cast<std::uint8_t>(continuations + 1), true};
}

// The number of bytes below 0x80 from `pos` on, read eight at a time.
// Precondition: pos <= text.size().
inline std::size_t AsciiRunLength(std::string_view text, std::size_t pos) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    const char* p = text.data();
    const std::size_t n = text.size();
    std::size_t i = pos;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, sizeof word);
        if ((word & kHighBits) != 0) break;
    }
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
    return i - pos;
}

// What a byte string is as UTF-8.
enum class Utf8Kind {
    Ascii,      // every byte below 0x80 (also the empty text)
    MultiByte,  // well-formed, and holds at least one multi-byte sequence
    IllFormed,  // holds at least one ill-formed sequence
};
Utf8Kind ClassifyUtf8(std::string_view text);

inline bool IsValidUtf8(std::string_view text) { return ClassifyUtf8(text) != Utf8Kind::IllFormed; }

// Appends the UTF-8 form of `c` (1-4 bytes). A value that is no Unicode
// scalar value (a surrogate, or past U+10FFFF) is appended as U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

// `text` with each ill-formed sequence (each maximal subpart, as DecodeUtf8At
// reads it) replaced by U+FFFD; well-formed text comes back unchanged. The
// result is always valid UTF-8.
std::string MendUtf8(std::string_view text);

}  // namespace torvane::unicode
