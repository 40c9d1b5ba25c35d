#include "net/rdap_proxy.h"

namespace torvane::net {

QNetworkProxy ToQtProxy(const ProxyEndpoint& endpoint) {
    const QNetworkProxy::ProxyType type = endpoint.kind == ProxyKind::kHttpConnect
                                              ? QNetworkProxy::HttpProxy
                                              : QNetworkProxy::Socks5Proxy;
    QNetworkProxy proxy(type, QString::fromStdString(endpoint.host), endpoint.port,
                        QString::fromStdString(endpoint.user),
                        QString::fromStdString(endpoint.password));
    if (endpoint.kind == ProxyKind::kSocks5) {
        // Without this capability Qt looks the server's name up itself and
        // asks the proxy for the address, which is what socks5:// means.
        proxy.setCapabilities(proxy.capabilities() & ~QNetworkProxy::HostNameLookupCapability);
    }
    return proxy;
}

std::optional<ProxyEndpoint> FromQtProxy(const QNetworkProxy& proxy) {
    ProxyEndpoint endpoint;
    switch (proxy.type()) {
        case QNetworkProxy::HttpProxy:
            endpoint.kind = ProxyKind::kHttpConnect;
            break;
        case QNetworkProxy::Socks5Proxy:
            endpoint.kind = (proxy.capabilities() & QNetworkProxy::HostNameLookupCapability)
                                ? ProxyKind::kSocks5RemoteNames
                                : ProxyKind::kSocks5;
            break;
        default:
            return std::nullopt;
    }
    endpoint.host = proxy.hostName().toStdString();
    endpoint.port = proxy.port();
    endpoint.user = proxy.user().toStdString();
    endpoint.password = proxy.password().toStdString();
    return endpoint;
}

QNetworkProxy RdapProxyFor(const QUrl& named, const QUrl& wire, const RdapProxySource& source) {
    const ProxyEnvironment environment(source.variables ? source.variables() : ProxyVariables{},
                                       source.proxy_loopback);
    const QString scheme = wire.scheme().toLower();
    const auto port =
        static_cast<std::uint16_t>(wire.port(scheme == QLatin1String("http") ? 80 : 443));
    // A mapped host is never proxied; asking for the name as given finds it
    // in the map, where the wire URL only holds the address it maps to.
    const std::string named_host = named.host().toStdString();
    if (environment.Bypasses(named_host, port)) {
        return QNetworkProxy(QNetworkProxy::NoProxy);
    }
    const ProxyChoice choice =
        environment.HttpProxyFor(scheme.toStdString(), wire.host().toStdString(), port);
    if (choice.route == ProxyRoute::kProxy) return ToQtProxy(*choice.proxy);
    if (choice.route == ProxyRoute::kDirect || !source.desktop) {
        return QNetworkProxy(QNetworkProxy::NoProxy);
    }
    for (const QNetworkProxy& proxy : source.desktop(QNetworkProxyQuery(wire))) {
        if (proxy.type() == QNetworkProxy::NoProxy || proxy.type() == QNetworkProxy::DefaultProxy) {
            break;
        }
        if (proxy.type() != QNetworkProxy::HttpProxy && proxy.type() != QNetworkProxy::Socks5Proxy)
            continue;
        if (environment.NamedByVariables(proxy.hostName().toStdString(), proxy.port())) continue;
        return proxy;
    }
    return QNetworkProxy(QNetworkProxy::NoProxy);
}

}  // namespace torvane::net
