#include "app/run/resolver.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <memory>

namespace torvane::run {

namespace {
constexpr const char* kUnknownName = "Unknown";
}

std::string TSystemResolver::LookupHostAddress(const std::string& name) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (name.empty() || getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return {};
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> guard(found, freeaddrinfo);
    // Of several addresses the last one listed is shown.
    const addrinfo* last = found;
    while (last->ai_next != nullptr) last = last->ai_next;
    char text[INET_ADDRSTRLEN] = {};
    const auto* address = reinterpret_cast<const sockaddr_in*>(last->ai_addr);
    if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) == nullptr) return {};
    return text;
}

namespace {

std::string NameOf(const sockaddr* address, socklen_t size) {
    char host[NI_MAXHOST] = {};
    if (getnameinfo(address, size, host, sizeof host, nullptr, 0, NI_NAMEREQD) != 0) {
        return kUnknownName;
    }
    return host;
}

}  // namespace

std::string TSystemResolver::LookupHostName(const std::string& address) {
    sockaddr_in ipv4{};
    ipv4.sin_family = AF_INET;
    // inet_aton reads the dotted forms the classic resolver API reads
    // (a leading zero means octal), so an address means what it always meant.
    if (inet_aton(address.c_str(), &ipv4.sin_addr) != 0)
        return NameOf(reinterpret_cast<const sockaddr*>(&ipv4), sizeof ipv4);
    sockaddr_in6 ipv6{};
    ipv6.sin6_family = AF_INET6;
    if (inet_pton(AF_INET6, address.c_str(), &ipv6.sin6_addr) == 1)
        return NameOf(reinterpret_cast<const sockaddr*>(&ipv6), sizeof ipv6);
    return kUnknownName;
}

}  // namespace torvane::run
