#pragma once
// A proxy that a connection goes through, as the user's environment or
// desktop names it. Shared by the WHOIS client (port 43) and the RDAP client.

#include <cstdint>
#include <string>

namespace torvane::net {

enum class ProxyKind {
    // SOCKS5; the client resolves the server's name and asks for the address.
    kSocks5,
    // SOCKS5; the proxy resolves the server's name (socks5h://).
    kSocks5RemoteNames,
    // An HTTP proxy asked for a tunnel with CONNECT host:port.
    kHttpConnect,
};

struct ProxyEndpoint {
    ProxyKind kind = ProxyKind::kSocks5;
    std::string host;  // a host name or an address, as written
    std::uint16_t port = 0;
    // Credentials from the proxy URL (user:password@), percent-decoded;
    // empty when none were given.
    std::string user;
    std::string password;

    // "host:port" as a status names the proxy ("[::1]:1080" for an IPv6
    // address).
    std::string Display() const {
        const bool ipv6 = host.find(':') != std::string::npos;
        return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
    }
    friend bool operator==(const ProxyEndpoint&, const ProxyEndpoint&) = default;
};

}  // namespace torvane::net
