// Any bytes under the media types RDAP services send: a body called RDAP
// renders, a binary or empty one holds what those kinds promise.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "rdap/body_kind.h"
#include "rdap/render.h"

using namespace torvane::rdap;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    for (const std::string_view type :
         {"application/rdap+json", "text/html; charset=utf-8", "text/plain", ""}) {
        const BodyKind kind = ClassifyBody(body, type);
        if (kind == BodyKind::kRdap) FUZZ_CHECK(RenderRdap(body).has_value());
        if (kind == BodyKind::kEmpty)
            FUZZ_CHECK(body.find_first_not_of(" \t\r\n\xEF\xBB\xBF") == std::string_view::npos);
        if (kind == BodyKind::kHtml && type.empty()) FUZZ_CHECK(body.find('<') != std::string_view::npos);
    }
    return 0;
}
