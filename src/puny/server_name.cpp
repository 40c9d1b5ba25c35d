#include "puny/server_name.h"

#include <algorithm>

#include "encoding/code_page.h"
#include "encoding/cp932_utf8.h"
#include "query/well_known_servers.h"

namespace torvane::puny {
namespace {

bool SameHost(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

NameReader ReaderOf(std::string_view host) {
    return SameHost(host, query::kJprsServer) || SameHost(host, query::kJpnicServer)
               ? NameReader::kCp932
               : NameReader::kAsciiCompatible;
}

std::optional<std::string> Cp932Form(std::string_view unicode) {
    std::string cp932 = encoding::Utf16ToCp932(encoding::Utf8ToUtf16(unicode));
    // A character CP932 lacks became "?", and a few map one way only (to
    // another character): either way the bytes no longer read as the name.
    if (encoding::Cp932ToUtf8(cp932) != unicode) return std::nullopt;
    return cp932;
}

std::string NameForServer(const TypedName& name, NameReader reader) {
    if (reader == NameReader::kCp932) {
        if (std::optional<std::string> cp932 = Cp932Form(name.unicode)) return *std::move(cp932);
    }
    return name.ascii;
}

ReportNames ReportNamesOf(const TypedName& name) {
    ReportNames names{name.unicode, std::nullopt};
    if (name.ascii != name.unicode) names.puny = name.ascii;
    return names;
}

}  // namespace torvane::puny
