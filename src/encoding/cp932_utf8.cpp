#include "encoding/cp932_utf8.h"

#include <cstring>

#include "encoding/ascii_scan.h"
#include "encoding/code_page.h"
#include "encoding/cp932_tables.h"

namespace torvane::encoding {
namespace {

// Precondition: `unit` is not a surrogate (CP932 has none).
char* PutUtf8(char* dst, char16_t unit) {
    if (unit < 0x80) {
        *dst++ = static_cast<char>(unit);
    } else if (unit < 0x800) {
        *dst++ = static_cast<char>(0xC0 | (unit >> 6));
        *dst++ = static_cast<char>(0x80 | (unit & 0x3F));
    } else {
        *dst++ = static_cast<char>(0xE0 | (unit >> 12));
        *dst++ = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        *dst++ = static_cast<char>(0x80 | (unit & 0x3F));
    }
    return dst;
}

void AppendThroughUtf16(std::string& out, std::string_view cp932) {
    const std::u16string units = Cp932ToUtf16(cp932);
    const std::size_t kept = out.size();
    out.resize(kept + units.size() * 3);
    char* dst = out.data() + kept;
    for (char16_t unit : units) dst = PutUtf8(dst, unit);
    out.resize(static_cast<std::size_t>(dst - out.data()));
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    std::string out;
    AppendCp932AsUtf8(out, cp932);
    return out;
}

void AppendCp932AsUtf8(std::string& out, std::string_view cp932) {
    const std::size_t ascii = detail::AsciiPrefixLength(cp932);
    if (ascii == cp932.size()) {
        out.append(cp932);
        return;
    }
    const detail::Cp932ToUnitTables* tables = detail::TheCp932ToUnitTables();
    if (tables == nullptr) {
        AppendThroughUtf16(out, cp932);
        return;
    }

    // A byte gives at most three bytes (U+FFFD or a half-width katakana), a
    // pair at most three; the ASCII prefix one each.
    const std::size_t kept = out.size();
    out.resize(kept + ascii + (cp932.size() - ascii) * 3);
    const auto* src = reinterpret_cast<const unsigned char*>(cp932.data());
    const std::size_t n = cp932.size();
    std::memcpy(out.data() + kept, cp932.data(), ascii);
    char* dst = out.data() + kept + ascii;
    std::size_t i = ascii;
    while (i < n) {
        const unsigned char c = src[i];
        if (c < 0x80) {
            const std::size_t run = detail::AsciiPrefixLength(cp932.substr(i));
            std::memcpy(dst, src + i, run);
            dst += run;
            i += run;
        } else if (detail::IsCp932LeadByte(c) && i + 1 < n &&
                   detail::IsCp932TrailByte(src[i + 1])) {
            dst = PutUtf8(dst, tables->fromPair[c << 8 | src[i + 1]]);
            i += 2;
        } else if (detail::IsCp932LeadByte(c)) {
            // A lead byte before a non-trail byte or at the end is a bad
            // piece on its own; the byte after it is read afresh.
            dst = PutUtf8(dst, u'\uFFFD');
            ++i;
        } else {
            dst = PutUtf8(dst, tables->fromSingle[c]);
            ++i;
        }
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
}

}  // namespace torvane::encoding
