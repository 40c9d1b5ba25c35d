#pragma once
// CP932 to UTF-8 in one step, for the output edges that write whole texts.

#include <string>
#include <string_view>

namespace torvane::encoding {

// The UTF-8 form of Cp932ToUtf16(cp932), byte for byte: every byte or pair
// that is not CP932 becomes U+FFFD (EF BF BD) under the same rules, zero
// bytes are kept. Runs of bytes below 0x80 are copied as they are.
std::string Cp932ToUtf8(std::string_view cp932);

// Appends Cp932ToUtf8(cp932) to `out`, so that many texts can be converted
// into one buffer without a string of their own. `cp932` must not point into
// `out`.
void AppendCp932AsUtf8(std::string& out, std::string_view cp932);

}  // namespace torvane::encoding
