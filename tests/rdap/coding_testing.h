#pragma once
// Compressed bodies for the tests of content decoding, made with zlib
// itself: any data in gzip, zlib or raw deflate form, and a gzip stream of
// zeros that inflates far past the answer cap without ever being held whole.

#include <zlib.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace torvane::testing {

// windowBits as deflateInit2 takes them.
inline constexpr int kGzipBits = MAX_WBITS + 16;
inline constexpr int kZlibBits = MAX_WBITS;
inline constexpr int kRawDeflateBits = -MAX_WBITS;

// `zeros` zero bytes followed by `data`, compressed at level 9.
inline std::string Compressed(std::string_view data, int windowBits, std::size_t zeros = 0) {
    z_stream stream{};
    if (deflateInit2(&stream, 9, Z_DEFLATED, windowBits, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out;
    unsigned char buffer[65536];
    const std::string block(65536, '\0');
    const auto pump = [&](const char* bytes, std::size_t size, int flush) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes));
        stream.avail_in = static_cast<uInt>(size);
        do {
            stream.next_out = buffer;
            stream.avail_out = sizeof buffer;
            deflate(&stream, flush);
            out.append(reinterpret_cast<const char*>(buffer), sizeof buffer - stream.avail_out);
        } while (stream.avail_out == 0);
    };
    for (; zeros > 0; zeros -= std::min(zeros, block.size()))
        pump(block.data(), std::min(zeros, block.size()), Z_NO_FLUSH);
    pump(data.data(), data.size(), Z_FINISH);
    deflateEnd(&stream);
    return out;
}

inline std::string Gzip(std::string_view data) { return Compressed(data, kGzipBits); }

// A gzip bomb: `size` zero bytes, about a thousandth of that compressed.
inline std::string GzipOfZeros(std::size_t size) { return Compressed({}, kGzipBits, size); }

}  // namespace torvane::testing
