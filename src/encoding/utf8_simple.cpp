#include "encoding/ascii_scan.h"
#include "encoding/code_page.h"
#include "encoding/cp932_tables.h"
#include "encoding/unicode_codes.h"

namespace torvane::encoding {
namespace {

// Decodes by Utf8ToAnsiSimple's rules, calling emit(unit) for each unit
// outside ASCII runs and copy(run) for each ASCII run as a whole.
template <typename Emit, typename Copy>
void DecodeSimple(std::string_view text, Emit emit, Copy copy) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t length = text.size();
    std::size_t i = 0;
    while (i < length) {
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            const std::size_t run = detail::AsciiPrefixLength(text.substr(i));
            copy(text.substr(i, run));
            i += run;
            continue;
        }
        const std::size_t trails = (lead & 0x20) ? 2 : 1;
        unsigned value = lead & 0x3Fu;
        std::size_t taken = 1;
        while (taken <= trails && i + taken < length && (bytes[i + taken] & 0xC0) == 0x80) {
            value = (value << 6) | (bytes[i + taken] & 0x3Fu);
            ++taken;
        }
        if (taken > trails) {
            emit(static_cast<char16_t>(value & 0xFFFF));
            i += taken;
            continue;
        }
        // A malformed or cut-off sequence costs one '?', not the whole text.
        emit(u'?');
        if (i + taken >= length) break;
        i += taken;
    }
}

std::string ThroughUtf16(std::string_view text) {
    std::u16string units;
    units.reserve(text.size());
    DecodeSimple(
        text, [&](char16_t unit) { units += unit; },
        [&](std::string_view run) { units.append(run.begin(), run.end()); });
    return Utf16ToCp932(units);
}

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

std::string Utf8ToAnsiSimple(std::string_view text) {
    const detail::UnitToCp932Table* table = detail::TheUnitToCp932Table();
    if (table == nullptr) return ThroughUtf16(text);
    // Never more bytes out than in: a unit from n >= 2 bytes becomes at most
    // two bytes, and ASCII stays as it is.
    std::string out(text.size(), '\0');
    char* dst = out.data();
    // Utf16ToCp932 makes one '?' of a high surrogate and the low one after
    // it, and one of each lone surrogate.
    bool afterHigh = false;
    DecodeSimple(
        text,
        [&](char16_t unit) {
            if (IsLowSurrogate(unit) && afterHigh) {
                afterHigh = false;
                return;
            }
            afterHigh = IsHighSurrogate(unit);
            if (afterHigh || IsLowSurrogate(unit)) {
                *dst++ = '?';
                return;
            }
            const std::uint16_t code = (*table)[unit];
            if (code > 0xFF) *dst++ = static_cast<char>(code >> 8);
            *dst++ = static_cast<char>(code & 0xFF);
        },
        [&](std::string_view run) {
            std::memcpy(dst, run.data(), run.size());
            dst += run.size();
            afterHigh = false;
        });
    out.resize(static_cast<std::size_t>(dst - out.data()));
    return out;
}

}  // namespace torvane::encoding
