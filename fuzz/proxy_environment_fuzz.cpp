// Proxy variables as a user (or whoever sets a process's environment) may
// write them: the first line is read as a proxy URL, the second as a no_proxy
// list, the third as the host of a connection. Every reading must be total,
// and a proxy that is read must be one a connection can use.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "net/proxy_environment.h"

using namespace torvane::net;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view lines[3];
    for (auto& line : lines) {
        const std::size_t cut = input.find('\n');
        line = input.substr(0, cut);
        input = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);
    }
    const auto& [url, no_proxy, host] = lines;

    const ProxyUrlParse parse = ParseProxyUrl(url);
    FUZZ_CHECK(parse.endpoint.has_value() != !parse.problem.empty());
    if (parse.endpoint) {
        FUZZ_CHECK(!parse.endpoint->host.empty());
        FUZZ_CHECK(parse.endpoint->port != 0);
        FUZZ_CHECK(parse.endpoint->host.find_first_of("@/ \t\r\n") == std::string::npos);
    }
    const bool covered = NoProxyCovers(no_proxy, host, 443);
    // "*" in front of any list covers every host.
    FUZZ_CHECK(NoProxyCovers("*," + std::string(no_proxy), host, 443));
    (void)covered;

    const ProxyEnvironment environment({{"https_proxy", std::string(url)},
                                        {"all_proxy", std::string(url)},
                                        {"TORVANE_WHOIS_PROXY", std::string(url)},
                                        {"no_proxy", std::string(no_proxy)}});
    const ProxyChoice choice = environment.HttpProxyFor("https", host, 443);
    FUZZ_CHECK((choice.route == ProxyRoute::kProxy) == choice.proxy.has_value());
    if (IsLoopbackName(host)) {
        FUZZ_CHECK(choice.route == ProxyRoute::kDirect);
        FUZZ_CHECK(!environment.WhoisProxyFor(host));
    }
    if (parse.endpoint && choice.proxy) FUZZ_CHECK(*choice.proxy == *parse.endpoint);
    environment.Problems();
    return 0;
}
