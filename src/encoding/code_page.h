#pragma once
// The code-page conversions of the platform: UTF-8 and CP932 (Shift_JIS with
// the NEC and IBM extensions, as glibc iconv's "CP932" table has it) to and
// from UTF-16. Used by the answer conversions and, at the user-interface
// edge, for CP932 <-> QString.
//
// None of them stops at a bad piece of input: each piece is replaced and the
// rest of the text is converted. They throw std::runtime_error only when the
// converter itself cannot be set up.

#include <string>
#include <string_view>

namespace torvane::encoding {

// UTF-8 to UTF-16 with the lenient decoder's rules: each maximal ill-formed
// subsequence (an invalid byte, an overlong or surrogate form, a sequence cut
// off by a bad byte or by the end) becomes one U+FFFD. A byte-order mark and
// zero bytes are decoded like any other character.
std::u16string Utf8ToUtf16(std::string_view utf8);

// UTF-16 to CP932. A character that CP932 lacks becomes '?': a valid
// surrogate pair gives one '?', a lone surrogate one '?' as well.
std::string Utf16ToCp932(std::u16string_view utf16);

// CP932 to UTF-16. A byte or pair that is not CP932 becomes U+FFFD: a lead
// byte with a valid trail byte counts as one piece, any other bad byte
// (0x80, 0xA0, 0xFD-0xFF, a lead byte before a non-trail byte or at the end)
// as a piece on its own, so the ASCII character after it is kept.
std::u16string Cp932ToUtf16(std::string_view cp932);

}  // namespace torvane::encoding
