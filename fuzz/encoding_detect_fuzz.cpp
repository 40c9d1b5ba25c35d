// The code detectors on arbitrary bytes: always one of the known verdicts.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "encoding/japanese_codes.h"
#include "encoding/text_code.h"
#include "encoding/unicode_codes.h"
#include "fuzz_check.h"

using namespace torvane::encoding;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TextCode japanese = DetectJapaneseCode(text);
    FUZZ_CHECK(japanese >= TextCode::tcAscii && japanese <= TextCode::tcEucOrSjis);
    const TextCode any = DetectTextCode(text);
    FUZZ_CHECK(any >= TextCode::tcAscii && any <= TextCode::tcUtf8);
    FUZZ_CHECK(TextCodeName(any) != "?");
    if (size == 0) FUZZ_CHECK(any == TextCode::tcNonText);
    return 0;
}
