#include "encoding/cp932_tables.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <memory>
#include <string>

#include "encoding/code_page.h"

namespace torvane::encoding::detail {
namespace {

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kSeparator = u'\n';

bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

// iconv with "//IGNORE" drops what CP932 lacks without stopping at each
// such unit, which keeps the build under a millisecond where one call per
// missing unit would take a quarter of a second. Each unit is followed by a
// separator, so a dropped unit shows as an empty piece.
std::string ConvertIgnoringMissing(const std::u16string& units) {
    iconv_t cd = iconv_open("CP932//IGNORE", kUtf16);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out(units.size() * 2, '\0');
    char* src = const_cast<char*>(reinterpret_cast<const char*>(units.data()));
    std::size_t src_left = units.size() * 2;
    char* dst = out.data();
    std::size_t dst_left = out.size();
    while (src_left > 0) {
        if (iconv(cd, &src, &src_left, &dst, &dst_left) != static_cast<std::size_t>(-1)) break;
        if (errno != EILSEQ) {
            out.clear();
            dst_left = out.size();
            break;
        }
    }
    iconv_close(cd);
    out.resize(out.size() - dst_left);
    return out;
}

std::unique_ptr<UnitToCp932Table> BuildUnitToCp932() {
    auto table = std::make_unique<UnitToCp932Table>();
    std::u16string ascii;
    for (char16_t u = 0; u < 0x80; ++u) ascii += u;
    const std::string asciiBytes = Utf16ToCp932(ascii);
    if (asciiBytes.size() != ascii.size()) return nullptr;
    for (char16_t u = 0; u < 0x80; ++u) {
        if (static_cast<unsigned char>(asciiBytes[u]) != u) return nullptr;
        (*table)[u] = u;
    }

    std::u16string units;
    for (char32_t u = 0x80; u < 0x10000; ++u) {
        if (IsSurrogate(u)) continue;
        units += static_cast<char16_t>(u);
        units += kSeparator;
    }
    const std::string bytes = ConvertIgnoringMissing(units);
    std::size_t pos = 0;
    for (std::size_t i = 0; i < units.size(); i += 2) {
        const std::size_t end = bytes.find(static_cast<char>(kSeparator), pos);
        if (end == std::string::npos || end - pos > 2) return nullptr;
        std::uint16_t code = '?';
        if (end - pos == 1) code = static_cast<unsigned char>(bytes[pos]);
        if (end - pos == 2) {
            code = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[pos]) << 8 |
                                              static_cast<unsigned char>(bytes[pos + 1]));
            if (!IsCp932LeadByte(static_cast<unsigned char>(bytes[pos]))) return nullptr;
        }
        (*table)[units[i]] = code;
        pos = end + 1;
    }
    if (pos != bytes.size()) return nullptr;
    return table;
}

// Fills `count` entries from one conversion of `text`, which must give
// exactly one non-surrogate unit per entry.
template <typename Store>
bool FillFromText(const std::string& text, std::size_t count, Store store) {
    const std::u16string units = Cp932ToUtf16(text);
    if (units.size() != count) return false;
    for (std::size_t i = 0; i < count; ++i) {
        if (IsSurrogate(units[i])) return false;
        store(i, units[i]);
    }
    return true;
}

std::unique_ptr<Cp932ToUnitTables> BuildCp932ToUnit() {
    auto tables = std::make_unique<Cp932ToUnitTables>();
    std::string singles;
    std::string pairs;
    for (int b = 0; b < 0x100; ++b) {
        if (!IsCp932LeadByte(static_cast<unsigned char>(b))) singles += static_cast<char>(b);
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsCp932LeadByte(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!IsCp932TrailByte(static_cast<unsigned char>(trail))) continue;
            pairs += static_cast<char>(lead);
            pairs += static_cast<char>(trail);
        }
    }
    const bool singlesFit = FillFromText(singles, singles.size(), [&](std::size_t i, char16_t u) {
        tables->fromSingle[static_cast<unsigned char>(singles[i])] = u;
    });
    const bool pairsFit = FillFromText(pairs, pairs.size() / 2, [&](std::size_t i, char16_t u) {
        const auto lead = static_cast<unsigned char>(pairs[2 * i]);
        const auto trail = static_cast<unsigned char>(pairs[2 * i + 1]);
        tables->fromPair[lead << 8 | trail] = u;
    });
    if (!singlesFit || !pairsFit) return nullptr;
    for (char16_t b = 0; b < 0x80; ++b) {
        if (tables->fromSingle[b] != b) return nullptr;
    }
    return tables;
}

}  // namespace

const UnitToCp932Table* TheUnitToCp932Table() {
    static const std::unique_ptr<UnitToCp932Table> table = BuildUnitToCp932();
    return table.get();
}

const Cp932ToUnitTables* TheCp932ToUnitTables() {
    static const std::unique_ptr<Cp932ToUnitTables> tables = BuildCp932ToUnit();
    return tables.get();
}

}  // namespace torvane::encoding::detail
