#include "encoding/jis_tables.h"

#include <iconv.h>

#include <array>
#include <bit>
#include <memory>
#include <string>

#include "encoding/code_page.h"
#include "encoding/cp932_tables.h"
#include "encoding/japanese_codes.h"
#include "encoding/utf8_scan.h"

namespace torvane::encoding::detail {
namespace {

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

constexpr std::size_t Index(unsigned char j1, unsigned char j2) { return Jis0208Index(j1, j2); }

using Jis0212Table = std::array<char16_t, 94 * 94>;

// One conversion per character: iconv stops on an undefined one, and a
// table of 8836 entries is built in a few milliseconds, once.
std::unique_ptr<Jis0212Table> BuildJis0212() {
    auto table = std::make_unique<Jis0212Table>();
    table->fill(u'\uFFFD');
    iconv_t cd = iconv_open(kUtf16, "EUC-JP");
    if (cd == reinterpret_cast<iconv_t>(-1)) return table;
    for (unsigned j1 = 0x21; j1 <= 0x7E; ++j1) {
        for (unsigned j2 = 0x21; j2 <= 0x7E; ++j2) {
            char in[3] = {'\x8F', static_cast<char>(j1 | 0x80), static_cast<char>(j2 | 0x80)};
            char16_t units[2] = {};
            char* src = in;
            std::size_t srcLeft = sizeof in;
            char* dst = reinterpret_cast<char*>(units);
            std::size_t dstLeft = sizeof units;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const std::size_t result = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
            // One BMP character that is not a surrogate, or nothing.
            if (result != static_cast<std::size_t>(-1) && dstLeft == 2 &&
                (units[0] < 0xD800 || units[0] > 0xDFFF)) {
                (*table)[Index(static_cast<unsigned char>(j1), static_cast<unsigned char>(j2))] =
                    units[0];
            }
        }
    }
    iconv_close(cd);
    return table;
}

std::unique_ptr<Jis0208Utf8Table> BuildJis0208Utf8() {
    auto table = std::make_unique<Jis0208Utf8Table>();
    for (unsigned j1 = 0x21; j1 <= 0x7E; ++j1) {
        for (unsigned j2 = 0x21; j2 <= 0x7E; ++j2) {
            const auto c1 = static_cast<unsigned char>(j1);
            const auto c2 = static_cast<unsigned char>(j2);
            Utf8Bytes& entry = (*table)[Index(c1, c2)];
            entry.length = static_cast<std::uint8_t>(
                PutUtf8(entry.bytes, Jis0208Unit(c1, c2)) - entry.bytes);
        }
    }
    return table;
}

}  // namespace

const Jis0208Utf8Table& TheJis0208Utf8Table() {
    static const std::unique_ptr<Jis0208Utf8Table> table = BuildJis0208Utf8();
    return *table;
}

char16_t Jis0208Unit(unsigned char j1, unsigned char j2) {
    const auto sjis = JisPairToSjisBytes(j1, j2);
    if (const Cp932ToUnitTables* tables = TheCp932ToUnitTables()) {
        return tables->fromPair[sjis[0] << 8 | sjis[1]];
    }
    const std::u16string units =
        Cp932ToUtf16(std::string{static_cast<char>(sjis[0]), static_cast<char>(sjis[1])});
    return units.size() == 1 ? units[0] : u'\uFFFD';
}

char16_t Jis0212Unit(unsigned char j1, unsigned char j2) {
    static const std::unique_ptr<Jis0212Table> table = BuildJis0212();
    return (*table)[Index(j1, j2)];
}

}  // namespace torvane::encoding::detail
