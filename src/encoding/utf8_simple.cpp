#include "encoding/code_page.h"
#include "encoding/unicode_codes.h"

namespace torvane::encoding {

std::string Utf8ToAnsiSimple(std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t length = text.size();
    // Never more units than bytes.
    std::u16string units(length, u'\0');
    char16_t* out = units.data();
    std::size_t i = 0;
    while (i < length) {
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            *out++ = lead;
            ++i;
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
            *out++ = static_cast<char16_t>(value & 0xFFFF);
            i += taken;
            continue;
        }
        // A malformed or cut-off sequence costs one '?', not the whole text.
        *out++ = u'?';
        if (i + taken >= length) break;
        i += taken;
    }
    units.resize(static_cast<std::size_t>(out - units.data()));
    return Utf16ToCp932(units);
}

}  // namespace torvane::encoding
