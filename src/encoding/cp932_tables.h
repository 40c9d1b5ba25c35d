#pragma once
// Lookup tables between UTF-16 code units and CP932, built once from the
// iconv conversions of code_page.h so that the table-driven paths give the
// same bytes as those conversions; internal to the encoding module.

#include <array>
#include <cstdint>

namespace torvane::encoding::detail {

// The CP932 form of each UTF-16 unit outside the surrogates, as
// Utf16ToCp932 gives it for that unit alone: a one-byte character b as b, a
// double-byte character as lead << 8 | trail, a missing one as '?'. Units
// below 0x80 are themselves.
using UnitToCp932Table = std::array<std::uint16_t, 0x10000>;

// The table, or nullptr when iconv's conversion does not fit its shape; the
// callers then use Utf16ToCp932. Built on first use (under a millisecond);
// thread-safe.
const UnitToCp932Table* TheUnitToCp932Table();

struct Cp932ToUnitTables {
    // The unit Cp932ToUtf16 gives for a byte that is not a lead byte alone
    // (U+FFFD for a bad one). Bytes below 0x80 are themselves.
    std::array<char16_t, 0x100> fromSingle{};
    // The unit for a lead byte followed by a trail byte, indexed by
    // (lead << 8 | trail); U+FFFD for a pair CP932 does not define. Other
    // entries are unused.
    std::array<char16_t, 0x10000> fromPair{};
};

// The tables, or nullptr when iconv's conversion does not fit their shape
// (each character one unit, ASCII as itself, no surrogate produced); the
// callers then use Cp932ToUtf16. Built on first use; thread-safe.
const Cp932ToUnitTables* TheCp932ToUnitTables();

// The byte classes of CP932 that the conversions use.
constexpr bool IsCp932LeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
constexpr bool IsCp932TrailByte(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

}  // namespace torvane::encoding::detail
