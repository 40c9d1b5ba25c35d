// IANA's bootstrap files: each input parsed as every kind; a file that parses
// answers lookups (keyed on the input's own bytes) with one of its services'
// base URLs, each ending in '/'.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "rdap/bootstrap.h"

using namespace torvane::rdap;

namespace {

void CheckAnswer(const std::optional<std::string>& url, const BootstrapFile& file) {
    if (!url) return;
    FUZZ_CHECK(!url->empty() && url->back() == '/');
    FUZZ_CHECK(std::any_of(file.services.begin(), file.services.end(),
                           [&](const BootstrapFile::Service& service) { return service.baseUrl == *url; }));
}

BootstrapFile Empty(BootstrapKind kind) {
    BootstrapFile file;
    file.kind = kind;
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::uint32_t number = 0;
    Ipv6Address address{};
    std::memcpy(&number, data, std::min(size, sizeof number));
    std::memcpy(address.data(), data, std::min(size, address.size()));
    for (const BootstrapKind kind : kBootstrapKinds) {
        BootstrapFile file;
        try {
            file = ParseBootstrapFile(kind, text);
        } catch (const BootstrapError&) {
            continue;
        }
        FUZZ_CHECK(file.kind == kind);
        std::array<BootstrapFile, 4> files = {Empty(BootstrapKind::dns), Empty(BootstrapKind::ipv4),
                                              Empty(BootstrapKind::ipv6), Empty(BootstrapKind::asn)};
        files[static_cast<std::size_t>(kind)] = file;
        const Bootstrap bootstrap(files[0], files[1], files[2], files[3]);
        CheckAnswer(bootstrap.ServiceForDomain(text.substr(0, 64)), file);
        // A few names of the file itself, so lookups that hit are fuzzed as well.
        for (std::size_t i = 0; i < file.services.size() && i < 8; ++i) {
            for (const std::string& name : file.services[i].names) {
                CheckAnswer(bootstrap.ServiceForDomain("a." + name), file);
            }
        }
        CheckAnswer(bootstrap.ServiceForIpv4(number), file);
        CheckAnswer(bootstrap.ServiceForIpv6(address), file);
        CheckAnswer(bootstrap.ServiceForAutnum(number), file);
    }
    return 0;
}
