#include "rdap/content_coding.h"

#include <zlib.h>

#include <algorithm>
#include <new>

namespace torvane::rdap {
namespace {

constexpr std::size_t kLabelLength = 24;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

ContentCoding NamedCoding(const std::string& name) {
    if (name == "gzip" || name == "x-gzip") return ContentCoding::kGzip;
    if (name == "deflate") return ContentCoding::kDeflate;
    return ContentCoding::kUnknown;
}

// RFC 1950's header: method 8 (deflate) with a window of at most 32 KiB, and
// the two bytes a multiple of 31. A raw deflate stream passes this by chance
// only rarely; browsers tell the two apart the same way.
bool StartsLikeZlib(unsigned char first, unsigned char second) {
    return (first & 0x0F) == 8 && (first >> 4) <= 7 && ((first << 8) | second) % 31 == 0;
}

// Appends what fits under `cap`; false when some of `data` did not.
bool AppendCapped(std::string& out, const char* data, std::size_t size, std::size_t cap) {
    const std::size_t room = cap > out.size() ? cap - out.size() : 0;
    const std::size_t taken = std::min(size, room);
    const std::size_t needed = out.size() + taken;
    if (needed > out.capacity()) {
        // Growing by doubling would reserve up to twice the cap; the cap
        // bounds the room as well as the bytes. std::string grows at least
        // twofold even on reserve, so the last step moves into a string of
        // exactly the cap.
        const std::size_t doubled = std::max(needed, out.capacity() * 2);
        if (doubled <= cap) {
            out.reserve(doubled);
        } else {
            std::string exact;
            exact.reserve(std::max(needed, cap));
            exact.append(out);
            out.swap(exact);
        }
    }
    out.append(data, taken);
    return taken == size;
}

}  // namespace

ContentCoding ParseContentCoding(std::string_view headerValue) {
    std::string named;
    int count = 0;
    while (true) {
        const std::size_t comma = headerValue.find(',');
        const std::string entry = Lower(Trim(headerValue.substr(0, comma)));
        if (!entry.empty() && entry != "identity") {
            named = entry;
            ++count;
        }
        if (comma == std::string_view::npos) break;
        headerValue.remove_prefix(comma + 1);
    }
    if (count == 0) return ContentCoding::kIdentity;
    return count == 1 ? NamedCoding(named) : ContentCoding::kUnknown;
}

std::string CodingLabel(std::string_view headerValue) {
    const std::string_view trimmed = Trim(headerValue);
    std::string label = Lower(trimmed.substr(0, kLabelLength));
    for (char& c : label) {
        if (c < 0x20 || c > 0x7E) c = '?';
    }
    if (trimmed.size() > kLabelLength) label += "...";
    return label;
}

struct ContentDecoder::Inflater {
    explicit Inflater(int windowBits) {
        const int result = inflateInit2(&stream, windowBits);
        if (result == Z_MEM_ERROR) throw std::bad_alloc();
        ready = result == Z_OK;
    }
    ~Inflater() {
        if (ready) inflateEnd(&stream);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    z_stream stream{};
    bool ready = false;
    bool ended = false;  // the last stream (gzip: member) is complete
};

ContentDecoder::ContentDecoder(ContentCoding coding, std::size_t cap) : coding_(coding), cap_(cap) {
    if (coding_ == ContentCoding::kUnknown) result_ = DecodeResult::kCorrupt;
}

ContentDecoder::~ContentDecoder() = default;

DecodeResult ContentDecoder::Feed(std::string_view piece, std::string& out) {
    if (result_ != DecodeResult::kOk || piece.empty()) return result_;
    if (coding_ == ContentCoding::kIdentity) {
        if (!AppendCapped(out, piece.data(), piece.size(), cap_)) result_ = DecodeResult::kTooLarge;
        return result_;
    }
    const bool over = piece.size() > cap_ - codedSize_;
    if (over) piece = piece.substr(0, cap_ - codedSize_);
    codedSize_ += piece.size();
    if (!inflater_ && coding_ == ContentCoding::kGzip) {
        // 16 above the window size: gzip's header and trailer, nothing else.
        inflater_ = std::make_unique<Inflater>(MAX_WBITS + 16);
    }
    if (!inflater_) {
        // deflate: the first two bytes say which of the two formats it is.
        head_.append(piece);
        if (head_.size() < 2) return result_;
        const bool zlib = StartsLikeZlib(static_cast<unsigned char>(head_[0]),
                                         static_cast<unsigned char>(head_[1]));
        inflater_ = std::make_unique<Inflater>(zlib ? MAX_WBITS : -MAX_WBITS);
        const std::string first = std::move(head_);
        head_.clear();
        result_ = inflater_->ready ? Inflate(first, out) : DecodeResult::kCorrupt;
    } else {
        result_ = inflater_->ready ? Inflate(piece, out) : DecodeResult::kCorrupt;
    }
    if (result_ == DecodeResult::kOk && over) result_ = DecodeResult::kTooLarge;
    return result_;
}

DecodeResult ContentDecoder::Inflate(std::string_view piece, std::string& out) {
    z_stream& stream = inflater_->stream;
    // avail_in is 32 bits wide: larger pieces go in slices.
    constexpr std::size_t kSlice = std::size_t{1} << 30;
    unsigned char buffer[16384];
    while (!piece.empty()) {
        const std::string_view slice = piece.substr(0, kSlice);
        piece.remove_prefix(slice.size());
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(slice.data()));
        stream.avail_in = static_cast<uInt>(slice.size());
        for (;;) {
            if (inflater_->ended) {
                if (stream.avail_in == 0) break;
                // Bytes after a stream: gzip allows another member, deflate
                // ends with its one stream.
                if (coding_ != ContentCoding::kGzip) return DecodeResult::kCorrupt;
                if (inflateReset(&stream) != Z_OK) return DecodeResult::kCorrupt;
                inflater_->ended = false;
            }
            stream.next_out = buffer;
            stream.avail_out = sizeof buffer;
            const int step = inflate(&stream, Z_NO_FLUSH);
            const std::size_t produced = sizeof buffer - stream.avail_out;
            if (!AppendCapped(out, reinterpret_cast<const char*>(buffer), produced, cap_))
                return DecodeResult::kTooLarge;
            if (step == Z_STREAM_END) {
                inflater_->ended = true;
            } else if (step == Z_BUF_ERROR) {
                break;  // no progress without more input
            } else if (step == Z_OK) {
                if (stream.avail_in == 0 && stream.avail_out != 0) break;
            } else if (step == Z_MEM_ERROR) {
                throw std::bad_alloc();
            } else {
                return DecodeResult::kCorrupt;
            }
        }
    }
    return DecodeResult::kOk;
}

DecodeResult ContentDecoder::Finish() const {
    if (result_ != DecodeResult::kOk || coding_ == ContentCoding::kIdentity) return result_;
    if (!inflater_) return head_.empty() ? DecodeResult::kOk : DecodeResult::kCutOff;
    return inflater_->ended ? DecodeResult::kOk : DecodeResult::kCutOff;
}

DecodeResult DecodeContent(std::string_view body, ContentCoding coding, std::size_t cap,
                           std::string& out) {
    out.clear();
    ContentDecoder decoder(coding, cap);
    const DecodeResult fed = decoder.Feed(body, out);
    return fed == DecodeResult::kOk ? decoder.Finish() : fed;
}

}  // namespace torvane::rdap
