// The command line's terminal escaping on arbitrary answer text: whatever a
// server sends, what reaches a terminal holds no control character but TAB
// and is well formed in its encoding.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/report_output.h"
#include "cli/terminal_escape.h"
#include "fuzz_check.h"

using namespace torvane;

namespace {

// True when `utf8` is well-formed UTF-8 without C0 (but TAB), DEL, C1 or a
// control that reorders text.
bool SafeUtf8(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            if ((lead < 0x20 && lead != '\t') || lead == 0x7F) return false;
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length == 0 || lead > 0xF4 || i + length > utf8.size()) return false;
        char32_t code = lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char trail = static_cast<unsigned char>(utf8[i + k]);
            if ((trail & 0xC0) != 0x80) return false;
            code = (code << 6) | (trail & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        if (code >= 0x80 && code <= 0x9F) return false;
        if ((code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069)) return false;
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(SafeUtf8(cli::EscapeUtf8ForTerminal(text)));

    // Well formed: every byte is a printable ASCII character, TAB, a
    // half-width katakana, or a lead byte followed by a trail byte; so no
    // byte 0x80-0x9F ever stands alone where a terminal could take it for
    // a C1 control. (Pairs that CP932 leaves unassigned are well formed.)
    const std::string cp932 = cli::RenderLine(text, cli::OutputEncoding::Cp932, true);
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(cp932[i]);
        if (byte == '\t' || (byte >= 0x20 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xDF))
            continue;
        FUZZ_CHECK((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC));
        FUZZ_CHECK(i + 1 < cp932.size());
        const unsigned char trail = static_cast<unsigned char>(cp932[++i]);
        FUZZ_CHECK((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC));
    }
    return 0;
}
