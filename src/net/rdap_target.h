#pragma once
// Where an RDAP request really goes. Every real host is asked over HTTPS;
// only a loopback address may be asked over plain HTTP. The host map
// (host_map.h) applies to RDAP hosts too: a host mapped to a loopback
// address is asked there over HTTP (tests, the demonstration); a host mapped
// elsewhere is asked there over HTTPS, its certificate checked against the
// original host name.

#include <QString>
#include <QUrl>

#include "net/error_codes.h"

namespace torvane::net {

// IsLoopbackName (proxy_environment.h) for a QUrl host.
bool IsLoopbackHost(const QString& host);

struct WireRequest {
    ErrorCode error = kNoError;  // nonzero: nothing may be sent
    QUrl url;                    // the URL actually fetched
    QString verify_name;         // the TLS peer name when it differs from url's host
};

// The request for the URL `url` names. Errors: kInetInvalidUrl (not a URL,
// no host), kInetSchemeNotAllowed (neither https nor http to a loopback
// address, after mapping).
WireRequest PlanRequest(const QUrl& url);

struct RedirectTarget {
    ErrorCode error = kNoError;
    QUrl url;
};

// The URL a redirect from `current` with the Location value `location`
// leads to (relative locations resolve against `current`). Errors:
// kInetInvalidUrl (empty or unparsable), kInetRedirectNotHttps (any scheme
// other than https, http included).
RedirectTarget FollowRedirect(const QUrl& current, const QString& location);

}  // namespace torvane::net
