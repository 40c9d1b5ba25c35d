#pragma once
// Textual IP addresses as the bootstrap files and the query URLs write them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace torvane::rdap {

// An IPv6 address in network byte order.
using Ipv6Address = std::array<std::uint8_t, 16>;

// Dotted-decimal "a.b.c.d" (four parts, each 0-255, decimal digits only, at
// most three of them) as a host-order number; nullopt for anything else.
std::optional<std::uint32_t> ParseIpv4(std::string_view text);

// RFC 4291 text: eight groups of 1-4 hex digits, one "::" for a run of zero
// groups, an embedded dotted-decimal IPv4 tail. No zone ("%eth0"), no
// brackets, no prefix length; nullopt for anything else.
std::optional<Ipv6Address> ParseIpv6(std::string_view text);

// "192.0.2.1".
std::string FormatIpv4(std::uint32_t address);

// RFC 5952 text: lower-case hex, leading zeros dropped, the longest run of
// two or more zero groups (the first of equal runs) written "::".
std::string FormatIpv6(const Ipv6Address& address);

}  // namespace torvane::rdap
