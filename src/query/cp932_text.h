#pragma once
// Character-wise helpers over CP932 byte strings.
//
// A double-byte character is a lead byte 0x81-0x9F or 0xE0-0xFC followed by
// one more byte; every other byte is a character of its own. The searches here
// step over whole characters, so a trail byte (which may be 0x40 '@' or 0x5C
// '\') is never taken for the ASCII character of the same value.

#include <cstddef>
#include <string>
#include <string_view>

namespace torvane::query {

// True for the first byte of a CP932 double-byte character.
constexpr bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Byte length of the character that starts at `pos` (1 or 2). A lead byte as
// the last byte of the text counts as a one-byte character.
// Precondition: pos < text.size().
constexpr std::size_t CharLength(std::string_view text, std::size_t pos) {
    return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

// Byte offset of the first character equal to `needle` that begins a match of
// it, or npos. The needle must start with a single-byte character or be empty
// (an empty needle matches at 0).
std::size_t FindText(std::string_view text, std::string_view needle);

// Byte offset of the last single-byte character that is one of `chars`, or npos.
std::size_t FindLastOf(std::string_view text, std::string_view chars);

// The text without leading and trailing bytes 0x00-0x20.
std::string_view Trim(std::string_view text);

// A-Z lowered to a-z; trail bytes of double-byte characters are left alone.
std::string ToLowerAscii(std::string_view text);

// Equality that ignores the case of ASCII letters only.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Ordering that ignores the case of ASCII letters only (a negative, zero or
// positive result, like std::string::compare).
int CompareIgnoreCase(std::string_view a, std::string_view b);

// The last label: from the last '.' to the end, dot included, when no '\' or
// ':' stands after that dot; otherwise (or with no '.', '\' or ':') empty.
std::string_view LastLabel(std::string_view text);

// The text with its last label removed (unchanged when the label is empty).
std::string_view WithoutLastLabel(std::string_view text);

}  // namespace torvane::query
