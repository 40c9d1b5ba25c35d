#include "encoding/code_page.h"
#include "encoding/unicode_codes.h"
#include "puny/puny.h"

namespace torvane::puny {
namespace {

using encoding::TextCode;

bool NeedsEncoding(std::string_view label) {
    return !label.empty() && encoding::DetectTextCode(label) != TextCode::tcAscii;
}

std::string EncodeLabel(std::string_view label) {
    const std::u16string encoded = u"xn--" + TPunyClass().Encode(encoding::Cp932ToUtf16(label));
    return encoding::Utf16ToCp932(encoded);
}

std::string ConvertLabel(std::string_view label) {
    return NeedsEncoding(label) ? EncodeLabel(label) : std::string(label);
}

}  // namespace

std::string DomainToAscii(std::string_view name) {
    if (encoding::DetectTextCode(name) == TextCode::tcAscii) return std::string(name);
    std::string result;
    std::string_view rest = name;
    // A trail byte of a Shift_JIS pair is never 0x2E, so "." splits safely.
    for (auto dot = rest.find('.'); dot != std::string_view::npos; dot = rest.find('.')) {
        result += ConvertLabel(rest.substr(0, dot));
        result += '.';
        rest.remove_prefix(dot + 1);
    }
    result += ConvertLabel(rest);
    return result;
}

}  // namespace torvane::puny
