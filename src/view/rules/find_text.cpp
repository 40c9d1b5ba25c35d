#include "view/rules/find_text.h"

#include "unicode/utf8_walk.h"

namespace torvane::view {
namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool matchesAt(std::string_view text, std::string_view needle, std::size_t pos) {
    if (text.size() - pos < needle.size()) return false;
    // Every byte of a UTF-8 character other than ASCII is 0x80 or more, so folding ASCII letters
    // byte by byte never touches another character.
    for (std::size_t i = 0; i < needle.size(); ++i) {
        if (lowerAscii(text[pos + i]) != lowerAscii(needle[i])) return false;
    }
    return true;
}

}  // namespace

std::optional<std::size_t> findNext(std::string_view text, std::string_view needle,
                                    std::size_t from) {
    if (needle.empty()) return std::nullopt;
    std::optional<std::size_t> first;
    for (std::size_t pos = 0; pos < text.size(); pos += unicode::DecodeUtf8At(text, pos).length) {
        if (!matchesAt(text, needle, pos)) continue;
        if (pos >= from) return pos;
        if (!first) first = pos;
    }
    return first;
}

std::optional<std::size_t> findPrevious(std::string_view text, std::string_view needle,
                                        std::size_t before) {
    if (needle.empty()) return std::nullopt;
    std::optional<std::size_t> lastBefore;
    std::optional<std::size_t> last;
    for (std::size_t pos = 0; pos < text.size(); pos += unicode::DecodeUtf8At(text, pos).length) {
        if (!matchesAt(text, needle, pos)) continue;
        if (pos < before) lastBefore = pos;
        last = pos;
    }
    return lastBefore ? lastBefore : last;
}

}  // namespace torvane::view
