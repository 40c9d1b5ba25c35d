#include "net/host_map.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <mutex>
#include <stdexcept>

namespace torvane::net {
namespace {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

HostMapping ParseEntry(std::string_view entry) {
    auto fail = [&] {
        throw std::invalid_argument("ホスト対応表の項目が不正です: " + std::string(entry));
    };
    const auto equals = entry.find('=');
    if (equals == std::string_view::npos) fail();
    HostMapping mapping;
    mapping.host = std::string(Trim(entry.substr(0, equals)));
    std::string_view target = Trim(entry.substr(equals + 1));
    const auto colon = target.rfind(':');
    if (colon != std::string_view::npos) {
        const std::string_view port_text = target.substr(colon + 1);
        unsigned port = 0;
        const auto [end, ec] =
            std::from_chars(port_text.data(), port_text.data() + port_text.size(), port);
        if (ec != std::errc() || end != port_text.data() + port_text.size() || port == 0 ||
            port > 65535)
            fail();
        mapping.port = static_cast<std::uint16_t>(port);
        target = target.substr(0, colon);
    }
    mapping.address = std::string(target);
    if (mapping.host.empty() || mapping.address.empty()) fail();
    return mapping;
}

struct ProcessMap {
    std::mutex mutex;
    bool loaded = false;
    std::vector<HostMapping> entries;

    // Call with the mutex held.
    void LoadEnvironmentOnce() {
        if (!loaded) LoadEnvironment();
    }
    void LoadEnvironment() {
        loaded = true;
        entries.clear();
        if (const char* text = std::getenv("TORVANE_HOST_MAP")) {
            try {
                entries = ParseHostMap(text);
            } catch (const std::invalid_argument&) {
                entries.clear();
            }
        }
    }
};

ProcessMap& TheMap() {
    static ProcessMap map;
    return map;
}

}  // namespace

std::vector<HostMapping> ParseHostMap(std::string_view text) {
    std::vector<HostMapping> entries;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const std::string_view entry = Trim(text.substr(0, comma));
        if (!entry.empty()) entries.push_back(ParseEntry(entry));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return entries;
}

std::optional<HostMapping> MappedHost(std::string_view host) {
    ProcessMap& map = TheMap();
    std::lock_guard lock(map.mutex);
    map.LoadEnvironmentOnce();
    // The last entry wins, so that a later AddHostMapping or a repeated name
    // in the text overrides an earlier one.
    for (auto it = map.entries.rbegin(); it != map.entries.rend(); ++it) {
        if (EqualsIgnoringAsciiCase(it->host, host)) return *it;
    }
    return std::nullopt;
}

void SetHostMap(std::string_view text) {
    std::vector<HostMapping> entries = ParseHostMap(text);
    ProcessMap& map = TheMap();
    std::lock_guard lock(map.mutex);
    map.loaded = true;
    map.entries = std::move(entries);
}

void AddHostMapping(HostMapping mapping) {
    ProcessMap& map = TheMap();
    std::lock_guard lock(map.mutex);
    map.LoadEnvironmentOnce();
    std::erase_if(map.entries, [&](const HostMapping& e) {
        return EqualsIgnoringAsciiCase(e.host, mapping.host);
    });
    map.entries.push_back(std::move(mapping));
}

void ClearHostMap() {
    ProcessMap& map = TheMap();
    std::lock_guard lock(map.mutex);
    map.loaded = true;
    map.entries.clear();
}

void LoadHostMapFromEnvironment() {
    ProcessMap& map = TheMap();
    std::lock_guard lock(map.mutex);
    map.LoadEnvironment();
}

}  // namespace torvane::net
