// What each CP932 character of a row is drawn as: one UTF-16 character, or the placeholder box.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace torvane::view {

class TCellChars {
  public:
    // Returned for characters shown as the one-cell placeholder: control characters other than
    // the tab (the zero byte included), DEL, and bytes that are no CP932 character.
    static constexpr char16_t kPlaceholder = 0;

    // The UTF-16 character of the CP932 character of `length` bytes (1 or 2) at `pos` of `line`.
    // A double-byte pair outside CP932 gives U+FFFD. Conversions are cached per pair.
    char16_t unicodeOf(std::string_view line, std::size_t pos, std::size_t length);

  private:
    // 0 = not looked up yet; double-byte pairs never decode to U+0000.
    std::array<char16_t, 65536> doubleByte_{};
};

}  // namespace torvane::view
