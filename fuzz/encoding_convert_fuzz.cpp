// Every conversion of the encoding module on arbitrary bytes: none may crash,
// read out of bounds or throw anything but its documented error.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "encoding/code_page.h"
#include "encoding/japanese_codes.h"
#include "encoding/unicode_codes.h"
#include "fuzz_check.h"

using namespace torvane::encoding;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // The Japanese conversions never grow a text: each input byte gives at
    // most one output byte.
    FUZZ_CHECK(JisToSjis(std::string(text)).size() <= text.size());
    FUZZ_CHECK(EucToSjis(std::string(text)).size() <= text.size());
    FUZZ_CHECK(JapaneseToSjis(std::string(text)).size() <= text.size());
    if (size >= 2) FUZZ_CHECK(JisPairToSjis(data[0], data[1]).size() == 2);

    Utf16LeToAnsi(text);
    Utf16BeToAnsi(text);
    Utf8ToAnsiSimple(text);
    try {
        Utf8BomToAnsi(text);
        Utf8ToAnsiStrict(text);
    } catch (const std::runtime_error&) {
        // the documented failure of the strict decoder
    }

    const std::u16string units = Utf8ToUtf16(text);
    FUZZ_CHECK(units.size() <= text.size());
    Utf16ToCp932(units);
    Cp932ToUtf16(text);
    // The same bytes read as UTF-16 units, lone surrogates included.
    std::u16string aligned(size / 2, u'\0');
    for (std::size_t i = 0; i < aligned.size(); ++i)
        aligned[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    const std::string cp932 = Utf16ToCp932(aligned);
    FUZZ_CHECK(cp932.size() <= 2 * aligned.size());
    return 0;
}
