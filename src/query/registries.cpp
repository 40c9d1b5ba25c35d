#include "query/registries.h"

#include "query/ascii_text.h"
#include "query/well_known_servers.h"

namespace torvane::query {
namespace {

struct RirRow {
    Rir rir;
    std::string_view whoisServer;
    std::string_view domain;
};

constexpr RirRow kRirs[] = {
    {Rir::Afrinic, kAfrinicServer, "afrinic.net"}, {Rir::Apnic, kApnicServer, "apnic.net"},
    {Rir::Arin, kArinServer, "arin.net"},          {Rir::Lacnic, kLacnicServer, "lacnic.net"},
    {Rir::RipeNcc, kRipeServer, "ripe.net"},
};

std::string_view HostOf(std::string_view url) {
    const std::size_t scheme = url.find("://");
    if (scheme != std::string_view::npos) url.remove_prefix(scheme + 3);
    return url.substr(0, url.find_first_of(":/?#"));
}

bool IsUnder(std::string_view host, std::string_view domain) {
    if (EqualsIgnoreCase(host, domain)) return true;
    return host.size() > domain.size() && host[host.size() - domain.size() - 1] == '.' &&
           EqualsIgnoreCase(host.substr(host.size() - domain.size()), domain);
}

}  // namespace

std::string_view WhoisServerOf(Rir rir) {
    for (const RirRow& row : kRirs) {
        if (row.rir == rir) return row.whoisServer;
    }
    return {};
}

std::optional<Rir> RirFromRdapUrl(std::string_view baseUrl) {
    const std::string_view host = HostOf(baseUrl);
    for (const RirRow& row : kRirs) {
        if (IsUnder(host, row.domain)) return row.rir;
    }
    return std::nullopt;
}

std::string AsNumberWhoisQuery(std::string_view server, std::uint32_t number) {
    if (EqualsIgnoreCase(server, kArinServer)) return "a " + std::to_string(number);
    return "AS" + std::to_string(number);
}

std::string WhoisQueryFor(std::string_view server, const RecognizedQuery& query) {
    if (query.kind == QueryKind::AsNumber) return AsNumberWhoisQuery(server, query.asNumber);
    return query.text;
}

}  // namespace torvane::query
