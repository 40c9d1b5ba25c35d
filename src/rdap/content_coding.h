#pragma once
// HTTP content codings of an answer's body (the Content-Encoding header):
// which coding a header names, and a decoder that turns a gzip or deflate
// body back into its bytes as the pieces arrive, never past a size cap.
//
// The RDAP client asks for identity; these exist for the servers that
// compress anyway. A compressed body is untrusted twice over: a few KiB can
// inflate to gigabytes (a "gzip bomb"), so the cap applies to the decoded
// size and decoding stops at the first byte past it, before that byte's
// room is ever allocated.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace torvane::rdap {

enum class ContentCoding {
    kIdentity,  // no header, an empty one or "identity"
    kGzip,      // "gzip" or "x-gzip" (RFC 1952); concatenated members are all decoded
    kDeflate,   // "deflate": zlib format (RFC 1950), or raw deflate (RFC 1951), as
                // some servers send it; told apart by the zlib header check
    kUnknown,   // anything else: "br", "zstd", "compress", a list of several codings
};

// The coding a Content-Encoding value names. Case and surrounding spaces do
// not matter; "identity" entries of a list are skipped ("gzip, identity" is
// gzip), but two codings applied one over the other are kUnknown.
ContentCoding ParseContentCoding(std::string_view headerValue);

// A Content-Encoding value fit to show in a status line: printable ASCII
// only (other bytes become '?'), spaces trimmed, lower-cased, at most 24
// characters ("..." after a longer value's first 24).
std::string CodingLabel(std::string_view headerValue);

enum class DecodeResult {
    kOk,        // everything so far decoded; at Finish, the body ended where a
                // stream ends (or was empty)
    kTooLarge,  // the decoded body would pass the cap (or the coded one did)
    kCorrupt,   // not data of the coding: a bad header, a bad block, a wrong
                // checksum, or bytes after the end of a deflate stream
    kCutOff,    // (Finish only) the body ended inside a compressed stream
};

// Why a body could not be decoded, as its receiver reports it.
enum class CodingFault {
    kNone,
    kUnknownCoding,  // a coding that is not decoded here (ParseContentCoding's kUnknown)
    kCorrupt,        // DecodeResult::kCorrupt
    kCutOff,         // DecodeResult::kCutOff
};

// Decodes one body. Feed it the body's pieces in order, then call Finish.
class ContentDecoder {
  public:
    // Precondition: `coding` is not kUnknown.
    ContentDecoder(ContentCoding coding, std::size_t cap);
    ~ContentDecoder();
    ContentDecoder(const ContentDecoder&) = delete;
    ContentDecoder& operator=(const ContentDecoder&) = delete;

    // Appends to `out` what `piece` decodes to. `out` must be the string given
    // to every earlier call for this body (the decoder counts its size
    // against the cap) and never holds more than `cap` bytes: at kTooLarge it
    // holds exactly `cap`, the decoded body's beginning. A coded body of more
    // than `cap` bytes is kTooLarge too, whatever it decodes to (so a stream
    // of empty blocks cannot be fed forever). Once a call returns anything
    // but kOk, every later one returns the same and appends nothing.
    // Throws nothing but std::bad_alloc.
    DecodeResult Feed(std::string_view piece, std::string& out);

    // The body is complete: kCutOff when it stopped inside a gzip member or a
    // deflate stream, else what Feed last returned (kOk for an empty body).
    DecodeResult Finish() const;

  private:
    struct Inflater;
    DecodeResult Inflate(std::string_view piece, std::string& out);

    ContentCoding coding_;
    std::size_t cap_;
    std::size_t codedSize_ = 0;
    DecodeResult result_ = DecodeResult::kOk;
    std::string head_;  // deflate: the first bytes, until the format is known
    std::unique_ptr<Inflater> inflater_;
};

// The whole of `body` through one ContentDecoder: Feed then Finish; `out`
// is replaced by what it decoded to.
DecodeResult DecodeContent(std::string_view body, ContentCoding coding, std::size_t cap,
                           std::string& out);

}  // namespace torvane::rdap
