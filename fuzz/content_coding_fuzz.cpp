// Bodies in every content coding: the decoded size never passes the cap,
// decoding in two pieces gives what decoding whole gives, an identity body
// comes back unchanged, and a result other than kOk sticks.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "rdap/content_coding.h"

using namespace torvane::rdap;

namespace {

// Small enough that inputs reach it: a few KiB of deflate inflate past it.
constexpr std::size_t kCap = 1 << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    for (const ContentCoding coding :
         {ContentCoding::kGzip, ContentCoding::kDeflate, ContentCoding::kIdentity}) {
        std::string whole;
        const DecodeResult result = DecodeContent(body, coding, kCap, whole);
        FUZZ_CHECK(whole.size() <= kCap);
        FUZZ_CHECK(result != DecodeResult::kTooLarge || whole.size() == kCap ||
                   body.size() > kCap);
        if (coding == ContentCoding::kIdentity) FUZZ_CHECK(result == DecodeResult::kOk && whole == body);

        ContentDecoder decoder(coding, kCap);
        std::string pieces;
        const std::size_t split = size / 3;
        DecodeResult fed = decoder.Feed(body.substr(0, split), pieces);
        if (fed == DecodeResult::kOk) fed = decoder.Feed(body.substr(split), pieces);
        const DecodeResult finished = decoder.Finish();
        FUZZ_CHECK(fed == DecodeResult::kOk || finished == fed);
        FUZZ_CHECK(finished == result);
        FUZZ_CHECK(pieces == whole);
        FUZZ_CHECK(decoder.Feed("x", pieces) == fed || fed == DecodeResult::kOk);
    }
    return 0;
}
