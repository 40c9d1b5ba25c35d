#include <cstdint>

#include "encoding/ascii_scan.h"
#include "encoding/to_utf8.h"
#include "encoding/utf8_scan.h"
#include "encoding/utf8_sink.h"

namespace torvane::encoding {
namespace {

bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

template <bool kBigEndian>
std::string Utf16ToUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    const auto unitAt = [p](std::size_t i) -> char32_t {
        return kBigEndian ? (p[i] << 8 | p[i + 1]) : (p[i + 1] << 8 | p[i]);
    };
    // A unit gives at most three bytes, a pair four; the odd byte three.
    std::string out(n / 2 * 3 + 3, '\0');
    char* dst = out.data();
    std::size_t i = 0;
    while (i + 1 < n) {
        const char32_t unit = unitAt(i);
        if (unit < 0x80) {
            *dst++ = static_cast<char>(unit);
            i += 2;
        } else if (!IsHighSurrogate(unit) && !IsLowSurrogate(unit)) {
            dst = detail::PutUtf8(dst, unit);
            i += 2;
        } else if (IsHighSurrogate(unit) && i + 3 < n && IsLowSurrogate(unitAt(i + 2))) {
            const char32_t low = unitAt(i + 2);
            dst = detail::PutUtf8(dst, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            i += 4;
        } else {
            dst = detail::PutUtf8(dst, detail::kReplacement);
            i += 2;
        }
    }
    if (i < n) dst = detail::PutUtf8(dst, detail::kReplacement);
    out.resize(static_cast<std::size_t>(dst - out.data()));
    return out;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    bool multibyte = false;
    return detail::ValidUtf8Prefix(text, multibyte) == text.size();
}

std::string MendUtf8(std::string text) {
    bool multibyte = false;
    const std::size_t valid = detail::ValidUtf8Prefix(text, multibyte);
    if (valid == text.size()) return text;
    detail::Utf8Sink out(text, valid);
    const std::string_view in(text);
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    const std::size_t n = in.size();
    std::size_t i = valid;
    while (i < n) {
        if (p[i] < 0x80) {
            const std::size_t run = detail::AsciiPrefixLength(in.substr(i));
            out.PutRun(i, run);
            i += run;
            continue;
        }
        std::size_t bad = 0;
        const std::size_t length = detail::Utf8SequenceAt(in.substr(i), bad);
        if (length != 0) {
            out.PutRun(i, length);
            i += length;
        } else {
            i += bad;
            out.Put(i, detail::kReplacement);
        }
    }
    return out.Finish();
}

std::string Utf16LeToUtf8(std::string_view bytes) { return Utf16ToUtf8<false>(bytes); }
std::string Utf16BeToUtf8(std::string_view bytes) { return Utf16ToUtf8<true>(bytes); }

}  // namespace torvane::encoding
