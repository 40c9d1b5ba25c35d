#pragma once
// The proxy of each RDAP request, as Qt takes it. The rules are those of
// proxy_environment.h (https_proxy, all_proxy, no_proxy, never proxied);
// when the variables name nothing, the desktop's settings decide, as Qt's
// system proxy reports them, and no_proxy and the never-proxied hosts still
// apply to them.

#include <QList>
#include <QNetworkProxy>
#include <QUrl>
#include <functional>
#include <optional>

#include "net/proxy_endpoint.h"
#include "net/proxy_environment.h"

namespace torvane::net {

// Where the RDAP client's proxies come from. The defaults are the process
// environment, read again for every request, and Qt's system proxy.
struct RdapProxySource {
    std::function<ProxyVariables()> variables = &ReadProxyVariables;
    // The desktop's proxies for a request, best first.
    std::function<QList<QNetworkProxy>(const QNetworkProxyQuery&)> desktop =
        &QNetworkProxyFactory::systemProxyForQuery;
    // Lets loopback be proxied (ProxyEnvironment): for tests only.
    bool proxy_loopback = false;
};

// The proxy for one request: `named` is the URL as given or as a redirect
// named it, `wire` the URL actually fetched (rdap_target.h: after the host
// map). Always NoProxy or one HttpProxy or Socks5Proxy, never DefaultProxy,
// so that Qt's own choice never applies. From the desktop's list the first
// HTTP or SOCKS5 proxy is taken that is not merely one of the variables
// repeated (ProxyEnvironment::NamedByVariables); none: NoProxy.
QNetworkProxy RdapProxyFor(const QUrl& named, const QUrl& wire, const RdapProxySource& source);

// The Qt form of `endpoint`: socks5 without the proxy's name lookup, socks5h
// with it, http as HttpProxy (CONNECT for https); credentials carried over.
QNetworkProxy ToQtProxy(const ProxyEndpoint& endpoint);

// The endpoint a Qt proxy describes; nullopt for NoProxy and every type
// other than HttpProxy and Socks5Proxy.
std::optional<ProxyEndpoint> FromQtProxy(const QNetworkProxy& proxy);

}  // namespace torvane::net
