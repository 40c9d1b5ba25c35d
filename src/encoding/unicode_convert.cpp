#include <algorithm>
#include <stdexcept>

#include "encoding/code_page.h"
#include "encoding/unicode_codes.h"

namespace torvane::encoding {
namespace {

// Units up to the first zero unit; a last odd byte is not a unit.
std::u16string ReadUtf16(std::string_view text, bool big_endian) {
    std::u16string units;
    units.reserve(text.size() / 2);
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        const auto first = static_cast<unsigned char>(text[i]);
        const auto second = static_cast<unsigned char>(text[i + 1]);
        const auto unit =
            static_cast<char16_t>(big_endian ? (first << 8) | second : (second << 8) | first);
        if (unit == 0) break;
        units.push_back(unit);
    }
    return units;
}

}  // namespace

std::string Utf16LeToAnsi(std::string_view text) {
    return Utf16ToCp932(ReadUtf16(text, /*big_endian=*/false));
}

std::string Utf16BeToAnsi(std::string_view text) {
    return Utf16ToCp932(ReadUtf16(text, /*big_endian=*/true));
}

std::string Utf8BomToAnsi(std::string_view text) {
    return Utf8ToAnsiStrict(text.substr(std::min<std::size_t>(3, text.size())));
}

std::string Utf8ToAnsiStrict(std::string_view text) {
    std::u16string units;
    try {
        units = Utf8ToUtf16(text);
    } catch (const std::runtime_error&) {
        // The decoder could not run, so it gave no units at all.
        throw std::runtime_error("UTF8の文字列変換に失敗しました.");
    }
    // The end of the text counts as a zero unit, as if two zero bytes followed
    // it; a zero byte inside the text ends the result there.
    const std::size_t end = units.find(u'\0');
    return Utf16ToCp932(std::u16string_view(units).substr(0, end));
}

}  // namespace torvane::encoding
