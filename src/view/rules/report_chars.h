// Character facts of UTF-8 report text used by the tokenizer and the row breaker.
//
// The facts are per code point. For a character that CP932 writes they are what the CP932 rules
// gave: ASCII and the half-width katakana keep their single-byte traits, and a character CP932
// writes with two bytes is judged by that double-byte code (kinsoku sets, JIS row), so one rule
// serves and the report reads as it did. Characters CP932 lacks get the facts of their script.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "unicode/graphemes.h"

namespace torvane::view {

// The grapheme cluster that starts at byte `pos` of `text` (unicode/graphemes.h, with its cells),
// except that the half-width voiced marks U+FF9E and U+FF9F begin a cluster of their own: they
// were characters of their own in CP932, and rows and tokens of half-width katakana stay as they
// were. Every unit of the report (rows, tokens, the view's cursor) steps by these. Same
// preconditions as NextGraphemeCluster.
unicode::GraphemeCluster reportClusterAt(std::string_view text, std::size_t pos);

// Properties of a character, combined as bit flags.
enum CharTrait : std::uint16_t {
    kWhitespace = 1u << 0,     // skipped between tokens
    kUrlChar = 1u << 1,        // may continue a URL
    kMailChar = 1u << 2,       // may be part of a mail address
    kWordStart = 1u << 3,      // begins a word
    kWordChar = 1u << 4,       // continues a word
    kDigit = 1u << 5,          // begins and continues a number
    kHalfKana = 1u << 6,       // half-width katakana
    kNotBreakPoint = 1u << 8,  // a row may not end after this character
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

// The traits of the CP932 single bytes: ASCII, and 0xA1-0xDF for the half-width katakana
// U+FF61-U+FF9F in the same order.
constexpr std::array<std::uint16_t, 256> makeSingleByteTraits() {
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
        const bool halfKana = c >= 0xA1 && c <= 0xDF;
        if (halfKana) f |= kHalfKana;
        if (letter || digit || c == '_' || halfKana) f |= kNotBreakPoint;
        // ! ) , . : ; ? ] } >, and half-width ｡ ｣ ､ ･ ｰ ﾞ ﾟ.
        if (inSet("!),.:;?]}>", c) || inSet("\xA1\xA3\xA4\xA5\xB0\xDE\xDF", c)) f |= kNoRowStart;
        // ( [ { < " ' and half-width ｢.
        if (inSet("([{<\"'", c) || c == 0xA2) f |= kNoRowEnd;
        // , . and half-width ｡ ､.
        if (inSet(",.", c) || c == 0xA1 || c == 0xA4) f |= kHanging;
        if (c >= 0x80 && !halfKana) f = 0;
        t[c] = f;
    }
    return t;
}

}  // namespace detail

inline constexpr std::array<std::uint16_t, 256> kSingleByteTraits = detail::makeSingleByteTraits();

// Traits of an ASCII byte (c < 0x80).
constexpr bool hasAsciiTrait(unsigned char c, CharTrait trait) {
    return (kSingleByteTraits[c] & trait) != 0;
}

constexpr bool isHalfWidthKatakana(char32_t c) { return c >= 0xFF61 && c <= 0xFF9F; }

// A double-byte CP932 character as one number: lead byte * 256 + second byte; 0 for none.
using DoubleByteCode = std::uint16_t;

// The double-byte CP932 code of `c`, or 0 when CP932 writes it with one byte or not at all. Where
// CP932 has two codes for one character (the NEC and IBM extensions), the lower one.
DoubleByteCode doubleByteCodeOf(char32_t c);

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

// The bracket region delimiters 【 and 】, as UTF-8.
inline constexpr std::string_view kLenticularOpen = "\xE3\x80\x90";
inline constexpr std::string_view kLenticularClose = "\xE3\x80\x91";
// A lenticular region that opens with this word ("期限", expiry) on one line is a warning: the
// registration summary marks an expiry that is near or past with it.
inline constexpr std::string_view kWarningLead = "\xE6\x9C\x9F\xE9\x99\x90";

// The traits of code point `c`: the single-byte traits for ASCII and half-width katakana; for
// other characters the kinsoku traits of their double-byte code, and kNotBreakPoint for letters
// of the Latin script that CP932 lacks (so "Bláthy" never breaks inside).
std::uint16_t traitsOf(char32_t c);

constexpr bool hasTrait(std::uint16_t traits, CharTrait trait) { return (traits & trait) != 0; }

// The kinds of character whose neighbours join into one Japanese-text token. The first kinds
// come from the JIS row of a double-byte CP932 character; the others are the scripts of letters
// that CP932 lacks, each joining runs of its own. `other` characters stand alone.
enum class JapaneseKind : std::uint8_t {
    other,
    hiragana,
    katakana,
    fullWidthAlnum,
    greek,
    cyrillic,
    kanji,
    latin,
    armenian,
    hebrew,
    arabic,
    syriac,
    thaana,
    indic,  // one kind per Brahmic block: indic + (block - 0x0900) / 0x80
    thai = indic + 10,
    lao,
    tibetan,
    myanmar,
    georgian,
    hangul,
    ethiopic,
    khmer,
    mongolian,
    bopomofo,
};

// The kind of a double-byte CP932 character, decided by its JIS row.
JapaneseKind japaneseKind(DoubleByteCode code);

// The kind of a code point other than ASCII and the half-width katakana: its double-byte code's
// kind when CP932 has it, else the kind of its script's letters, else `other`.
JapaneseKind japaneseKindOf(char32_t c);

}  // namespace torvane::view
