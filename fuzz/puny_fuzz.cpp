// DomainToAscii on typed names and Encode on arbitrary UTF-16 labels.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "puny/puny.h"

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
    return 0;
}
