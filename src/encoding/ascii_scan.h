#pragma once
// Word-at-a-time scans for the ASCII fast paths of the conversions; internal
// to the encoding module.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace torvane::encoding::detail {

inline constexpr std::uint64_t kEveryByte01 = 0x0101010101010101ull;
inline constexpr std::uint64_t kEveryByte80 = 0x8080808080808080ull;

inline std::uint64_t LoadWord(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Nonzero when some byte of `word` equals `byte` (exact for the high bits
// when no byte of `word` has its high bit set).
inline std::uint64_t HasByte(std::uint64_t word, unsigned char byte) {
    const std::uint64_t x = word ^ (kEveryByte01 * byte);
    return (x - kEveryByte01) & ~x & kEveryByte80;
}

// The number of leading bytes of `text` below 0x80.
inline std::size_t AsciiPrefixLength(std::string_view text) {
    const char* p = text.data();
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i + 8 <= n && (LoadWord(p + i) & kEveryByte80) == 0) i += 8;
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
    return i;
}

// The number of bytes from `pos` on before the first byte of 0x80 or above
// or ESC (0x1B), read eight at a time. Precondition: pos <= text.size().
inline std::size_t AsciiRunWithoutEscape(std::string_view text, std::size_t pos) {
    const char* p = text.data();
    const std::size_t n = text.size();
    std::size_t i = pos;
    for (; i + 8 <= n; i += 8) {
        const std::uint64_t word = LoadWord(p + i);
        if ((word & kEveryByte80) != 0 || HasByte(word, 0x1B) != 0) break;
    }
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80 && p[i] != 0x1B) ++i;
    return i - pos;
}

// True when every byte of `text` is below 0x80 and none is ESC (0x1B), the
// only ASCII byte that can start an ISO-2022-JP designation.
inline bool IsAsciiWithoutEscape(std::string_view text) {
    const char* p = text.data();
    const std::size_t n = text.size();
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const std::uint64_t word = LoadWord(p + i);
        if ((word & kEveryByte80) != 0 || HasByte(word, 0x1B) != 0) return false;
    }
    for (; i < n; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        if (c >= 0x80 || c == 0x1B) return false;
    }
    return true;
}

}  // namespace torvane::encoding::detail
