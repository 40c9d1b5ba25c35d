// Character facts of CP932 report text used by the tokenizer and the row breaker.
//
// A double-byte character is a lead byte (0x81-0x9F, 0xE0-0xFC) followed by any one byte and
// takes two cells; every other byte is a character of one cell, half-width katakana included.
// A lead byte that ends the text has no second byte and is a one-cell character of its own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace torvane::view {

// Properties of a single byte, combined as bit flags in `kByteTraits`.
enum ByteTrait : std::uint16_t {
    kWhitespace = 1u << 0,     // skipped between tokens
    kUrlChar = 1u << 1,        // may continue a URL
    kMailChar = 1u << 2,       // may be part of a mail address
    kWordStart = 1u << 3,      // begins a word
    kWordChar = 1u << 4,       // continues a word
    kDigit = 1u << 5,          // begins and continues a number
    kHalfKana = 1u << 6,       // half-width katakana
    kLeadByte = 1u << 7,       // first byte of a double-byte character
    kNotBreakPoint = 1u << 8,  // a row may not end after this single-byte character
    kNoRowStart = 1u << 9,     // must not begin a row
    kNoRowEnd = 1u << 10,      // must not end a row
    kHanging = 1u << 11,       // may hang past the wrap width
};

namespace detail {

constexpr bool isAsciiLetter(unsigned c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
constexpr bool isAsciiDigit(unsigned c) { return c >= '0' && c <= '9'; }

constexpr bool inSet(std::string_view set, unsigned c) {
    for (char m : set) {
        if (static_cast<unsigned char>(m) == c) return true;
    }
    return false;
}

constexpr std::array<std::uint16_t, 256> makeByteTraits() {
    std::array<std::uint16_t, 256> t{};
    for (unsigned c = 0; c < 256; ++c) {
        std::uint16_t f = 0;
        const bool letter = isAsciiLetter(c);
        const bool digit = isAsciiDigit(c);
        // Codes 1 to 32 separate tokens; the tab (9) is a token of its own and 0 is a symbol.
        if (c >= 1 && c <= 32 && c != '\t') f |= kWhitespace;
        // Letters, digits and twelve punctuation characters.
        if (letter || digit || inSet("#%&+-./:=?_~", c)) f |= kUrlChar;
        // Letters, digits and sixteen punctuation characters.
        if (letter || digit || inSet("!$%&*,-./;=?@^_~", c)) f |= kMailChar;
        if (letter || c == '_') f |= kWordStart;
        if (letter || digit || c == '_') f |= kWordChar;
        if (digit) f |= kDigit;
        // 0xA1-0xDF: half-width katakana and its punctuation.
        const bool halfKana = c >= 0xA1 && c <= 0xDF;
        if (halfKana) f |= kHalfKana;
        // 0x81-0x9F and 0xE0-0xFC: lead bytes.
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) f |= kLeadByte;
        if (letter || digit || c == '_' || halfKana) f |= kNotBreakPoint;
        // ! ) , . : ; ? ] } >, and half-width ｡ ｣ ､ ･ ｰ ﾞ ﾟ.
        if (inSet("!),.:;?]}>", c) || inSet("\xA1\xA3\xA4\xA5\xB0\xDE\xDF", c)) f |= kNoRowStart;
        // ( [ { < " ' and half-width ｢.
        if (inSet("([{<\"'", c) || c == 0xA2) f |= kNoRowEnd;
        // , . and half-width ｡ ､.
        if (inSet(",.", c) || c == 0xA1 || c == 0xA4) f |= kHanging;
        t[c] = f;
    }
    return t;
}

}  // namespace detail

inline constexpr std::array<std::uint16_t, 256> kByteTraits = detail::makeByteTraits();

constexpr bool hasTrait(unsigned char c, ByteTrait trait) { return (kByteTraits[c] & trait) != 0; }
constexpr bool isLeadByte(unsigned char c) { return hasTrait(c, kLeadByte); }

// A double-byte character as one number: lead byte * 256 + second byte.
using DoubleByteCode = std::uint16_t;

constexpr DoubleByteCode doubleByteCode(unsigned char lead, unsigned char trail) {
    return static_cast<DoubleByteCode>(lead << 8 | trail);
}

// Double-byte characters that must not begin a row: 、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』.
inline constexpr std::array<DoubleByteCode, 20> kNoRowStartDoubleByte = {
    0x8141, 0x8142, 0x8143, 0x8144, 0x8145, 0x8148, 0x8149, 0x814A, 0x814B, 0x8152,
    0x8153, 0x8154, 0x8155, 0x8158, 0x815B, 0x816A, 0x816E, 0x8170, 0x8176, 0x8178};

// Double-byte characters that must not end a row: （［｛「『.
inline constexpr std::array<DoubleByteCode, 5> kNoRowEndDoubleByte = {0x8169, 0x816D, 0x816F,
                                                                      0x8175, 0x8177};

// Double-byte punctuation that may hang past the wrap width: 、。，．.
inline constexpr std::array<DoubleByteCode, 4> kHangingDoubleByte = {0x8141, 0x8142, 0x8143,
                                                                     0x8144};

// Bracket region delimiters as double-byte codes: 【 and 】.
inline constexpr DoubleByteCode kLenticularOpen = 0x8179;
inline constexpr DoubleByteCode kLenticularClose = 0x817A;

template <std::size_t N>
constexpr bool contains(const std::array<DoubleByteCode, N>& set, DoubleByteCode code) {
    for (DoubleByteCode m : set) {
        if (m == code) return true;
    }
    return false;
}

// Length in bytes (1 or 2) of the character that starts at `pos`. Precondition: pos < text.size().
constexpr std::size_t charLength(std::string_view text, std::size_t pos) {
    return isLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

// The kinds of double-byte character whose neighbours join into one Japanese-text token.
// `other` characters (symbols, box drawing, the user-defined area, ...) stand alone.
enum class JapaneseKind : std::uint8_t {
    other,
    hiragana,
    katakana,
    fullWidthAlnum,
    greek,
    cyrillic,
    kanji,
};

// The kind of a double-byte character, decided by its JIS row.
JapaneseKind japaneseKind(DoubleByteCode code);

}  // namespace torvane::view
