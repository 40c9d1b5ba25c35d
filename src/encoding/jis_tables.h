#pragma once
// The JIS character sets by row and cell for the decoders to UTF-8;
// internal to the encoding module.

#include <cstdint>

namespace torvane::encoding::detail {

// The JIS X 0208 character at bytes (j1, j2), both 21-7E, as CP932 reads
// the Shift_JIS pair JisPairToSjisBytes makes of it: the same character
// the answer shows once converted to Shift_JIS. U+FFFD where CP932 defines
// none.
char16_t Jis0208Unit(unsigned char j1, unsigned char j2);

// The JIS X 0212 character at bytes (j1, j2), both 21-7E, as glibc iconv's
// EUC-JP decodes 8F (j1 | 80) (j2 | 80); U+FFFD where it defines none.
// The table is built from iconv on first use (thread-safe).
char16_t Jis0212Unit(unsigned char j1, unsigned char j2);

}  // namespace torvane::encoding::detail
