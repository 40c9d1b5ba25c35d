#include "rdap/bootstrap.h"

#include <charconv>

#include "rdap/json_input.h"

namespace torvane::rdap {
namespace {

using nlohmann::json;

// The files nest four levels; a little room for members IANA may add.
constexpr std::size_t kMaxDepth = 16;

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && Lower(text.substr(0, prefix.size())) == prefix;
}

std::optional<std::uint32_t> ParseNumber(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<BootstrapFile::Service::Prefix> ParsePrefix(BootstrapKind kind, std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const auto length = ParseNumber(text.substr(slash + 1));
    BootstrapFile::Service::Prefix prefix;
    if (kind == BootstrapKind::ipv4) {
        const auto address = ParseIpv4(text.substr(0, slash));
        if (!address || !length || *length > 32) return std::nullopt;
        for (int i = 0; i < 4; ++i) prefix.prefix[i] = static_cast<std::uint8_t>(*address >> (24 - 8 * i));
    } else {
        const auto address = ParseIpv6(text.substr(0, slash));
        if (!address || !length || *length > 128) return std::nullopt;
        prefix.prefix = *address;
    }
    prefix.length = static_cast<int>(*length);
    return prefix;
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> ParseRange(std::string_view text) {
    const std::size_t dash = text.find('-');
    const auto first = ParseNumber(text.substr(0, dash));
    const auto last = dash == std::string_view::npos ? first : ParseNumber(text.substr(dash + 1));
    if (!first || !last || *first > *last) return std::nullopt;
    return std::pair{*first, *last};
}

std::string ChooseBaseUrl(const json& urls, const std::string& where) {
    std::string http;
    for (std::size_t i = 0; i < urls.size(); ++i) {
        if (!urls[i].is_string()) {
            throw BootstrapError(where + "[1][" + std::to_string(i) + "] is not a string");
        }
        const std::string& url = urls[i].get_ref<const std::string&>();
        if (StartsWithNoCase(url, "https://")) return url;
        if (http.empty() && StartsWithNoCase(url, "http://")) http = url;
    }
    return http;
}

void AddEntry(BootstrapKind kind, std::string_view entry, BootstrapFile::Service& service,
              const std::string& where) {
    switch (kind) {
    case BootstrapKind::dns: {
        std::string name = Lower(entry);
        if (!name.empty() && name.back() == '.') name.pop_back();
        if (name.empty()) throw BootstrapError(where + " is an empty name");
        service.names.push_back(std::move(name));
        return;
    }
    case BootstrapKind::ipv4:
    case BootstrapKind::ipv6: {
        const auto prefix = ParsePrefix(kind, entry);
        if (!prefix) throw BootstrapError(where + " is not a prefix: " + std::string(entry));
        service.prefixes.push_back(*prefix);
        return;
    }
    case BootstrapKind::asn: {
        const auto range = ParseRange(entry);
        if (!range) throw BootstrapError(where + " is not an AS range: " + std::string(entry));
        service.ranges.push_back(*range);
        return;
    }
    }
}

BootstrapFile::Service ParseService(BootstrapKind kind, const json& item, const std::string& where) {
    if (!item.is_array() || item.size() < 2 || !item[0].is_array() || !item[1].is_array()) {
        throw BootstrapError(where + " is not a pair of arrays");
    }
    BootstrapFile::Service service;
    service.baseUrl = ChooseBaseUrl(item[1], where);
    if (!service.baseUrl.empty() && service.baseUrl.back() != '/') service.baseUrl += '/';
    const json& entries = item[0];
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string entryWhere = where + "[0][" + std::to_string(i) + "]";
        if (!entries[i].is_string()) throw BootstrapError(entryWhere + " is not a string");
        AddEntry(kind, entries[i].get_ref<const std::string&>(), service, entryWhere);
    }
    return service;
}

bool PrefixHolds(const BootstrapFile::Service::Prefix& prefix, const Ipv6Address& address) {
    int bits = prefix.length;
    for (std::size_t i = 0; bits > 0; ++i, bits -= 8) {
        const unsigned mask = bits >= 8 ? 0xFFu : (0xFFu << (8 - bits)) & 0xFFu;
        if ((address[i] & mask) != (prefix.prefix[i] & mask)) return false;
    }
    return true;
}

std::optional<std::string> LongestPrefix(const BootstrapFile& file, const Ipv6Address& address) {
    const std::string* best = nullptr;
    int bestLength = -1;
    for (const auto& service : file.services) {
        if (service.baseUrl.empty()) continue;
        for (const auto& prefix : service.prefixes) {
            if (prefix.length > bestLength && PrefixHolds(prefix, address)) {
                best = &service.baseUrl;
                bestLength = prefix.length;
            }
        }
    }
    if (best == nullptr) return std::nullopt;
    return *best;
}

std::string WithSlash(std::string_view baseUrl) {
    std::string url(baseUrl);
    if (url.empty() || url.back() != '/') url += '/';
    return url;
}

bool IsUnreserved(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

}  // namespace

std::string_view BootstrapFileName(BootstrapKind kind) {
    switch (kind) {
    case BootstrapKind::dns: return "dns.json";
    case BootstrapKind::ipv4: return "ipv4.json";
    case BootstrapKind::ipv6: return "ipv6.json";
    case BootstrapKind::asn: return "asn.json";
    }
    return "";
}

std::string BootstrapSourceUrl(BootstrapKind kind) {
    return "https://data.iana.org/rdap/" + std::string(BootstrapFileName(kind));
}

BootstrapFile ParseBootstrapFile(BootstrapKind kind, std::string_view text) {
    const std::string name(BootstrapFileName(kind));
    json document;
    try {
        document = ParseLimitedJson(text, kMaxDepth);
    } catch (const JsonInputError& error) {
        throw BootstrapError(name + ": not JSON: " + error.what());
    }
    if (!document.is_object()) throw BootstrapError(name + ": not a JSON object");
    const auto publication = document.find("publication");
    if (publication == document.end() || !publication->is_string()) {
        throw BootstrapError(name + ": no \"publication\" string");
    }
    const auto services = document.find("services");
    if (services == document.end() || !services->is_array()) {
        throw BootstrapError(name + ": no \"services\" array");
    }
    BootstrapFile file;
    file.kind = kind;
    file.publication = publication->get<std::string>();
    file.services.reserve(services->size());
    for (std::size_t i = 0; i < services->size(); ++i) {
        file.services.push_back(
            ParseService(kind, (*services)[i], name + ": services[" + std::to_string(i) + "]"));
    }
    return file;
}

bool IsNewerPublication(std::string_view candidate, std::string_view current) {
    return candidate > current;
}

Bootstrap::Bootstrap(BootstrapFile dns, BootstrapFile ipv4, BootstrapFile ipv6, BootstrapFile asn)
    : files_{std::move(dns), std::move(ipv4), std::move(ipv6), std::move(asn)} {}

const BootstrapFile& Bootstrap::File(BootstrapKind kind) const {
    return files_[static_cast<std::size_t>(kind)];
}

std::optional<std::string> Bootstrap::ServiceForDomain(std::string_view name) const {
    std::string lower = Lower(name);
    if (!lower.empty() && lower.back() == '.') lower.pop_back();
    // Longest suffix first: the whole name, then without its first label, ...
    std::string_view suffix = lower;
    while (!suffix.empty()) {
        for (const auto& service : File(BootstrapKind::dns).services) {
            if (service.baseUrl.empty()) continue;
            for (const std::string& entry : service.names) {
                if (entry == suffix) return service.baseUrl;
            }
        }
        const std::size_t dot = suffix.find('.');
        if (dot == std::string_view::npos) break;
        suffix.remove_prefix(dot + 1);
    }
    return std::nullopt;
}

std::optional<std::string> Bootstrap::ServiceForIpv4(std::uint32_t address) const {
    Ipv6Address bytes{};
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(address >> (24 - 8 * i));
    return LongestPrefix(File(BootstrapKind::ipv4), bytes);
}

std::optional<std::string> Bootstrap::ServiceForIpv6(const Ipv6Address& address) const {
    return LongestPrefix(File(BootstrapKind::ipv6), address);
}

std::optional<std::string> Bootstrap::ServiceForAutnum(std::uint32_t number) const {
    for (const auto& service : File(BootstrapKind::asn).services) {
        if (service.baseUrl.empty()) continue;
        for (const auto& [first, last] : service.ranges) {
            if (number >= first && number <= last) return service.baseUrl;
        }
    }
    return std::nullopt;
}

std::string DomainQueryUrl(std::string_view baseUrl, std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = WithSlash(baseUrl) + "domain/";
    for (const char c : name) {
        if (IsUnreserved(c)) {
            url += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0xF];
        }
    }
    return url;
}

std::string Ipv4QueryUrl(std::string_view baseUrl, std::uint32_t address) {
    return WithSlash(baseUrl) + "ip/" + FormatIpv4(address);
}

std::string Ipv6QueryUrl(std::string_view baseUrl, const Ipv6Address& address) {
    return WithSlash(baseUrl) + "ip/" + FormatIpv6(address);
}

std::string AutnumQueryUrl(std::string_view baseUrl, std::uint32_t number) {
    return WithSlash(baseUrl) + "autnum/" + std::to_string(number);
}

}  // namespace torvane::rdap
