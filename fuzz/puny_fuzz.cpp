// DomainToAscii and MapTypedName on typed names, and Encode on arbitrary
// UTF-16 labels.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "puny/puny.h"
#include "puny/typed_name.h"

using namespace torvane::puny;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    const std::string ascii = DomainToAscii(name);
    // Labels are split at '.' only, so the dots survive one for one.
    std::size_t dotsIn = 0, dotsOut = 0;
    for (char c : name) dotsIn += c == '.';
    for (char c : ascii) dotsOut += c == '.';
    FUZZ_CHECK(dotsIn == dotsOut);

    std::u16string label(size / 2, u'\0');
    for (std::size_t i = 0; i < label.size(); ++i)
        label[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    const std::u16string encoded = TPunyClass().Encode(label);
    bool basic = true;
    for (char16_t unit : label) basic = basic && unit < 128;
    if (basic) FUZZ_CHECK(encoded == label);

    // A mapped name has its two forms label for label, the second in ASCII
    // and within the DNS's length; a refused one has neither.
    const TypedName typed = MapTypedName(name);
    if (typed.Refused()) {
        FUZZ_CHECK(typed.unicode.empty() && typed.ascii.empty());
    } else {
        std::size_t unicodeDots = 0, asciiDots = 0;
        for (char c : typed.unicode) unicodeDots += c == '.';
        for (char c : typed.ascii) {
            asciiDots += c == '.';
            FUZZ_CHECK(static_cast<unsigned char>(c) < 0x80);
        }
        FUZZ_CHECK(unicodeDots == asciiDots);
        bool ascii = true;
        for (char c : name) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        if (ascii) {
            FUZZ_CHECK(typed.unicode == name && typed.ascii == name);
        } else {
            FUZZ_CHECK(typed.ascii.size() <= 254);  // 253 and a final dot
        }
    }
    return 0;
}
