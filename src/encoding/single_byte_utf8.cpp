#include <array>
#include <cstdint>

#include "encoding/ascii_scan.h"
#include "encoding/to_utf8.h"
#include "encoding/utf8_sink.h"

namespace torvane::encoding {
namespace {

// The upper half (80-FF) of a single-byte code, by code point.
using UpperHalf = std::array<char16_t, 0x80>;

constexpr UpperHalf Latin1Upper() {
    UpperHalf half{};
    for (std::size_t i = 0; i < half.size(); ++i) half[i] = static_cast<char16_t>(0x80 + i);
    return half;
}

// Unicode's mapping of the code page (WINDOWS/CP1251.TXT of the Unicode
// Consortium's vendor mappings, the table glibc iconv's CP1251 follows);
// 98 is undefined.
constexpr UpperHalf kWindows1251Upper = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

std::string DecodeSingleByte(std::string text, const UpperHalf& upper) {
    const std::size_t ascii = detail::AsciiPrefixLength(text);
    if (ascii == text.size()) return text;
    detail::Utf8Sink out(text, ascii);
    const std::string_view in(text);
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    std::size_t i = ascii;
    while (i < in.size()) {
        if (p[i] < 0x80) {
            const std::size_t run = detail::AsciiPrefixLength(in.substr(i));
            out.PutRun(i, run);
            i += run;
            continue;
        }
        out.Put(i + 1, upper[p[i] - 0x80]);
        ++i;
    }
    return out.Finish();
}

}  // namespace

std::string Latin1ToUtf8(std::string text) {
    static constexpr UpperHalf kLatin1Upper = Latin1Upper();
    return DecodeSingleByte(std::move(text), kLatin1Upper);
}

std::string Windows1251ToUtf8(std::string text) {
    return DecodeSingleByte(std::move(text), kWindows1251Upper);
}

}  // namespace torvane::encoding
