#include <cstddef>

#include "encoding/japanese_codes.h"

namespace torvane::encoding {
namespace {

// Positions count from 1 as in the detection rules; a read just past the end
// yields 0, as if every text were followed by a zero byte.
class Bytes {
  public:
    explicit Bytes(std::string_view text) : text_(text) {}
    std::ptrdiff_t size() const { return static_cast<std::ptrdiff_t>(text_.size()); }
    unsigned char at(std::ptrdiff_t position) const {
        if (position < 1 || position > size()) return 0;
        return static_cast<unsigned char>(text_[static_cast<std::size_t>(position - 1)]);
    }

  private:
    std::string_view text_;
};

bool InRange(unsigned char c, unsigned char low, unsigned char high) {
    return c >= low && c <= high;
}

bool IsNonTextByte(unsigned char c) { return c <= 0x07 || c == 0xFF; }

bool HasNonTextByteInWindow(const Bytes& bytes) {
    for (std::ptrdiff_t i = 1; i <= ScanLimit && i < bytes.size(); ++i) {
        if (IsNonTextByte(bytes.at(i))) return true;
    }
    return false;
}

// After a pair that both codes allow with a second byte E0-EF, the run of
// bytes >= 0x40 that follows may still tell the two apart. Leaves i on the
// byte that ended the run.
TextCode LookAhead(const Bytes& bytes, std::ptrdiff_t& i) {
    TextCode result = TextCode::tcEucOrSjis;
    ++i;
    while (i <= bytes.size() && bytes.at(i) >= 0x40 && result == TextCode::tcEucOrSjis) {
        const unsigned char c = bytes.at(i);
        if (InRange(c, 0x81, 0x8D) || InRange(c, 0x8F, 0x9C)) {
            result = TextCode::tcSjis;
        } else if (c == 0xFD || c == 0xFE) {
            result = TextCode::tcEuc;
        }
        if (result == TextCode::tcEucOrSjis) ++i;
    }
    return result;
}

// Applies the first matching rule to the byte at i; returns the new verdict,
// or `current` when the byte changes nothing. Advances i over looked-at bytes.
TextCode JudgeByte(const Bytes& bytes, std::ptrdiff_t& i, TextCode current) {
    const unsigned char c = bytes.at(i);
    if (c == 0x1B) {
        if (bytes.at(++i) != '$') return current;
        const unsigned char designator = bytes.at(++i);
        if (designator == 'B') return TextCode::tcJis;
        if (designator == '@') return TextCode::tcJisOld;
        return current;
    }
    if (IsNonTextByte(c)) return TextCode::tcNonText;
    if (c <= 0x7F) return current;
    if (InRange(c, 0x81, 0x8D) || InRange(c, 0x8F, 0x9F)) return TextCode::tcSjis;
    if (c == 0x8E) {
        const unsigned char d = bytes.at(++i);
        if (InRange(d, 0x40, 0x7E) || InRange(d, 0x80, 0xA0) || InRange(d, 0xE0, 0xFC)) {
            return TextCode::tcSjis;
        }
        if (InRange(d, 0xA1, 0xDF)) return TextCode::tcEucOrSjis;
        return current;
    }
    if (InRange(c, 0xA1, 0xDF)) {
        const unsigned char d = bytes.at(++i);
        if (InRange(d, 0xF0, 0xFE)) return TextCode::tcEuc;
        if (InRange(d, 0xA1, 0xDF)) return TextCode::tcEucOrSjis;
        if (InRange(d, 0xE0, 0xEF)) return LookAhead(bytes, i);
        if (d == 0xA0 || d == 0xFF) return current;
        return TextCode::tcSjis;
    }
    if (InRange(c, 0xF0, 0xFE)) return TextCode::tcEuc;
    if (InRange(c, 0xE0, 0xEF)) {
        const unsigned char d = bytes.at(++i);
        if (InRange(d, 0x40, 0x7E) || InRange(d, 0x80, 0xA0)) return TextCode::tcSjis;
        if (d == 0xFD || d == 0xFE) return TextCode::tcEuc;
        if (InRange(d, 0xA1, 0xFC)) return TextCode::tcEucOrSjis;
        return current;
    }
    return current;  // 0x80 and 0xA0
}

}  // namespace

TextCode DetectJapaneseCode(std::string_view text) {
    const Bytes bytes(text);
    if (HasNonTextByteInWindow(bytes)) return TextCode::tcNonText;

    TextCode result = TextCode::tcAscii;
    std::ptrdiff_t i = 1;
    while ((result == TextCode::tcAscii || result == TextCode::tcEucOrSjis) && i < bytes.size()) {
        result = JudgeByte(bytes, i, result);
        ++i;
    }
    return result;
}

}  // namespace torvane::encoding
