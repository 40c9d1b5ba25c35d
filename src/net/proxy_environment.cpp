#include "net/proxy_environment.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "net/host_map.h"

namespace torvane::net {
namespace {

// A value longer than this is not a proxy URL anyone wrote by hand; it is
// refused before any parsing, and so is a no_proxy list past kMaxListSize.
constexpr std::size_t kMaxUrlSize = 4096;
constexpr std::size_t kMaxListSize = 65536;
constexpr std::size_t kMaxHostSize = 253;

constexpr std::array<const char*, 9> kVariableNames{
    "https_proxy", "HTTPS_PROXY", "http_proxy", "HTTP_PROXY",         "all_proxy",
    "ALL_PROXY",   "no_proxy",    "NO_PROXY",   "TORVANE_WHOIS_PROXY"};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

std::string LowerCopy(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::optional<std::uint16_t> ParsePort(std::string_view text) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value == 0 ||
        value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

// A host as a comparison sees it: without IPv6 brackets and a trailing dot,
// in lowercase.
std::string NormalHost(std::string_view host) {
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    if (!host.empty() && host.back() == '.') host.remove_suffix(1);
    return LowerCopy(host);
}

// An IPv4 (4 bytes) or IPv6 (16 bytes) address in network order.
struct Address {
    std::array<unsigned char, 16> bytes{};
    int size = 0;
};

std::optional<Address> ParseAddress(const std::string& text) {
    Address address;
    if (::inet_pton(AF_INET, text.c_str(), address.bytes.data()) == 1) {
        address.size = 4;
        return address;
    }
    if (::inet_pton(AF_INET6, text.c_str(), address.bytes.data()) == 1) {
        address.size = 16;
        return address;
    }
    return std::nullopt;
}

bool PrefixMatches(const Address& a, const Address& b, int bits) {
    if (a.size != b.size) return false;
    const int whole = bits / 8;
    if (!std::equal(a.bytes.begin(), a.bytes.begin() + whole, b.bytes.begin())) return false;
    const int rest = bits % 8;
    if (rest == 0) return true;
    const unsigned mask = (0xFFu << (8 - rest)) & 0xFFu;
    return (a.bytes[whole] & mask) == (b.bytes[whole] & mask);
}

bool ValidHostName(std::string_view host) {
    if (host.empty() || host.size() > kMaxHostSize) return false;
    return std::all_of(host.begin(), host.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '.' || c == '_';
    });
}

std::optional<std::string> PercentDecode(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        unsigned value = 0;
        if (text.size() - i < 3) return std::nullopt;
        const auto [end, ec] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
        if (ec != std::errc() || end != text.data() + i + 3) return std::nullopt;
        out += static_cast<char>(value);
        i += 2;
    }
    return out;
}

// The parts of a proxy URL, whatever its scheme, so that an unsupported one
// can still be recognised in a desktop answer. `port` is 0 when none was
// written.
struct UrlParts {
    std::string scheme;
    ProxyEndpoint endpoint;
    std::string problem;
};

UrlParts SplitProxyUrl(std::string_view text) {
    UrlParts parts;
    auto fail = [&](std::string why) {
        parts.problem = std::move(why);
        return parts;
    };
    text = Trim(text);
    if (text.size() > kMaxUrlSize) return fail("longer than " + std::to_string(kMaxUrlSize));
    if (text.empty()) return fail("empty");
    if (std::any_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F; }))
        return fail("holds a blank or a control character");

    std::string_view rest = text;
    if (const auto marker = rest.find("://"); marker != std::string_view::npos) {
        parts.scheme = LowerCopy(rest.substr(0, marker));
        rest.remove_prefix(marker + 3);
    } else {
        parts.scheme = "http";
    }
    const std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));

    std::string_view hostport = authority;
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        const std::string_view userinfo = authority.substr(0, at);
        hostport = authority.substr(at + 1);
        const auto colon = userinfo.find(':');
        const auto user = PercentDecode(userinfo.substr(0, colon));
        const auto password = colon == std::string_view::npos
                                  ? std::optional<std::string>("")
                                  : PercentDecode(userinfo.substr(colon + 1));
        if (!user || !password) return fail("a bad percent escape in the credentials");
        parts.endpoint.user = *user;
        parts.endpoint.password = *password;
    }

    std::string_view port_text;
    bool has_port = false;
    if (!hostport.empty() && hostport.front() == '[') {
        const auto close = hostport.find(']');
        if (close == std::string_view::npos) return fail("an IPv6 address without its ']'");
        parts.endpoint.host = std::string(hostport.substr(1, close - 1));
        const std::string_view after = hostport.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') return fail("text after the IPv6 address");
            port_text = after.substr(1);
            has_port = true;
        }
        const auto address = ParseAddress(parts.endpoint.host);
        if (!address || address->size != 16) return fail("not an IPv6 address in brackets");
    } else {
        const auto colon = hostport.find(':');
        if (colon != std::string_view::npos &&
            hostport.find(':', colon + 1) != std::string_view::npos)
            return fail("an IPv6 address must be written in brackets");
        parts.endpoint.host = std::string(hostport.substr(0, colon));
        if (colon != std::string_view::npos) {
            port_text = hostport.substr(colon + 1);
            has_port = true;
        }
        if (!ValidHostName(parts.endpoint.host)) return fail("no valid proxy host");
    }
    if (has_port) {
        const auto port = ParsePort(port_text);
        if (!port) return fail("the port is not a number from 1 to 65535");
        parts.endpoint.port = *port;
    }
    return parts;
}

bool IsAllowedNoProxyName(std::string_view name) {
    return !name.empty() && name.find_first_of("/:[]") == std::string_view::npos;
}

// One no_proxy entry against a normalised host (and its address when it is
// one). Malformed entries match nothing.
bool EntryCovers(std::string_view entry, const std::string& host,
                 const std::optional<Address>& host_address, std::uint16_t port) {
    if (entry.empty()) return false;
    if (entry == "*") return true;
    std::string_view subject = entry;
    std::optional<std::uint16_t> entry_port;
    if (subject.front() == '[') {
        const auto close = subject.find(']');
        if (close == std::string_view::npos) return false;
        std::string_view after = subject.substr(close + 1);
        std::string_view bits;
        if (!after.empty() && after.front() == '/') {
            const auto colon = after.find(':');
            bits = after.substr(0, colon);
            after = colon == std::string_view::npos ? std::string_view() : after.substr(colon);
        }
        if (!after.empty()) {
            if (after.front() != ':') return false;
            entry_port = ParsePort(after.substr(1));
            if (!entry_port) return false;
        }
        if (entry_port && *entry_port != port) return false;
        // The address (and range) without brackets and port, as an entry.
        const std::string inner = std::string(subject.substr(1, close - 1)) + std::string(bits);
        return !inner.empty() && inner.front() != '[' &&
               EntryCovers(inner, host, host_address, port);
    }
    const auto first_colon = subject.find(':');
    const bool ipv6_form = first_colon != std::string_view::npos &&
                           subject.find(':', first_colon + 1) != std::string_view::npos;
    if (!ipv6_form && first_colon != std::string_view::npos) {
        entry_port = ParsePort(subject.substr(first_colon + 1));
        if (!entry_port) return false;
        subject = subject.substr(0, first_colon);
    }
    if (entry_port && *entry_port != port) return false;

    if (const auto slash = subject.find('/'); slash != std::string_view::npos) {
        const auto network = ParseAddress(std::string(subject.substr(0, slash)));
        unsigned bits = 0;
        const std::string_view bits_text = subject.substr(slash + 1);
        const auto [end, ec] =
            std::from_chars(bits_text.data(), bits_text.data() + bits_text.size(), bits);
        if (!network || bits_text.empty() || ec != std::errc() ||
            end != bits_text.data() + bits_text.size() ||
            bits > static_cast<unsigned>(network->size * 8))
            return false;
        return host_address && PrefixMatches(*network, *host_address, static_cast<int>(bits));
    }
    if (const auto address = ParseAddress(std::string(subject))) {
        return host_address && PrefixMatches(*address, *host_address, address->size * 8);
    }
    std::string_view name = subject;
    if (name.starts_with("*."))
        name.remove_prefix(2);
    else if (name.starts_with("."))
        name.remove_prefix(1);
    if (!name.empty() && name.back() == '.') name.remove_suffix(1);
    if (!IsAllowedNoProxyName(name)) return false;
    const std::string wanted = LowerCopy(name);
    if (host == wanted) return true;
    // A suffix on a label boundary; an address is not a name with labels.
    return !host_address && host.size() > wanted.size() && host.ends_with(wanted) &&
           host[host.size() - wanted.size() - 1] == '.';
}

bool IsSocks(ProxyKind kind) {
    return kind == ProxyKind::kSocks5 || kind == ProxyKind::kSocks5RemoteNames;
}

}  // namespace

ProxyVariables ReadProxyVariables() {
    ProxyVariables variables;
    for (const char* name : kVariableNames) {
        if (const char* value = std::getenv(name)) variables[name] = value;
    }
    return variables;
}

ProxyUrlParse ParseProxyUrl(std::string_view text) {
    UrlParts parts = SplitProxyUrl(text);
    if (!parts.problem.empty()) return {std::nullopt, parts.problem};
    ProxyEndpoint endpoint = std::move(parts.endpoint);
    if (parts.scheme == "http") {
        endpoint.kind = ProxyKind::kHttpConnect;
        if (endpoint.port == 0) endpoint.port = 80;
    } else if (parts.scheme == "socks5" || parts.scheme == "socks5h") {
        endpoint.kind =
            parts.scheme == "socks5" ? ProxyKind::kSocks5 : ProxyKind::kSocks5RemoteNames;
        if (endpoint.port == 0) endpoint.port = 1080;
    } else if (parts.scheme == "https") {
        return {std::nullopt, "https:// proxies (TLS to the proxy) are not supported"};
    } else if (parts.scheme.starts_with("socks")) {
        return {std::nullopt,
                parts.scheme + ":// proxies are not supported (only socks5, socks5h)"};
    } else {
        return {std::nullopt, "the proxy scheme \"" + parts.scheme + "\" is not supported"};
    }
    return {std::move(endpoint), {}};
}

bool IsLoopbackName(std::string_view host) {
    const std::string name = NormalHost(host);
    if (name == "localhost") return true;
    const auto address = ParseAddress(name);
    if (!address) return false;
    if (address->size == 4) return address->bytes[0] == 127;
    static constexpr std::array<unsigned char, 16> kLoopback6{0, 0, 0, 0, 0, 0, 0, 0,
                                                              0, 0, 0, 0, 0, 0, 0, 1};
    static constexpr std::array<unsigned char, 16> kMapped127{0, 0, 0, 0,    0,    0,  0,
                                                              0, 0, 0, 0xFF, 0xFF, 127};
    return address->bytes == kLoopback6 ||
           std::equal(kMapped127.begin(), kMapped127.begin() + 13, address->bytes.begin());
}

bool NoProxyCovers(std::string_view list, std::string_view host, std::uint16_t port) {
    if (list.size() > kMaxListSize) return false;
    const std::string normal = NormalHost(host);
    const auto address = ParseAddress(normal);
    while (!list.empty()) {
        const auto comma = list.find(',');
        const std::string_view entry = Trim(list.substr(0, comma));
        if (!entry.empty() && EntryCovers(entry, normal, address, port)) return true;
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return false;
}

ProxyEnvironment::ProxyEnvironment(ProxyVariables variables, bool proxy_loopback)
    : variables_(std::move(variables)), proxy_loopback_(proxy_loopback) {}

std::optional<ProxyEnvironment::Named> ProxyEnvironment::Lookup(
    std::initializer_list<std::string_view> names) const {
    for (const std::string_view name : names) {
        const auto found = variables_.find(name);
        if (found == variables_.end() || Trim(found->second).empty()) continue;
        return Named{std::string(name), ParseProxyUrl(found->second)};
    }
    return std::nullopt;
}

std::optional<ProxyChoice> ProxyEnvironment::Usable(
    std::initializer_list<std::string_view> names) const {
    const auto named = Lookup(names);
    if (!named || !named->parse.endpoint) return std::nullopt;
    return ProxyChoice{ProxyRoute::kProxy, named->parse.endpoint, named->variable};
}

bool ProxyEnvironment::Bypasses(std::string_view host, std::uint16_t port) const {
    if (!proxy_loopback_ && IsLoopbackName(host)) return true;
    if (MappedHost(host)) return true;
    for (const std::string_view name : {"no_proxy", "NO_PROXY"}) {
        const auto found = variables_.find(name);
        if (found == variables_.end() || Trim(found->second).empty()) continue;
        return NoProxyCovers(found->second, host, port);
    }
    return false;
}

std::optional<ProxyEndpoint> ProxyEnvironment::WhoisProxyFor(std::string_view host,
                                                             std::uint16_t port) const {
    if (Bypasses(host, port)) return std::nullopt;
    if (const auto own = variables_.find("TORVANE_WHOIS_PROXY"); own != variables_.end()) {
        if (Trim(own->second).empty()) return std::nullopt;
        if (auto parse = ParseProxyUrl(own->second); parse.endpoint) return parse.endpoint;
    }
    const auto all = Usable({"all_proxy", "ALL_PROXY"});
    if (all && IsSocks(all->proxy->kind)) return all->proxy;
    return std::nullopt;
}

ProxyChoice ProxyEnvironment::HttpProxyFor(std::string_view scheme, std::string_view host,
                                           std::uint16_t port) const {
    if (Bypasses(host, port)) return {};
    const std::string lower = LowerCopy(scheme);
    std::optional<ProxyChoice> choice;
    if (lower == "https") choice = Usable({"https_proxy", "HTTPS_PROXY"});
    if (lower == "http") choice = Usable({"http_proxy"});
    if (!choice) choice = Usable({"all_proxy", "ALL_PROXY"});
    if (choice) return *choice;
    return ProxyChoice{ProxyRoute::kAskDesktop, std::nullopt, {}};
}

bool ProxyEnvironment::NamedByVariables(std::string_view host, std::uint16_t port) const {
    const std::string wanted = NormalHost(host);
    for (const auto& [name, value] : variables_) {
        if (name == "no_proxy" || name == "NO_PROXY") continue;
        const UrlParts parts = SplitProxyUrl(value);
        if (!parts.problem.empty()) continue;
        if (NormalHost(parts.endpoint.host) == wanted &&
            (parts.endpoint.port == 0 || parts.endpoint.port == port))
            return true;
    }
    return false;
}

std::vector<std::string> ProxyEnvironment::Problems() const {
    std::vector<std::string> problems;
    for (const auto names : {std::initializer_list<std::string_view>{"https_proxy", "HTTPS_PROXY"},
                             std::initializer_list<std::string_view>{"http_proxy"},
                             std::initializer_list<std::string_view>{"all_proxy", "ALL_PROXY"},
                             std::initializer_list<std::string_view>{"TORVANE_WHOIS_PROXY"}}) {
        const auto named = Lookup(names);
        if (named && !named->parse.problem.empty()) {
            problems.push_back(named->variable + " ignored: " + named->parse.problem);
        }
    }
    return problems;
}

std::optional<ProxyEndpoint> WhoisProxyFor(const std::string& host, std::uint16_t port) {
    return ProxyEnvironment(ReadProxyVariables()).WhoisProxyFor(host, port);
}

std::vector<std::string> ProxyVariableProblems() {
    return ProxyEnvironment(ReadProxyVariables()).Problems();
}

}  // namespace torvane::net
