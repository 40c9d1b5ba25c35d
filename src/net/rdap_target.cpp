#include "net/rdap_target.h"

#include "net/host_map.h"
#include "net/proxy_environment.h"

namespace torvane::net {

bool IsLoopbackHost(const QString& host) { return IsLoopbackName(host.toStdString()); }

WireRequest PlanRequest(const QUrl& url) {
    WireRequest request;
    if (!url.isValid() || url.host().isEmpty()) {
        request.error = kInetInvalidUrl;
        return request;
    }
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("https") && scheme != QLatin1String("http")) {
        request.error = kInetSchemeNotAllowed;
        return request;
    }
    request.url = url;
    if (const auto mapping = MappedHost(url.host().toStdString())) {
        const QString address = QString::fromStdString(mapping->address);
        request.url.setHost(address);
        if (mapping->port) request.url.setPort(*mapping->port);
        if (IsLoopbackHost(address)) {
            // The one place plain HTTP is allowed: a test or demonstration
            // server on this machine, whatever the URL said.
            request.url.setScheme(QStringLiteral("http"));
            return request;
        }
        request.verify_name = url.host();
    }
    if (request.url.scheme().toLower() != QLatin1String("https") &&
        !IsLoopbackHost(request.url.host())) {
        return WireRequest{kInetSchemeNotAllowed, {}, {}};
    }
    return request;
}

RedirectTarget FollowRedirect(const QUrl& current, const QString& location) {
    const QUrl relative(location, QUrl::StrictMode);
    if (location.isEmpty() || !relative.isValid()) return {kInetInvalidUrl, {}};
    const QUrl target = current.resolved(relative);
    if (target.scheme().toLower() != QLatin1String("https")) return {kInetRedirectNotHttps, {}};
    if (target.host().isEmpty()) return {kInetInvalidUrl, {}};
    return {kNoError, target};
}

}  // namespace torvane::net
