// DecodeAnswer and each decoder to UTF-8 on arbitrary bytes: no crash, the
// output always well-formed UTF-8, and no byte lost. Where an independent
// reading exists it must agree: MendUtf8 with the iconv-driven lenient
// decoder, SjisToUtf8 with Cp932ToUtf8, Latin-1 byte for code point.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "encoding/answer_utf8.h"
#include "encoding/code_page.h"
#include "encoding/cp932_utf8.h"
#include "encoding/to_utf8.h"
#include "fuzz_check.h"

using namespace torvane::encoding;

namespace {

// Code points of well-formed UTF-8, decoded here on its own terms (not by
// the module's scanner); an empty result with `ok` false for anything else.
std::u32string CodePoints(std::string_view text, bool& ok) {
    std::u32string out;
    ok = true;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int length = c < 0x80 ? 1 : c >> 5 == 6 ? 2 : c >> 4 == 14 ? 3 : c >> 3 == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size()) return ok = false, out;
        char32_t value = length == 1 ? c : c & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto t = static_cast<unsigned char>(text[i + k]);
            if (t >> 6 != 2) return ok = false, out;
            value = value << 6 | (t & 0x3F);
        }
        const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < minimum[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            return ok = false, out;
        }
        out += value;
        i += length;
    }
    return out;
}

std::u32string CheckedCodePoints(const std::string& text) {
    bool ok = false;
    std::u32string points = CodePoints(text, ok);
    FUZZ_CHECK(ok);
    return points;
}

std::string Utf8OfUnits(const std::u16string& units) {
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                    static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            out += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
                    static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    for (std::string_view server : {"", "whois.registro.br", "whois.kg"}) {
        const std::string decoded = DecodeAnswer(text, server);
        CheckedCodePoints(decoded);
        // Nothing is dropped: only ISO-2022-JP escapes and byte-order marks
        // give no character, and no character comes from more than 4 bytes.
        if (text.find('\x1B') == std::string::npos && text.size() > 4) {
            FUZZ_CHECK(CheckedCodePoints(decoded).size() * 4 >= text.size() - 3);
        }
    }

    // Every byte is one code point, its own value.
    const std::u32string latin1 = CheckedCodePoints(Latin1ToUtf8(text));
    FUZZ_CHECK(latin1.size() == size);
    for (std::size_t i = 0; i < size; ++i) FUZZ_CHECK(latin1[i] == data[i]);
    const std::u32string cyrillic = CheckedCodePoints(Windows1251ToUtf8(text));
    FUZZ_CHECK(cyrillic.size() == size);

    FUZZ_CHECK(MendUtf8(text) == Utf8OfUnits(Utf8ToUtf16(text)));
    bool wellFormed = false;
    CodePoints(text, wellFormed);
    FUZZ_CHECK(IsValidUtf8(text) == wellFormed);
    FUZZ_CHECK(SjisToUtf8(text) == Cp932ToUtf8(text));

    // Each decoded character or U+FFFD stands for 1-4 bytes read.
    const std::u32string euc = CheckedCodePoints(EucToUtf8(text));
    FUZZ_CHECK(euc.size() <= size && euc.size() * 3 >= size);
    const std::u32string jis = CheckedCodePoints(JisToUtf8(text));
    FUZZ_CHECK(jis.size() <= size);
    if (text.find('\x1B') == std::string::npos) FUZZ_CHECK(jis.size() * 2 >= size);
    // A received answer has room beyond its end, which the decoder may
    // write ahead into: the same text, whatever the room.
    const std::string plainJis = JisToUtf8(text);
    for (std::size_t room : {std::size_t{1}, size / 32 + 8, size + 64}) {
        std::string roomy = text;
        roomy.reserve(size + room);
        FUZZ_CHECK(JisToUtf8(std::move(roomy)) == plainJis);
    }
    for (const std::u32string& points :
         {CheckedCodePoints(Utf16LeToUtf8(text)), CheckedCodePoints(Utf16BeToUtf8(text))}) {
        FUZZ_CHECK(points.size() <= (size + 1) / 2 && points.size() * 4 >= size);
    }
    return 0;
}
