#include <cstring>

#include "encoding/ascii_scan.h"
#include "encoding/cp932_tables.h"
#include "encoding/cp932_utf8.h"
#include "encoding/jis_tables.h"
#include "encoding/to_utf8.h"
#include "encoding/utf8_sink.h"

namespace torvane::encoding {
namespace {

constexpr unsigned char kEsc = 0x1B;

bool InRange(unsigned char c, unsigned char low, unsigned char high) {
    return c >= low && c <= high;
}

bool IsJisByte(unsigned char c) { return InRange(c, 0x21, 0x7E); }
bool IsEucByte(unsigned char c) { return InRange(c, 0xA1, 0xFE); }

constexpr char32_t kHalfWidthKatakanaBase = 0xFF61;  // U+FF61 for JIS X 0201 21 (A1)

// The ISO-2022-JP character sets an escape sequence selects.
enum class JisSet { ascii, katakana, jis0208, jis0212 };

// The set the escape sequence at the start of `rest` selects and its length;
// 0 for an ESC that starts none of them.
std::size_t EscapeAt(std::string_view rest, JisSet& set) {
    const auto starts = [rest](std::string_view s) { return rest.substr(0, s.size()) == s; };
    if (starts("\x1B(B") || starts("\x1B(J")) return set = JisSet::ascii, 3;
    if (starts("\x1B(I")) return set = JisSet::katakana, 3;
    if (starts("\x1B$B") || starts("\x1B$@")) return set = JisSet::jis0208, 3;
    if (starts("\x1B$(D")) return set = JisSet::jis0212, 4;
    return 0;
}

}  // namespace

std::string SjisToUtf8(std::string text) {
    const std::size_t ascii = detail::AsciiPrefixLength(text);
    if (ascii == text.size()) return text;
    const detail::Cp932ToUnitTables* tables = detail::TheCp932ToUnitTables();
    if (tables == nullptr) return Cp932ToUtf8(text);
    detail::Utf8Sink out(text, ascii);
    const std::string_view in(text);
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    const std::size_t n = in.size();
    std::size_t i = ascii;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            const std::size_t run = detail::AsciiPrefixLength(in.substr(i));
            out.PutRun(i, run);
            i += run;
        } else if (detail::IsCp932LeadByte(c) && i + 1 < n &&
                   detail::IsCp932TrailByte(p[i + 1])) {
            i += 2;
            out.Put(i, tables->fromPair[c << 8 | p[i - 1]]);
        } else if (detail::IsCp932LeadByte(c)) {
            // A lead byte before a non-trail byte or at the end is a bad
            // piece on its own; the byte after it is read afresh.
            out.Put(++i, detail::kReplacement);
        } else {
            out.Put(++i, tables->fromSingle[c]);
        }
    }
    return out.Finish();
}

std::string EucToUtf8(std::string text) {
    const std::size_t ascii = detail::AsciiPrefixLength(text);
    if (ascii == text.size()) return text;
    const detail::Jis0208Utf8Table& jis0208 = detail::TheJis0208Utf8Table();
    detail::Utf8Sink out(text, ascii);
    const std::string_view in(text);
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    const std::size_t n = in.size();
    std::size_t i = ascii;
    while (i < n) {
        const unsigned char c = p[i];
        const unsigned char d = i + 1 < n ? p[i + 1] : 0;
        if (c < 0x80) {
            const std::size_t run = detail::AsciiPrefixLength(in.substr(i));
            out.PutRun(i, run);
            i += run;
        } else if (IsEucByte(c) && IsEucByte(d)) {
            const detail::Utf8Bytes& bytes = jis0208[detail::Jis0208Index(c & 0x7F, d & 0x7F)];
            i += 2;
            out.PutEncoded(i, reinterpret_cast<const char*>(&bytes), bytes.length);
        } else if (c == 0x8E && InRange(d, 0xA1, 0xDF)) {
            i += 2;
            out.Put(i, kHalfWidthKatakanaBase + (d - 0xA1));
        } else if (c == 0x8F && IsEucByte(d) && i + 2 < n && IsEucByte(p[i + 2])) {
            i += 3;
            out.Put(i, detail::Jis0212Unit(d & 0x7F, p[i - 1] & 0x7F));
        } else if (c == 0x8F && IsEucByte(d)) {
            // 8F and its first trail: the maximal piece that could still
            // have been a character.
            i += 2;
            out.Put(i, detail::kReplacement);
        } else if (c < 0xA0 && c != 0x8E && c != 0x8F) {
            out.Put(++i, c);  // C1 control
        } else {
            out.Put(++i, detail::kReplacement);
        }
    }
    return out.Finish();
}

std::string JisToUtf8(std::string text) {
    const detail::Jis0208Utf8Table& jis0208 = detail::TheJis0208Utf8Table();
    detail::Utf8Sink out(text, 0);
    // Each escape sequence left out gives back room that the pairs after it
    // (two bytes, three in UTF-8) take up again, so a mostly ASCII answer
    // decodes over itself with a lead of a sixteenth: in the room the
    // receiving left beyond its end, and never held twice.
    const std::string_view in = out.LeadBy(text.size() / 16 + 64);
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    const std::size_t n = in.size();
    JisSet set = JisSet::ascii;
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c == kEsc) {
            if (const std::size_t length = EscapeAt(in.substr(i), set)) {
                i += length;
                continue;
            }
        }
        if (c >= 0x80) {
            out.Put(++i, detail::kReplacement);
        } else if (c < 0x21 || c == 0x7F || set == JisSet::ascii) {
            // An ASCII run up to the next ESC or 8-bit byte, or the one
            // control or space.
            std::size_t end = i + 1;
            if (set == JisSet::ascii) end += detail::AsciiRunWithoutEscape(in, end);
            out.PutRun(i, end - i);
            i = end;
        } else if (set == JisSet::katakana) {
            ++i;
            out.Put(i, c <= 0x5F ? kHalfWidthKatakanaBase + (c - 0x21) : detail::kReplacement);
        } else if (set == JisSet::jis0208 && i + 1 < n && IsJisByte(p[i + 1])) {
            // The run of pairs up to the next control, ESC or odd byte, each
            // pair's bytes read from the table.
            do {
                const detail::Utf8Bytes& bytes = jis0208[detail::Jis0208Index(p[i], p[i + 1])];
                i += 2;
                out.PutEncoded(i, reinterpret_cast<const char*>(&bytes), bytes.length);
            } while (i + 1 < n && IsJisByte(p[i]) && IsJisByte(p[i + 1]));
        } else if (i + 1 < n && IsJisByte(p[i + 1])) {
            i += 2;
            out.Put(i, detail::Jis0212Unit(c, p[i - 1]));
        } else {
            out.Put(++i, detail::kReplacement);  // half a pair
        }
    }
    return out.Finish();
}

}  // namespace torvane::encoding
