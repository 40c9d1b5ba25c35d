#pragma once
// IANA's RDAP bootstrap registries (RFC 9224): which RDAP service answers for
// a domain name, an IPv4 or IPv6 address or an AS number.
//
// A file is JSON: {"publication": "...", "services": [[[entries...],
// [base URLs...]], ...]}. Entries are DNS labels ("com", "xn--p1ai",
// "co.uk"), CIDR prefixes ("1.0.0.0/8", "2c00::/12") or AS ranges
// ("36864-37887"). Each service's base URL is its first https URL, else its
// first http URL; a service without either answers no lookup.

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "rdap/addresses.h"

namespace torvane::rdap {

// The four registries, in the order kBootstrapKinds lists them.
enum class BootstrapKind { dns, ipv4, ipv6, asn };
inline constexpr std::array<BootstrapKind, 4> kBootstrapKinds = {
    BootstrapKind::dns, BootstrapKind::ipv4, BootstrapKind::ipv6, BootstrapKind::asn};

// "dns.json", "ipv4.json", "ipv6.json", "asn.json": the name IANA publishes
// the file under, and the name it has in the shipped and the user folder.
std::string_view BootstrapFileName(BootstrapKind kind);

// Where IANA publishes the file: "https://data.iana.org/rdap/" + file name.
std::string BootstrapSourceUrl(BootstrapKind kind);

// What ParseBootstrapFile and LoadBootstrap throw. what() names the problem
// in English ("dns.json: services[3][0][1] is not a string").
class BootstrapError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One parsed file of one kind.
struct BootstrapFile {
    struct Service {
        std::string baseUrl;
        // dns: lower-case labels without a trailing dot.
        std::vector<std::string> names;
        // ipv4: the prefix's first address and length (the first 4 bytes of
        // `prefix` hold it, in network order); ipv6: all 16 bytes.
        struct Prefix {
            Ipv6Address prefix{};
            int length = 0;
        };
        std::vector<Prefix> prefixes;
        // asn: inclusive ranges; a single number "a" is "a-a".
        std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges;
    };

    BootstrapKind kind = BootstrapKind::dns;
    // The file's "publication" member as written (RFC 3339, "2026-07-23T02:00:03Z").
    std::string publication;
    std::vector<Service> services;
};

// Parses one file of `kind`. Throws BootstrapError when the text is not JSON
// (or nests deeper than 16 levels), lacks a string "publication" or an
// array "services", or holds a service or entry of the wrong shape; an
// unparsable prefix or range is an error as well. Unknown members are ignored.
BootstrapFile ParseBootstrapFile(BootstrapKind kind, std::string_view json);

// True when `candidate`'s publication is later than `current`'s. Both are
// RFC 3339 UTC times as IANA writes them, so they compare as text.
bool IsNewerPublication(std::string_view candidate, std::string_view current);

// The four files and the lookups over them. Each lookup returns the chosen
// base URL of the best service (always ending in '/'), or nullopt when no
// service covers the query.
class Bootstrap {
  public:
    Bootstrap() = default;
    // Precondition: each file's kind is the one its position names.
    Bootstrap(BootstrapFile dns, BootstrapFile ipv4, BootstrapFile ipv6, BootstrapFile asn);

    const BootstrapFile& File(BootstrapKind kind) const;

    // `name` is an A-label domain name ("www.example.co.uk", "xn--wgv71a.xn--p1ai"),
    // in any case, with or without a trailing dot. The service whose entry
    // matches the most trailing labels wins.
    std::optional<std::string> ServiceForDomain(std::string_view name) const;
    // The longest prefix that holds the address wins.
    std::optional<std::string> ServiceForIpv4(std::uint32_t address) const;
    std::optional<std::string> ServiceForIpv6(const Ipv6Address& address) const;
    // The range that holds the number.
    std::optional<std::string> ServiceForAutnum(std::uint32_t number) const;

  private:
    std::array<BootstrapFile, 4> files_;
};

// The RFC 9082 query URLs on a base URL from the lookups above ('/' added
// when the base lacks it). The domain name is written as given, with bytes
// other than letters, digits, '-', '.', '_' and '~' percent-encoded.
std::string DomainQueryUrl(std::string_view baseUrl, std::string_view name);
std::string Ipv4QueryUrl(std::string_view baseUrl, std::uint32_t address);  // ".../ip/192.0.2.1"
std::string Ipv6QueryUrl(std::string_view baseUrl, const Ipv6Address& address);  // ".../ip/2001:db8::1"
std::string AutnumQueryUrl(std::string_view baseUrl, std::uint32_t number);  // ".../autnum/64496"

}  // namespace torvane::rdap
