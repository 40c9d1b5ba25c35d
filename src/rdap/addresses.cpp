#include "rdap/addresses.h"

#include "query/number_resources.h"

namespace torvane::rdap {

std::optional<std::uint32_t> ParseIpv4(std::string_view text) {
    std::uint32_t address = 0;
    int parts = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = text.find('.', start);
        const std::string_view part = text.substr(start, dot - start);
        if (part.empty() || part.size() > 3 || ++parts > 4) return std::nullopt;
        unsigned value = 0;
        for (const char c : part) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        if (value > 255) return std::nullopt;
        address = (address << 8) | value;
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    if (parts != 4) return std::nullopt;
    return address;
}

std::optional<Ipv6Address> ParseIpv6(std::string_view text) {
    return query::ParseBareIpv6(text);
}

std::string FormatIpv4(std::uint32_t address) {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::string FormatIpv6(const Ipv6Address& address) { return query::FormatIpv6(address); }

}  // namespace torvane::rdap
