#include "rdap/addresses.h"

#include <cstdio>
#include <vector>

namespace torvane::rdap {
namespace {

std::optional<unsigned> HexGroup(std::string_view text) {
    if (text.empty() || text.size() > 4) return std::nullopt;
    unsigned value = 0;
    for (const char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        value = value * 16 + digit;
    }
    return value;
}

// The 16-bit groups of one side of "::"; an IPv4 tail counts as two groups
// and is allowed only where `ipv4Tail` says so.
std::optional<std::vector<unsigned>> Groups(std::string_view text, bool ipv4Tail) {
    std::vector<unsigned> groups;
    if (text.empty()) return groups;
    std::size_t start = 0;
    while (true) {
        const std::size_t colon = text.find(':', start);
        const std::string_view part = text.substr(start, colon - start);
        if (colon == std::string_view::npos && ipv4Tail && part.find('.') != std::string_view::npos) {
            const auto v4 = ParseIpv4(part);
            if (!v4) return std::nullopt;
            groups.push_back(*v4 >> 16);
            groups.push_back(*v4 & 0xFFFF);
            return groups;
        }
        const auto group = HexGroup(part);
        if (!group || groups.size() >= 8) return std::nullopt;
        groups.push_back(*group);
        if (colon == std::string_view::npos) return groups;
        start = colon + 1;
    }
}

}  // namespace

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
    const std::size_t gap = text.find("::");
    std::vector<unsigned> groups;
    if (gap == std::string_view::npos) {
        auto all = Groups(text, true);
        if (!all || all->size() != 8) return std::nullopt;
        groups = std::move(*all);
    } else {
        const std::string_view left = text.substr(0, gap);
        const std::string_view right = text.substr(gap + 2);
        if (right.find("::") != std::string_view::npos) return std::nullopt;
        auto head = Groups(left, false);
        auto tail = Groups(right, true);
        if (!head || !tail || head->size() + tail->size() > 7) return std::nullopt;
        groups = std::move(*head);
        groups.resize(8 - tail->size(), 0);
        groups.insert(groups.end(), tail->begin(), tail->end());
    }
    Ipv6Address address{};
    for (std::size_t i = 0; i < 8; ++i) {
        address[2 * i] = static_cast<std::uint8_t>(groups[i] >> 8);
        address[2 * i + 1] = static_cast<std::uint8_t>(groups[i] & 0xFF);
    }
    return address;
}

std::string FormatIpv4(std::uint32_t address) {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::string FormatIpv6(const Ipv6Address& address) {
    unsigned groups[8];
    for (int i = 0; i < 8; ++i) groups[i] = (address[2 * i] << 8) | address[2 * i + 1];
    int bestStart = -1;
    int bestLength = 1;
    for (int i = 0; i < 8;) {
        int j = i;
        while (j < 8 && groups[j] == 0) ++j;
        if (j - i > bestLength) {
            bestStart = i;
            bestLength = j - i;
        }
        i = j == i ? i + 1 : j;
    }
    std::string text;
    char buffer[8];
    for (int i = 0; i < 8; ++i) {
        if (i == bestStart) {
            text += "::";
            i += bestLength - 1;
            continue;
        }
        if (!text.empty() && text.back() != ':') text += ':';
        std::snprintf(buffer, sizeof buffer, "%x", groups[i]);
        text += buffer;
    }
    return text;
}

}  // namespace torvane::rdap
