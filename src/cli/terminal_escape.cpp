#include "cli/terminal_escape.h"

#include <cstdio>

#include "unicode/cells.h"
#include "unicode/utf8_walk.h"

namespace torvane::cli {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendCaret(std::string& out, unsigned c) {
    out += '^';
    out += c == 0x7F ? '?' : static_cast<char>(c + 0x40);
}

void AppendHexByte(std::string& out, unsigned char byte) {
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

void AppendCodePointName(std::string& out, char32_t c) {
    char name[16];
    std::snprintf(name, sizeof name, "<U+%04X>", static_cast<unsigned>(c));
    out += name;
}

bool IsPlainAscii(unsigned char b) { return (b >= 0x20 && b < 0x7F) || b == '\t'; }

// Most answers are plain ASCII: such runs are copied in one step.
std::size_t PlainAsciiRun(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && IsPlainAscii(static_cast<unsigned char>(text[end]))) ++end;
    return end - pos;
}

}  // namespace

std::string EscapeUtf8ForTerminal(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    AppendUtf8EscapedForTerminal(out, utf8);
    return out;
}

void AppendUtf8EscapedForTerminal(std::string& out, std::string_view utf8) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t plain = PlainAsciiRun(utf8, pos);
        if (plain > 0) {
            out.append(utf8.substr(pos, plain));
            pos += plain;
            continue;
        }
        const unicode::DecodedChar c = unicode::DecodeUtf8At(utf8, pos);
        if (!c.wellFormed) {
            for (std::size_t i = 0; i < c.length; ++i)
                AppendHexByte(out, static_cast<unsigned char>(utf8[pos + i]));
        } else if (!unicode::MustShowOnTerminal(c.value)) {
            out.append(utf8.substr(pos, c.length));
        } else if (c.value < 0x20 || c.value == 0x7F) {
            AppendCaret(out, c.value);
        } else if (c.value >= 0x80 && c.value <= 0x9F) {
            out += "M-";
            AppendCaret(out, c.value - 0x80);
        } else {
            AppendCodePointName(out, c.value);
        }
        pos += c.length;
    }
}

}  // namespace torvane::cli
