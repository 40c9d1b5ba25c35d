#pragma once
// The host map redirects WHOIS server names to other addresses and ports, so
// that tests, demonstrations and diagnostics can point the well-known servers
// at local test servers. It is consulted before every name lookup of the
// socket layer, and for every RDAP request (rdap_target.h: a host mapped to a
// loopback address is then asked over plain HTTP).
//
// Text form (also the value of the environment variable TORVANE_HOST_MAP):
// a comma-separated list of entries "host=address:port" or "host=address".
// Host names compare without regard to ASCII case. The address is a dotted
// IPv4 address or a host name (which is then looked up instead); the port,
// when given, replaces the port the connection would have used.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::net {

struct HostMapping {
    std::string host;
    std::string address;
    std::optional<std::uint16_t> port;
};

// Parses the text form. Throws std::invalid_argument naming the first entry
// that has no "=", an empty host or address, or a port outside 1..65535.
// Empty entries (",,") are skipped.
std::vector<HostMapping> ParseHostMap(std::string_view text);

// The mapping for `host` in the process-wide map, if any. The first call reads
// TORVANE_HOST_MAP unless SetHostMap came first; a malformed variable is
// ignored as a whole, so the program then asks the real servers.
std::optional<HostMapping> MappedHost(std::string_view host);

// Replaces the process-wide map (environment variable included) with `text`.
// Throws like ParseHostMap and then leaves the map unchanged.
void SetHostMap(std::string_view text);

// Adds or replaces one entry of the process-wide map.
void AddHostMapping(HostMapping mapping);

// Empties the process-wide map; the environment variable is not read again.
void ClearHostMap();

// Replaces the process-wide map with what TORVANE_HOST_MAP holds now (empty
// when it is unset or malformed).
void LoadHostMapFromEnvironment();

}  // namespace torvane::net
