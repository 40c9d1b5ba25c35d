#include "view/widget/cell_chars.h"

#include "encoding/code_page.h"

namespace torvane::view {

char16_t TCellChars::unicodeOf(std::string_view line, std::size_t pos, std::size_t length) {
    const auto c = static_cast<unsigned char>(line[pos]);
    if (length == 1) {
        if (c < 0x20 || c == 0x7F) return kPlaceholder;
        if (c < 0x80) return c;
        // 0xA1-0xDF: half-width katakana, U+FF61 onward in the same order.
        if (c >= 0xA1 && c <= 0xDF) return static_cast<char16_t>(0xFF61 + (c - 0xA1));
        return kPlaceholder;
    }
    const unsigned code = c << 8 | static_cast<unsigned char>(line[pos + 1]);
    char16_t& cached = doubleByte_[code];
    if (cached == 0) {
        const std::u16string u = encoding::Cp932ToUtf16(line.substr(pos, 2));
        cached = u.size() == 1 ? u[0] : u'\uFFFD';
    }
    return cached;
}

}  // namespace torvane::view
