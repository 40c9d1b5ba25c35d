#pragma once
// The five regional Internet registries: their WHOIS servers, how an RDAP
// service names one, and how each wants a number resource asked at port 43.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "query/number_resources.h"

namespace torvane::query {

enum class Rir { Afrinic, Apnic, Arin, Lacnic, RipeNcc };

// The registry's WHOIS server: one of the constants of well_known_servers.h.
std::string_view WhoisServerOf(Rir rir);

// The registry whose RDAP service `baseUrl` is, judged by its host alone:
// the host (after "scheme://" when there is one, before any port, path,
// query or fragment; any case) is the registry's domain (afrinic.net,
// apnic.net, arin.net, lacnic.net, ripe.net) or a name under it, as in
// "https://rdap.db.ripe.net/". Nothing for any other host.
std::optional<Rir> RirFromRdapUrl(std::string_view baseUrl);

// The port-43 query for AS number `number` at `server` (compared without
// case): "a <number>" at ARIN's server (ARIN's flag for an AS number),
// "AS<number>" at every other one (the other registries and JPNIC).
std::string AsNumberWhoisQuery(std::string_view server, std::uint32_t number);

// The port-43 query for a recognised line at `server`: AsNumberWhoisQuery
// for an AS number, the query's text for every other kind (for an IPv6
// address that is its RFC 5952 text, without prefix length or zone).
std::string WhoisQueryFor(std::string_view server, const RecognizedQuery& query);

}  // namespace torvane::query
