#pragma once
// Helpers over UTF-8 text that look at ASCII characters only.
//
// Every byte of a UTF-8 multi-byte sequence is 0x80 or above, so a byte-wise
// search for ASCII (or for any well-formed UTF-8 needle) only ever matches
// whole characters, and case folding of A-Z never touches another
// character.

#include <cstddef>
#include <string>
#include <string_view>

namespace torvane::query {

// Byte offset of the first match of `needle`, or npos; an empty needle
// matches at 0.
std::size_t FindText(std::string_view text, std::string_view needle);

// Byte offset of the last ASCII character that is one of `chars`, or npos.
std::size_t FindLastOf(std::string_view text, std::string_view chars);

// The text without leading and trailing bytes 0x00-0x20.
std::string_view Trim(std::string_view text);

// A-Z lowered to a-z; every other character is left alone.
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
