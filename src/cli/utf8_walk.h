#pragma once
// Strict UTF-8 decoding and encoding of single code points, for the checks
// and escapes of the command-line front end.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace torvane::cli {

// Decodes the code point starting at `pos` and moves `pos` past it. Returns
// nothing (and moves `pos` by one byte) for an ill-formed sequence: a stray
// continuation byte, a cut-off or overlong form, a surrogate, or a value past
// U+10FFFF. Precondition: pos < text.size().
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& pos);

// Appends the UTF-8 form of `c`. Precondition: c is a Unicode scalar value.
void AppendUtf8(std::string& out, char32_t c);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace torvane::cli
