#include "summary/value_text.h"

#include "summary/port43_facts.h"
#include "unicode/utf8_walk.h"

namespace torvane::summary {

std::string ValueText(std::string_view text) {
    std::string out;
    out.reserve(text.size() < kMaxValueBytes ? text.size() : kMaxValueBytes);
    bool pendingSpace = false;
    for (std::size_t pos = 0; pos < text.size();) {
        const unicode::DecodedChar c = unicode::DecodeUtf8At(text, pos);
        const std::string_view bytes = text.substr(pos, c.length);
        pos += c.length;
        // Tabs, line ends and the other controls all separate words here: a
        // value is one line.
        if (c.value <= 0x20 || (c.value >= 0x7F && c.value <= 0x9F)) {
            pendingSpace = !out.empty();
            continue;
        }
        const std::string_view piece = c.wellFormed ? bytes : std::string_view("\xEF\xBF\xBD");
        if (out.size() + (pendingSpace ? 1 : 0) + piece.size() > kMaxValueBytes) break;
        if (pendingSpace) out += ' ';
        pendingSpace = false;
        out += piece;
    }
    return out;
}

}  // namespace torvane::summary
