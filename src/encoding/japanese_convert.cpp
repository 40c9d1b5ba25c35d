#include <cstring>

#include "encoding/japanese_codes.h"

namespace torvane::encoding {
namespace {

constexpr unsigned char kEsc = 0x1B;

// Both conversions write at most one output byte per input byte, and never
// more than they have read, so the output overwrites the input as it goes
// and is trimmed at the end.
class Output {
  public:
    explicit Output(std::string& text) : text_(text), end_(text_.data()) {}
    void Put(unsigned char c) { *end_++ = static_cast<char>(c); }
    void PutPair(unsigned char j1, unsigned char j2) {
        const auto pair = JisPairToSjisBytes(j1, j2);
        end_[0] = static_cast<char>(pair[0]);
        end_[1] = static_cast<char>(pair[1]);
        end_ += 2;
    }
    void PutRun(const unsigned char* from, std::size_t count) {
        if (end_ != reinterpret_cast<const char*>(from)) std::memmove(end_, from, count);
        end_ += count;
    }
    std::string Finish() {
        text_.resize(static_cast<std::size_t>(end_ - text_.data()));
        return std::move(text_);
    }

  private:
    std::string& text_;
    char* end_;
};

}  // namespace

std::string JisPairToSjis(unsigned char j1, unsigned char j2) {
    const auto pair = JisPairToSjisBytes(j1, j2);
    return std::string{static_cast<char>(pair[0]), static_cast<char>(pair[1])};
}

std::string JisToSjis(std::string text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t length = text.size();
    Output out(text);
    bool kanji = false;
    std::size_t i = 0;
    while (i < length) {
        if (bytes[i] == kEsc) {
            const unsigned char selector = i + 1 < length ? bytes[i + 1] : 0;
            if (selector == '$') kanji = true;
            if (selector == '(') kanji = false;
            // The byte after an escape sequence is taken as text even when it
            // is ESC again, so that check is skipped for it.
            i += 3;
            if (i >= length) break;
        } else if (!kanji) {
            const void* esc = std::memchr(bytes + i, kEsc, length - i);
            const std::size_t run_end =
                esc ? static_cast<std::size_t>(static_cast<const unsigned char*>(esc) - bytes)
                    : length;
            out.PutRun(bytes + i, run_end - i);
            i = run_end;
            continue;
        }
        if (kanji) {
            if (i + 1 >= length) break;  // half a character at the very end
            out.PutPair(bytes[i], bytes[i + 1]);
            i += 2;
        } else {
            out.Put(bytes[i]);
            i += 1;
        }
    }
    return out.Finish();
}

std::string EucToSjis(std::string text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t length = text.size();
    Output out(text);
    std::size_t i = 0;
    while (i < length) {
        const unsigned char c = bytes[i];
        if (c <= 0x80 || c == 0xFF) {
            out.Put(c);
            i += 1;
            continue;
        }
        if (i + 1 >= length) break;  // lead byte or 0x8E cut off by the end
        if (c == 0x8E) {
            out.Put(bytes[i + 1]);
        } else {
            out.PutPair(c & 0x7F, bytes[i + 1] & 0x7F);
        }
        i += 2;
    }
    return out.Finish();
}

std::string JapaneseToSjis(std::string text) {
    switch (DetectJapaneseCode(text)) {
        case TextCode::tcJis:
        case TextCode::tcJisOld:
            return JisToSjis(std::move(text));
        case TextCode::tcEuc:
            return EucToSjis(std::move(text));
        default:
            return text;
    }
}

}  // namespace torvane::encoding
