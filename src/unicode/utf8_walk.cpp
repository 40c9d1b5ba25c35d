#include "unicode/utf8_walk.h"

namespace torvane::unicode {

Utf8Kind ClassifyUtf8(std::string_view text) {
    bool multiByte = false;
    std::size_t pos = 0;
    while (true) {
        pos += AsciiRunLength(text, pos);
        if (pos >= text.size()) break;
        const DecodedChar c = DecodeUtf8At(text, pos);
        if (!c.wellFormed) return Utf8Kind::IllFormed;
        multiByte = true;
        pos += c.length;
    }
    return multiByte ? Utf8Kind::MultiByte : Utf8Kind::Ascii;
}

void AppendUtf8(std::string& out, char32_t c) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = kReplacementCharacter;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string MendUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    // Well-formed stretches are copied whole; only the broken pieces are rewritten.
    std::size_t copiedTo = 0;
    while (pos < text.size()) {
        pos += AsciiRunLength(text, pos);
        if (pos >= text.size()) break;
        const DecodedChar c = DecodeUtf8At(text, pos);
        if (!c.wellFormed) {
            out.append(text, copiedTo, pos - copiedTo);
            AppendUtf8(out, kReplacementCharacter);
            copiedTo = pos + c.length;
        }
        pos += c.length;
    }
    out.append(text, copiedTo, text.size() - copiedTo);
    return out;
}

}  // namespace torvane::unicode
