#pragma once
// Which proxy a connection goes through, read the way a Linux user sets
// proxies: environment variables in the style of curl, plus our own variable
// for port 43. Plain C++: the variables come in as a map, so every rule can be
// tested without touching the process environment; ReadProxyVariables is the
// one place that reads it.
//
// Variables (the lowercase name wins when both cases are set):
//   https_proxy / HTTPS_PROXY   proxy for https URLs (RDAP)
//   http_proxy                  proxy for http URLs; lowercase only. A CGI
//                               program gets a request's "Proxy:" header as
//                               HTTP_PROXY, so the uppercase name can be set
//                               by whoever sends a request to a web server;
//                               curl ignores it for that reason, and so do we.
//                               Torvane sends http only to loopback, which is
//                               never proxied, so in practice this is unused.
//   all_proxy / ALL_PROXY       proxy for everything the above do not cover;
//                               for port 43 only when it is socks5:// or
//                               socks5h:// (an HTTP proxy usually opens
//                               tunnels to port 443 only)
//   no_proxy / NO_PROXY         hosts that are reached directly (below)
//   TORVANE_WHOIS_PROXY         proxy for port 43, taking precedence over
//                               all_proxy: socks5://, socks5h:// or http://
//                               (HTTP CONNECT to port 43). Set but empty: no
//                               proxy for port 43, whatever all_proxy says.
// An empty value of any other variable counts as unset. A value that cannot be
// read is ignored (as if unset) and reported by Problems().
//
// Proxy URLs: [scheme://][user[:password]@]host[:port][/anything]
//   scheme    http (HTTP CONNECT), socks5 (the client resolves the server's
//             name), socks5h (the proxy resolves it), any case. No scheme is
//             http, as curl reads it. https (TLS to the proxy), socks4 and
//             anything else are not supported and ignored with that reason.
//   user, password  percent-decoded.
//   host      a name, a dotted IPv4 address, or an IPv6 address in brackets
//             (kept without the brackets).
//   port      1..65535; default 1080 for socks5 and socks5h, 80 for http
//             (the port of the scheme; curl alone uses 1080 for http too).
//   A path after the host is ignored.
//
// no_proxy: a comma-separated list; blanks around entries are trimmed, names
// compare without regard to ASCII case, and a trailing dot of a name is
// ignored. An entry is
//   *                   every host
//   name, .name, *.name the host "name" and every host ending in ".name"
//   address             an IPv4 or IPv6 address (IPv6 with or without
//                       brackets), matching a host written as that address
//   address/bits        a CIDR range, matching host addresses inside it
//   any of these with ":port" (IPv6 in brackets then): only connections to
//                       that port; without one, every port.
// Names are never resolved to compare them with addresses.
//
// Never proxied, whatever the variables and the desktop say: loopback
// (127.0.0.0/8, ::1, ::ffff:127.0.0.0/104, "localhost") and every host the
// host map (host_map.h) maps, which are the test and demonstration servers.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/proxy_endpoint.h"

namespace torvane::net {

// Variable name -> value, as the environment holds them (exact-case names;
// an absent name is unset).
using ProxyVariables = std::map<std::string, std::string, std::less<>>;

// The values of the proxy variables of the process environment: the names
// listed above, and HTTP_PROXY, which is read only so that a desktop answer
// repeating it can be recognised (ProxyEnvironment::NamedByVariables).
ProxyVariables ReadProxyVariables();

struct ProxyUrlParse {
    std::optional<ProxyEndpoint> endpoint;
    // Why the text names no usable proxy (English, for a warning); empty
    // when endpoint is set.
    std::string problem;
};

// Reads one proxy URL (blanks around it trimmed). Either endpoint or problem
// is set, never both.
ProxyUrlParse ParseProxyUrl(std::string_view text);

// True when the no_proxy list `list` covers a connection to `host` (a name or
// an address, IPv6 with or without brackets) on `port`.
bool NoProxyCovers(std::string_view list, std::string_view host, std::uint16_t port);

// True for 127.0.0.0/8, ::1, IPv4-mapped 127.0.0.0/8 and "localhost" (any
// case, trailing dot allowed); IPv6 with or without brackets.
bool IsLoopbackName(std::string_view host);

enum class ProxyRoute {
    kDirect,      // no proxy: never proxied, or no_proxy covers the host
    kProxy,       // through `proxy`, named by `variable`
    kAskDesktop,  // the variables name nothing: the desktop's settings decide
};

struct ProxyChoice {
    ProxyRoute route = ProxyRoute::kDirect;
    std::optional<ProxyEndpoint> proxy;  // set exactly for kProxy
    std::string variable;                // the variable that named it
    friend bool operator==(const ProxyChoice&, const ProxyChoice&) = default;
};

class ProxyEnvironment {
  public:
    // `proxy_loopback` lets loopback be proxied like any other host. Only for
    // tests: a proxy on this machine cannot be shown working otherwise,
    // since every server a test can run is on loopback.
    explicit ProxyEnvironment(ProxyVariables variables, bool proxy_loopback = false);

    // The proxy for a WHOIS connection to `host` on `port` (43, or the port
    // a referral named): TORVANE_WHOIS_PROXY when set (empty: none), else
    // all_proxy when it is socks5:// or socks5h://; none when the host is
    // never proxied or no_proxy covers it. The desktop's settings are not
    // asked: they describe web proxies.
    std::optional<ProxyEndpoint> WhoisProxyFor(std::string_view host,
                                               std::uint16_t port = 43) const;

    // The route of an HTTP request (RDAP) for a URL of `scheme` ("https" or
    // "http", any case) to `host` on `port`: kDirect when the host is never
    // proxied or no_proxy covers it; else https_proxy (http_proxy for
    // "http"), else all_proxy (any of the three kinds), as kProxy; else
    // kAskDesktop.
    ProxyChoice HttpProxyFor(std::string_view scheme, std::string_view host,
                             std::uint16_t port) const;

    // True when the connection must go direct whatever the desktop says:
    // never proxied, or covered by no_proxy.
    bool Bypasses(std::string_view host, std::uint16_t port) const;

    // True when `host`:`port` is the proxy one of the variables names, in
    // either case of its name (HTTP_PROXY and unsupported schemes included).
    // The desktop's proxy library reads these variables too, with its own
    // fallbacks (http_proxy and HTTP_PROXY for https); an answer of it that
    // only repeats one is not the desktop's setting and is dropped.
    bool NamedByVariables(std::string_view host, std::uint16_t port) const;

    // One line per variable that is set but ignored, "NAME ignored: why"
    // (English), in the order of the list above.
    std::vector<std::string> Problems() const;

  private:
    // The first of `names` that is set, and its parse; nullopt when none is
    // set or the value is empty.
    struct Named {
        std::string variable;
        ProxyUrlParse parse;
    };
    std::optional<Named> Lookup(std::initializer_list<std::string_view> names) const;
    std::optional<ProxyChoice> Usable(std::initializer_list<std::string_view> names) const;

    ProxyVariables variables_;
    bool proxy_loopback_;
};

// ProxyEnvironment(ReadProxyVariables()).WhoisProxyFor(host, port): the
// process environment as it is now.
std::optional<ProxyEndpoint> WhoisProxyFor(const std::string& host, std::uint16_t port = 43);

// ProxyEnvironment(ReadProxyVariables()).Problems().
std::vector<std::string> ProxyVariableProblems();

}  // namespace torvane::net
