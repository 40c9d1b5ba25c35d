// What each cluster of a row is drawn as: one character's glyph, or the placeholder box.
#pragma once

#include <cstddef>
#include <string_view>

namespace torvane::view {

class TCellChars {
  public:
    // Returned for clusters shown as the one-cell placeholder: control characters other than the
    // tab (the zero byte included), DEL, the C1 controls, and the controls that reorder text
    // (U+202A-U+202E, U+2066-U+2069), which are shown and never act, so nothing in a report is
    // ever reordered.
    static constexpr char32_t kPlaceholder = 0;

    // The character drawn for the cluster of `length` bytes at `pos` of UTF-8 `line`: its first
    // code point (beyond the BMP too), U+FFFD for bytes that are no UTF-8, or kPlaceholder.
    char32_t unicodeOf(std::string_view line, std::size_t pos, std::size_t length) const;
};

}  // namespace torvane::view
