#pragma once
// The JIS character sets by row and cell for the decoders to UTF-8;
// internal to the encoding module.

#include <array>
#include <cstddef>
#include <cstdint>

namespace torvane::encoding::detail {

// The JIS X 0208 character at bytes (j1, j2), both 21-7E, as CP932 reads
// the Shift_JIS pair JisPairToSjisBytes makes of it: the same character
// the answer shows once converted to Shift_JIS. U+FFFD where CP932 defines
// none.
char16_t Jis0208Unit(unsigned char j1, unsigned char j2);

// A character's UTF-8 form, at most three bytes, with its length.
struct Utf8Bytes {
    char bytes[3];
    std::uint8_t length;
};

// Jis0208Unit of every pair in UTF-8, indexed by Jis0208Index; built on
// first use (thread-safe), so that a decoder reads each pair's bytes from
// one place instead of converting it.
using Jis0208Utf8Table = std::array<Utf8Bytes, 94 * 94>;
const Jis0208Utf8Table& TheJis0208Utf8Table();

// The index of the pair (j1, j2), both 21-7E, in a table of 94 by 94.
constexpr std::size_t Jis0208Index(unsigned char j1, unsigned char j2) {
    return static_cast<std::size_t>(j1 - 0x21) * 94 + (j2 - 0x21);
}

// The JIS X 0212 character at bytes (j1, j2), both 21-7E, as glibc iconv's
// EUC-JP decodes 8F (j1 | 80) (j2 | 80); U+FFFD where it defines none.
// The table is built from iconv on first use (thread-safe).
char16_t Jis0212Unit(unsigned char j1, unsigned char j2);

}  // namespace torvane::encoding::detail
