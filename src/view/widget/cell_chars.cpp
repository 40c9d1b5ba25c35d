#include "view/widget/cell_chars.h"

#include "unicode/cells.h"
#include "unicode/utf8_walk.h"

namespace torvane::view {

char32_t TCellChars::unicodeOf(std::string_view line, std::size_t pos, std::size_t) const {
    const unicode::DecodedChar c = unicode::DecodeUtf8At(line, pos);
    // The terminal's rule for what must never act on a screen serves the report as well.
    if (c.value != '\t' && unicode::MustShowOnTerminal(c.value)) return kPlaceholder;
    return c.value;
}

}  // namespace torvane::view
