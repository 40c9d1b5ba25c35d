#pragma once
// Where the decoders to UTF-8 write: over the text they read, as long as
// the output stays behind the reading, and from the first character that
// would overtake it on in one buffer of its own. Internal to the encoding
// module.

#include <cstddef>
#include <cstring>
#include <string>

#include "encoding/utf8_scan.h"

namespace torvane::encoding::detail {

class Utf8Sink {
  public:
    // `text` is the input, taken over. `bytesPerByte` bounds the output of
    // any input byte (3 for every decoder here: one byte may become U+FFFD).
    Utf8Sink(std::string& text, std::size_t keptPrefix, std::size_t bytesPerByte = 3)
        : text_(text), perByte_(bytesPerByte), dst_(text_.data() + keptPrefix) {}

    // Writes `code` once the input has been read up to `consumed` (an index
    // into the input, just past the bytes `code` was decoded from).
    void Put(std::size_t consumed, char32_t code) {
        if (!own_ && dst_ + 4 > text_.data() + consumed) {
            char bytes[4];
            const std::size_t n = static_cast<std::size_t>(PutUtf8(bytes, code) - bytes);
            if (dst_ + n > text_.data() + consumed) MoveOut(consumed);
            std::memcpy(dst_, bytes, n);
            dst_ += n;
            return;
        }
        dst_ = PutUtf8(dst_, code);
    }

    // Copies the input bytes [from, from + count) as they are (ASCII runs).
    void PutRun(std::size_t from, std::size_t count) {
        const char* src = text_.data() + from;
        if (!own_) {
            // Output never runs ahead of the reading here, so the run moves
            // down (or stays).
            if (dst_ != src) std::memmove(dst_, src, count);
        } else {
            std::memcpy(dst_, src, count);
        }
        dst_ += count;
    }

    std::string Finish() {
        if (!own_) {
            text_.resize(static_cast<std::size_t>(dst_ - text_.data()));
            return std::move(text_);
        }
        out_.resize(static_cast<std::size_t>(dst_ - out_.data()));
        return std::move(out_);
    }

  private:
    // The next character does not fit over the input read up to
    // `consumed`: everything written moves to a buffer large enough for it
    // and for the rest of the input at the bound per byte.
    void MoveOut(std::size_t consumed) {
        const std::size_t written = static_cast<std::size_t>(dst_ - text_.data());
        out_.resize(written + 4 + (text_.size() - consumed) * perByte_);
        std::memcpy(out_.data(), text_.data(), written);
        dst_ = out_.data() + written;
        own_ = true;
    }

    std::string& text_;
    std::string out_;
    std::size_t perByte_;
    char* dst_;
    bool own_ = false;
};

}  // namespace torvane::encoding::detail
