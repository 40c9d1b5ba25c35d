#pragma once
// The built-in WHOIS server directory: constant data, one row per suffix.

#include <array>
#include <cstddef>
#include <string_view>

namespace torvane::query {

struct DirectoryRow {
    std::string_view key;    // suffix with its leading dot, lower-case
    std::string_view value;  // host name, web page or "??"
};

inline constexpr std::size_t kTopLevelRowCount = 265;
inline constexpr std::size_t kSuffixRowCount = 34;

// Keys are distinct; rows stand in the order the suggestion list is built in.
extern const std::array<DirectoryRow, kTopLevelRowCount> kTopLevelRows;
// Keys are distinct and ascending; the first suffix found in a query wins.
extern const std::array<DirectoryRow, kSuffixRowCount> kSuffixRows;

// The top-level domains of the suffix rows: only for these is the suffix
// table consulted.
inline constexpr std::array<std::string_view, 9> kSuffixTopLevelDomains{
    ".com", ".au", ".net", ".us", ".uk", ".za", ".uy", ".cn", ".org"};

}  // namespace torvane::query
