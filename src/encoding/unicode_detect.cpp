#include <cstddef>

#include "encoding/japanese_codes.h"
#include "encoding/unicode_codes.h"

namespace torvane::encoding {
namespace {

bool InRange(unsigned char c, unsigned char low, unsigned char high) {
    return c >= low && c <= high;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Only three-byte sequences count as evidence of UTF-8; any two- or
// four-byte lead, or a stray trail byte, in the window rules it out.
bool LooksLikeUtf8(std::string_view text) {
    const auto length = static_cast<std::ptrdiff_t>(text.size());
    const auto byte = [&](std::ptrdiff_t index) { return static_cast<unsigned char>(text[index]); };
    bool seen = false;
    // 0-based index; the window ends at ScanLimit bytes and 4 bytes before the
    // end, so a three-byte sequence is always read whole.
    for (std::ptrdiff_t i = 0; i < ScanLimit && i < length - 5;) {
        const unsigned char c = byte(i);
        if (c <= 0x7F) {
            ++i;
            continue;
        }
        const unsigned char second_low = c == 0xE0 ? 0xA0 : 0x80;
        if (!InRange(c, 0xE0, 0xEF) || !InRange(byte(i + 1), second_low, 0xBF) ||
            !InRange(byte(i + 2), 0x80, 0xBF)) {
            return false;
        }
        seen = true;
        i += 3;
    }
    return seen;
}

}  // namespace

TextCode DetectTextCode(std::string_view text) {
    if (text.empty()) return TextCode::tcNonText;
    if (StartsWith(text, "\xFF\xFE")) return TextCode::tcUtf16Le;
    if (StartsWith(text, "\xFE\xFF")) return TextCode::tcUtf16Be;
    if (text.size() >= 4 && StartsWith(text, "\xEF\xBB\xBF")) return TextCode::tcUtf8Bom;
    if (LooksLikeUtf8(text)) return TextCode::tcUtf8;
    return DetectJapaneseCode(text);
}

}  // namespace torvane::encoding
