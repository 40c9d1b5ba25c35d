#pragma once
// Where the decoders to UTF-8 write: over the text they read, as long as
// the output stays behind the reading, and from the first character that
// would overtake it on in one buffer of its own. Internal to the encoding
// module.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "encoding/utf8_scan.h"

namespace torvane::encoding::detail {

class Utf8Sink {
  public:
    // `text` is the input, taken over; its first `keptPrefix` bytes are
    // already the output. Indexes passed in are into the input.
    Utf8Sink(std::string& text, std::size_t keptPrefix)
        : text_(text), in_(text_.data()), inSize_(text_.size()), dst_(text_.data() + keptPrefix) {}

    // Moves the input after the kept prefix up by as much of `lead` as the
    // text's buffer holds beyond its end without growing, so that the output
    // may run up to that far ahead of the reading before it has to move to a
    // buffer of its own. Returns the input where it now lies (the same
    // indexes; the kept prefix is not part of it any more). Call before the
    // first Put.
    std::string_view LeadBy(std::size_t lead) {
        const std::size_t keptPrefix = static_cast<std::size_t>(dst_ - text_.data());
        lead = std::min(lead, text_.capacity() - inSize_);
        if (lead == 0) return {in_, inSize_};
        text_.resize(inSize_ + lead);
        in_ = text_.data() + lead;
        dst_ = text_.data() + keptPrefix;
        std::memmove(text_.data() + lead + keptPrefix, text_.data() + keptPrefix,
                     inSize_ - keptPrefix);
        return {in_, inSize_};
    }

    // Writes `code` once the input has been read up to `consumed` (an index
    // into the input, just past the bytes `code` was decoded from).
    void Put(std::size_t consumed, char32_t code) {
        if (own_) {
            if (end_ - dst_ < 4) Grow(consumed, 4);
        } else if (dst_ + 4 > in_ + consumed) {
            char bytes[4];
            const std::size_t n = static_cast<std::size_t>(PutUtf8(bytes, code) - bytes);
            if (dst_ + n > in_ + consumed) {
                MoveOut(consumed);
                if (end_ - dst_ < 4) Grow(consumed, 4);
            }
            std::memcpy(dst_, bytes, n);
            dst_ += n;
            return;
        }
        dst_ = PutUtf8(dst_, code);
    }

    // Writes the `length` (at most 3) bytes at `bytes` of a character read
    // up to `consumed`; `bytes` has four readable bytes, all four are copied
    // where there is room, and the fourth is then written over next.
    void PutEncoded(std::size_t consumed, const char* bytes, std::size_t length) {
        if (own_ ? end_ - dst_ < 4 : dst_ + 4 > in_ + consumed) {
            if (!own_ && dst_ + length <= in_ + consumed) {
                std::memcpy(dst_, bytes, length);
                dst_ += length;
                return;
            }
            if (!own_) MoveOut(consumed);
            if (end_ - dst_ < 4) Grow(consumed, 4);
        }
        std::memcpy(dst_, bytes, 4);
        dst_ += length;
    }

    // Copies the input bytes [from, from + count) as they are (ASCII runs).
    void PutRun(std::size_t from, std::size_t count) {
        const char* src = in_ + from;
        if (!own_) {
            // Output never runs ahead of the reading here, so the run moves
            // down (or stays).
            if (dst_ != src) std::memmove(dst_, src, count);
        } else {
            if (static_cast<std::size_t>(end_ - dst_) < count) Grow(from, count);
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
    // `consumed`: everything written moves to a buffer of its own, sized for
    // the rest of the input at a sixteenth more than a byte per byte (most
    // answers are mostly ASCII) and grown when that is not enough. Sized at
    // the bound per byte it would be written over (zeroed) in full, three
    // times the input, however little of it the text fills.
    void MoveOut(std::size_t consumed) {
        const std::size_t written = static_cast<std::size_t>(dst_ - text_.data());
        const std::size_t rest = inSize_ - consumed;
        out_.resize(written + 8 + rest + rest / 16);
        std::memcpy(out_.data(), text_.data(), written);
        dst_ = out_.data() + written;
        end_ = out_.data() + out_.size();
        own_ = true;
    }

    // Room for `count` more bytes, and for the input after `consumed` at a
    // byte per byte, by growing the buffer by at least half.
    void Grow(std::size_t consumed, std::size_t count) {
        const std::size_t written = static_cast<std::size_t>(dst_ - out_.data());
        const std::size_t needed = written + count + (inSize_ - consumed) + 8;
        out_.resize(std::max(needed, out_.size() + out_.size() / 2));
        dst_ = out_.data() + written;
        end_ = out_.data() + out_.size();
    }

    std::string& text_;
    const char* in_;  // where the input lies in text_
    std::size_t inSize_;
    std::string out_;
    char* dst_;
    char* end_ = nullptr;  // of out_, once own_
    bool own_ = false;
};

}  // namespace torvane::encoding::detail
