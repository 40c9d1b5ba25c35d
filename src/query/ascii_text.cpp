#include "query/ascii_text.h"

#include <algorithm>

namespace torvane::query {

namespace {

constexpr char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace

std::size_t FindText(std::string_view text, std::string_view needle) { return text.find(needle); }

std::size_t FindLastOf(std::string_view text, std::string_view chars) {
    return text.find_last_of(chars);
}

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string ToLowerAscii(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), LowerAscii);
    return lowered;
}

int CompareIgnoreCase(std::string_view a, std::string_view b) {
    return ToLowerAscii(a).compare(ToLowerAscii(b));
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
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
