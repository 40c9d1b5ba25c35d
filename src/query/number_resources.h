#pragma once
// Telling the number resources (IPv4 and IPv6 addresses, AS numbers) apart
// from names in a typed line, and the form in which each is queried.
//
// Texts are UTF-8; every accepted form is ASCII, so a text with
// a non-ASCII character is always a name.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace torvane::query {

// An IPv6 address as typed, reduced to what is queried.
struct Ipv6Address {
    std::array<std::uint8_t, 16> bytes{};  // network order
    // The text to query: the RFC 5952 form (lower-case hex, no leading zeros,
    // the longest run of two or more zero groups, the first of equal runs,
    // written "::"; an IPv4-mapped address ::ffff:a.b.c.d keeps its dotted
    // tail). No prefix length, no zone.
    std::string text;
    std::optional<int> prefixLength;  // 0-128, when "/n" was typed
};

// Parses one IPv6 address in an RFC 4291 text form: eight groups of 1-4 hex
// digits (either case), or fewer with one "::" standing for one or more zero
// groups; the last 32 bits may be a dotted quad (four values 0-255 of 1-3
// digits). Around that, in this order, the text may have: brackets "[...]",
// a zone "%name" inside them or after the address (1-32 bytes of
// letters, digits and "-._~", dropped; "%25name" as in a URL counts as
// "%name"), and a prefix length "/n" (n 0-128, 1-3 digits) after the address
// or after the closing bracket. No spaces anywhere; the text must be used
// whole. Returns nothing for anything else.
std::optional<Ipv6Address> ParseIpv6Address(std::string_view text);

// One IPv6 address in an RFC 4291 text form alone (no brackets, zone or
// prefix length), as 16 bytes in network order.
std::optional<std::array<std::uint8_t, 16>> ParseBareIpv6(std::string_view text);

// The RFC 5952 text of an address (Ipv6Address::text's form).
std::string FormatIpv6(const std::array<std::uint8_t, 16>& bytes);

// The display form of a parsed address: its text, then "/n" when a prefix
// length was typed.
std::string Ipv6DisplayText(const Ipv6Address& address);

// Parses an AS number: "AS" in any case of the two letters, then either 1-10
// digits with a value up to 4294967295, or the asdot form "AS<high>.<low>"
// (each 1-5 digits, value up to 65535) meaning high * 65536 + low. The text
// must be used whole (no spaces). A plain number is not an AS number.
std::optional<std::uint32_t> ParseAsNumber(std::string_view text);

// The kinds of query a typed line can be.
enum class QueryKind { Name, IPv4, IPv6, AsNumber };

// The kind of a cleaned line (RecognizedQuery::text, or CleanQueryText's
// result): IPv4 when IsIPAddress holds (that test decides first, as in the
// classic runs), else IPv6 when ParseIpv6Address accepts it, else AsNumber
// when ParseAsNumber does, else Name.
QueryKind ClassifyQuery(std::string_view cleaned);

// A typed line with its kind and the text to work with.
struct RecognizedQuery {
    QueryKind kind = QueryKind::Name;
    // Name and IPv4: CleanQueryText(typed), byte for byte. IPv6: the
    // address's query text. AS number: "AS" and the number in decimal.
    std::string text;
    std::optional<Ipv6Address> ipv6;  // set exactly when kind is IPv6
    std::uint32_t asNumber = 0;       // the number when kind is AsNumber
};

// Recognises a typed line. IPv4 when CleanQueryText(typed) passes
// IsIPAddress. Else IPv6 when the trimmed line as a whole is an address
// ("2001:200::/23", "[fe80::1%eth0]"), or, for a line with "://" or '@',
// when CleanQueryText's result is one or is a bracketed one with a port
// ("https://[2001:db8::1]:8443/x" -> "[2001:db8::1]:8443"). Else AsNumber
// or Name by ParseAsNumber on CleanQueryText's result. Lines that are not
// IPv6 or AS numbers keep CleanQueryText's result as their text, so the
// classic run sees the same text as before.
RecognizedQuery RecognizeQuery(std::string_view typed);

}  // namespace torvane::query
