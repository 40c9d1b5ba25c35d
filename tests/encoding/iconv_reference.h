#pragma once
// glibc iconv used directly, as an independent reference for the tests:
// converts all of `input` or reports failure, without any replacement.

#include <iconv.h>

#include <optional>
#include <string>
#include <string_view>

namespace torvane::encoding::testing {

inline std::optional<std::string> IconvExact(const char* from, const char* to,
                                             std::string_view input) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(input.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(input.data());
    std::size_t src_left = input.size();
    char* dst = out.data();
    std::size_t dst_left = out.size();
    const std::size_t result = iconv(cd, &src, &src_left, &dst, &dst_left);
    const std::size_t flushed = iconv(cd, nullptr, nullptr, &dst, &dst_left);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1) || flushed == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    out.resize(out.size() - dst_left);
    return out;
}

}  // namespace torvane::encoding::testing
