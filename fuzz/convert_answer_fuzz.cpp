// ConvertAnswerText, the conversion every WHOIS answer goes through: any
// bytes a server sends must convert without a crash.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "encoding/answer_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        torvane::encoding::ConvertAnswerText(std::string(text));
    } catch (const std::runtime_error&) {
        // the strict UTF-8 decoder's documented failure, which the legs report
    }
    return 0;
}
