// RDAP answers into report lines: every line free of control characters and
// of the WHOIS referral marker, the line cap kept, the related URL an http(s)
// one; the error code read only from a small text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "rdap/render.h"

using namespace torvane::rdap;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view json(reinterpret_cast<const char*>(data), size);
    if (RdapErrorCode(json)) FUZZ_CHECK(size <= kMaxErrorAnswerSize);
    const auto rendering = RenderRdap(json);
    if (!rendering) return 0;
    FUZZ_CHECK(rendering->lines.size() <= kMaxRenderedLines + 1);
    for (const std::string& line : rendering->lines) {
        for (const char c : line) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
        FUZZ_CHECK(line.find("Whois Server:") == std::string::npos);
    }
    if (rendering->relatedUrl) {
        std::string scheme = rendering->relatedUrl->substr(0, rendering->relatedUrl->find("://") + 3);
        for (char& c : scheme) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        FUZZ_CHECK(scheme == "https://" || scheme == "http://");
    }
    return 0;
}
