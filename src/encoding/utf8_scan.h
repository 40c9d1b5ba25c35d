#pragma once
// The few UTF-8 facts the decoders need: validity, the maximal ill-formed
// subpart and the encoder. Internal to the encoding module.

#include <cstddef>
#include <cstring>
#include <string_view>

#include "encoding/ascii_scan.h"

namespace torvane::encoding::detail {

// The trail bytes a lead byte takes and the range its first trail must lie
// in (Unicode's table of well-formed byte sequences): no overlong forms, no
// surrogates, nothing above U+10FFFF. `trails` is 0 for a byte that leads
// nothing (80-C1, F5-FF).
struct Utf8Lead {
    int trails;
    unsigned char low, high;
};

constexpr Utf8Lead Utf8LeadOf(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return {1, 0x80, 0xBF};
    if (lead == 0xE0) return {2, 0xA0, 0xBF};
    if (lead == 0xED) return {2, 0x80, 0x9F};
    if (lead >= 0xE1 && lead <= 0xEF) return {2, 0x80, 0xBF};
    if (lead == 0xF0) return {3, 0x90, 0xBF};
    if (lead >= 0xF1 && lead <= 0xF3) return {3, 0x80, 0xBF};
    if (lead == 0xF4) return {3, 0x80, 0x8F};
    return {0, 0, 0};
}

// For a byte >= 0x80 at the start of `rest`: the length of the well-formed
// sequence it leads (2-4), or 0 with `bad` set to the length of the maximal
// ill-formed subpart there (1-3), the piece that becomes one U+FFFD.
inline std::size_t Utf8SequenceAt(std::string_view rest, std::size_t& bad) {
    const auto* p = reinterpret_cast<const unsigned char*>(rest.data());
    const Utf8Lead lead = Utf8LeadOf(p[0]);
    std::size_t length = 1;
    unsigned char low = lead.low;
    unsigned char high = lead.high;
    for (int k = 0; k < lead.trails; ++k) {
        if (length >= rest.size() || p[length] < low || p[length] > high) {
            bad = length;
            return 0;
        }
        ++length;
        low = 0x80;
        high = 0xBF;
    }
    if (lead.trails == 0) {
        bad = 1;
        return 0;
    }
    return length;
}

// The length of the longest prefix of `text` that is well-formed UTF-8;
// `multibyte` tells whether that prefix holds a sequence of 2-4 bytes.
inline std::size_t ValidUtf8Prefix(std::string_view text, bool& multibyte) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    multibyte = false;
    while (i < n) {
        // Answers are mostly ASCII: two words at a time through the runs.
        while (i + 16 <= n && ((LoadWord(text.data() + i) | LoadWord(text.data() + i + 8)) &
                               kEveryByte80) == 0) {
            i += 16;
        }
        while (i < n && p[i] < 0x80) ++i;
        if (i >= n) break;
        const Utf8Lead lead = Utf8LeadOf(p[i]);
        const auto trails = static_cast<std::size_t>(lead.trails);
        if (trails == 0 || i + trails >= n) break;
        if (p[i + 1] < lead.low || p[i + 1] > lead.high) break;
        if (trails >= 2 && (p[i + 2] & 0xC0) != 0x80) break;
        if (trails == 3 && (p[i + 3] & 0xC0) != 0x80) break;
        i += 1 + trails;
        multibyte = true;
    }
    return i;
}

// Writes the UTF-8 form of `code` (a scalar value, at most U+10FFFF) at
// `dst`; returns the end.
inline char* PutUtf8(char* dst, char32_t code) {
    if (code < 0x80) {
        *dst++ = static_cast<char>(code);
    } else if (code < 0x800) {
        *dst++ = static_cast<char>(0xC0 | (code >> 6));
        *dst++ = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *dst++ = static_cast<char>(0xE0 | (code >> 12));
        *dst++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *dst++ = static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *dst++ = static_cast<char>(0xF0 | (code >> 18));
        *dst++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *dst++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *dst++ = static_cast<char>(0x80 | (code & 0x3F));
    }
    return dst;
}

inline constexpr char32_t kReplacement = U'\uFFFD';

}  // namespace torvane::encoding::detail
