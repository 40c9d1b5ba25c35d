#include "cli/terminal_escape.h"

#include "cli/utf8_walk.h"

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

bool IsCp932Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsCp932Trail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

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
        const std::size_t start = pos;
        const auto c = DecodeUtf8(utf8, pos);
        if (!c) {
            AppendHexByte(out, static_cast<unsigned char>(utf8[start]));
        } else if (*c == '\t') {
            out += '\t';
        } else if (*c < 0x20 || *c == 0x7F) {
            AppendCaret(out, *c);
        } else if (*c >= 0x80 && *c <= 0x9F) {
            out += "M-";
            AppendCaret(out, *c - 0x80);
        } else {
            out.append(utf8.substr(start, pos - start));
        }
    }
}

std::string EscapeCp932ForTerminal(std::string_view cp932) {
    std::string out;
    out.reserve(cp932.size());
    AppendCp932EscapedForTerminal(out, cp932);
    return out;
}

void AppendCp932EscapedForTerminal(std::string& out, std::string_view cp932) {
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        const std::size_t plain = PlainAsciiRun(cp932, i);
        if (plain > 0) {
            out.append(cp932.substr(i, plain));
            i += plain - 1;
            continue;
        }
        const auto b = static_cast<unsigned char>(cp932[i]);
        if (IsCp932Lead(b) && i + 1 < cp932.size() &&
            IsCp932Trail(static_cast<unsigned char>(cp932[i + 1]))) {
            out.append(cp932.substr(i, 2));
            ++i;
        } else if (b == '\t' || (b >= 0x20 && b < 0x7F) || (b >= 0xA1 && b <= 0xDF)) {
            out += static_cast<char>(b);  // ASCII and half-width katakana
        } else if (b < 0x20 || b == 0x7F) {
            AppendCaret(out, b);
        } else {
            AppendHexByte(out, b);
        }
    }
}

}  // namespace torvane::cli
