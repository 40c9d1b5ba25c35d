#pragma once
// The WHOIS servers that several modules name: the directory's rows, the run
// controller's address legs, the WHOIS client's default host and the legs'
// referral and follow-up rules all compare against these same constants.

#include <string_view>

namespace torvane::query {

// The .jp registry: answers for .jp names and names the contact handles.
inline constexpr std::string_view kJprsServer = "whois.jprs.jp";
// The Japanese address registry: contact handles and addresses in Japan.
inline constexpr std::string_view kJpnicServer = "whois.nic.ad.jp";
// The regional address registries asked together for an address.
inline constexpr std::string_view kApnicServer = "whois.apnic.net";
inline constexpr std::string_view kArinServer = "whois.arin.net";
// The European registry: the WHOIS client's default host.
inline constexpr std::string_view kRipeServer = "whois.ripe.net";
// The Latin American and Caribbean registry and the African registry: asked
// for the IPv6 addresses and AS numbers the RDAP bootstrap gives them.
inline constexpr std::string_view kLacnicServer = "whois.lacnic.net";
inline constexpr std::string_view kAfrinicServer = "whois.afrinic.net";
// The registry of the .com/.net registrars and of .arpa.
inline constexpr std::string_view kInternicServer = "whois.internic.net";
// The root zone's own server (.int).
inline constexpr std::string_view kIanaServer = "whois.iana.org";

}  // namespace torvane::query
