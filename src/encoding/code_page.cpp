#include "encoding/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace torvane::encoding {
namespace {

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// One iconv descriptor per direction and thread, opened on first use; iconv
// descriptors are not safe to share between threads.
class Converter {
  public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("文字コード変換を準備できません (") + from +
                                     " -> " + to + ").");
        }
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    iconv_t Fresh() {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        return handle_;
    }

  private:
    iconv_t handle_;
};

// Bytes that a bad piece at the start of `rest` takes; at least 1.
using BadPieceLength = std::size_t (*)(std::string_view rest);

// Runs iconv over all of `in`. Wherever it stops on a bad or cut-off piece,
// appends `replacement`, steps over the piece and goes on.
std::string Convert(iconv_t cd, std::string_view in, std::size_t size_guess,
                    std::string_view replacement, BadPieceLength bad_piece_length) {
    std::string out(size_guess + replacement.size() + 16, '\0');
    std::size_t used = 0;
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    while (src_left > 0) {
        char* dst = out.data() + used;
        std::size_t dst_left = out.size() - used;
        const std::size_t result = iconv(cd, &src, &src_left, &dst, &dst_left);
        used = static_cast<std::size_t>(dst - out.data());
        if (result != static_cast<std::size_t>(-1)) break;
        const int error = errno;
        if (error == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        if (error != EILSEQ && error != EINVAL) {
            throw std::runtime_error("文字コード変換に失敗しました.");
        }
        if (out.size() - used < replacement.size()) out.resize(out.size() * 2);
        std::memcpy(out.data() + used, replacement.data(), replacement.size());
        used += replacement.size();
        const std::size_t skip = std::min(src_left, bad_piece_length({src, src_left}));
        src += skip;
        src_left -= skip;
    }
    out.resize(used);
    return out;
}

std::u16string BytesToUnits(const std::string& bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    std::memcpy(units.data(), bytes.data(), units.size() * 2);
    return units;
}

std::string_view UnitsAsBytes(std::u16string_view units) {
    return {reinterpret_cast<const char*>(units.data()), units.size() * 2};
}

std::string_view ReplacementCharacterUnit() {
    static const char16_t kUnit = u'\uFFFD';
    return {reinterpret_cast<const char*>(&kUnit), 2};
}

bool InRange(unsigned char c, unsigned char low, unsigned char high) {
    return c >= low && c <= high;
}

// The maximal subpart of a well-formed UTF-8 sequence: the lead byte and the
// trail bytes that could still continue it.
std::size_t Utf8BadPieceLength(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    int trails = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (InRange(lead, 0xC2, 0xDF)) {
        trails = 1;
    } else if (lead == 0xE0) {
        trails = 2, low = 0xA0;  // no overlong forms
    } else if (lead == 0xED) {
        trails = 2, high = 0x9F;  // no surrogates
    } else if (InRange(lead, 0xE1, 0xEF)) {
        trails = 2;
    } else if (lead == 0xF0) {
        trails = 3, low = 0x90;
    } else if (lead == 0xF4) {
        trails = 3, high = 0x8F;  // nothing above U+10FFFF
    } else if (InRange(lead, 0xF1, 0xF3)) {
        trails = 3;
    }
    std::size_t length = 1;
    for (int k = 0; k < trails && length < rest.size(); ++k) {
        const auto trail = static_cast<unsigned char>(rest[length]);
        if (!InRange(trail, low, high)) break;
        ++length;
        low = 0x80;
        high = 0xBF;
    }
    return length;
}

char16_t UnitAt(std::string_view bytes, std::size_t index) {
    char16_t unit;
    std::memcpy(&unit, bytes.data() + index * 2, 2);
    return unit;
}

// A surrogate pair is one character; anything else one unit.
std::size_t Utf16BadPieceLength(std::string_view rest) {
    if (rest.size() < 2) return rest.size();
    const char16_t first = UnitAt(rest, 0);
    if (first >= 0xD800 && first <= 0xDBFF && rest.size() >= 4) {
        const char16_t second = UnitAt(rest, 1);
        if (second >= 0xDC00 && second <= 0xDFFF) return 4;
    }
    return 2;
}

bool IsCp932Lead(unsigned char c) { return InRange(c, 0x81, 0x9F) || InRange(c, 0xE0, 0xFC); }
bool IsCp932Trail(unsigned char c) { return InRange(c, 0x40, 0x7E) || InRange(c, 0x80, 0xFC); }

std::size_t Cp932BadPieceLength(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    if (IsCp932Lead(lead) && rest.size() >= 2 &&
        IsCp932Trail(static_cast<unsigned char>(rest[1]))) {
        return 2;
    }
    return 1;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    thread_local Converter converter(kUtf16, "UTF-8");
    return BytesToUnits(Convert(converter.Fresh(), utf8, utf8.size() * 2,
                                ReplacementCharacterUnit(), Utf8BadPieceLength));
}

std::string Utf16ToCp932(std::u16string_view utf16) {
    thread_local Converter converter("CP932", kUtf16);
    return Convert(converter.Fresh(), UnitsAsBytes(utf16), utf16.size() * 2, "?",
                   Utf16BadPieceLength);
}

std::u16string Cp932ToUtf16(std::string_view cp932) {
    thread_local Converter converter(kUtf16, "CP932");
    return BytesToUnits(Convert(converter.Fresh(), cp932, cp932.size() * 2,
                                ReplacementCharacterUnit(), Cp932BadPieceLength));
}

}  // namespace torvane::encoding
