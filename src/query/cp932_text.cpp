#include "query/cp932_text.h"

#include <algorithm>

namespace torvane::query {

namespace {

constexpr char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace

std::size_t FindText(std::string_view text, std::string_view needle) {
    if (needle.empty()) return 0;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) {
        if (text.substr(pos, needle.size()) == needle) return pos;
    }
    return std::string_view::npos;
}

std::size_t FindLastOf(std::string_view text, std::string_view chars) {
    std::size_t found = std::string_view::npos;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = CharLength(text, pos);
        if (length == 1 && chars.find(text[pos]) != std::string_view::npos) found = pos;
        pos += length;
    }
    return found;
}

std::string_view Trim(std::string_view text) {
    // Trail bytes are never below 0x40, so a byte-wise trim cannot split a character.
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string ToLowerAscii(std::string_view text) {
    std::string lowered(text);
    for (std::size_t pos = 0; pos < lowered.size();) {
        const std::size_t length = CharLength(lowered, pos);
        if (length == 1) lowered[pos] = LowerAscii(lowered[pos]);
        pos += length;
    }
    return lowered;
}

int CompareIgnoreCase(std::string_view a, std::string_view b) {
    // Lowered character-wise, so two double-byte characters whose trail bytes
    // differ only as 'A' and 'a' stay different.
    return ToLowerAscii(a).compare(ToLowerAscii(b));
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareIgnoreCase(a, b) == 0;
}

std::string_view LastLabel(std::string_view text) {
    const std::size_t pos = FindLastOf(text, ".\\:");
    if (pos == std::string_view::npos || text[pos] != '.') return {};
    return text.substr(pos);
}

std::string_view WithoutLastLabel(std::string_view text) {
    return text.substr(0, text.size() - LastLabel(text).size());
}

}  // namespace torvane::query
