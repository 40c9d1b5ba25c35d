#pragma once
// Turning a typed line into the name Torvane works with.
//
// All texts are UTF-8; cuts act on whole characters.

#include <string>
#include <string_view>

namespace torvane::query {

// The IPv4 test used everywhere a text must be told apart from a name. True
// when the text, untrimmed, is 1-15 characters of digits and dots, does not
// begin or end with a dot, has no two dots in a row, has at least three dots,
// and every run of digits is at most three digits with a value up to 255.
// More than three dots pass (1.2.3.4.5).
bool IsIPAddress(std::string_view text);

// The display name: the text after the first "://", before the first "/",
// after the first "@", before the first ">" (in that order), then trimmed.
std::string CleanQueryText(std::string_view text);

// The registered domain of a display name, cut by the second-level label
// lists: host.example.co.jp -> example.co.jp, a.b.example.com -> example.com.
// Only the top-level domain is lower-cased. A name whose last label is empty
// (no dot, or a ':' or '\' after the last dot) is returned unchanged.
std::string CutToRegisteredDomain(std::string_view name);

}  // namespace torvane::query
