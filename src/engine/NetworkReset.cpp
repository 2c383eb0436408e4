#include "NetworkReset.h"

#include <QUrl>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

namespace {

// A limit of the cache's own, so that it can change by a byte; the engine's
// choice would depend on the free space of the disk.
constexpr int CacheBytes = 256 * 1024 * 1024;

} // namespace

NetworkReset::NetworkReset(QWebEngineProfile *profile)
    : QObject(profile)
    , m_profile(profile)
{
    m_profile->setHttpCacheMaximumSize(CacheBytes);
    connect(m_profile->cookieStore(), &QWebEngineCookieStore::cookieAdded, this,
            &NetworkReset::keep);
    connect(m_profile->cookieStore(), &QWebEngineCookieStore::cookieRemoved, this,
            &NetworkReset::forget);
}

void NetworkReset::closeAllConnections()
{
    m_profile->setHttpCacheMaximumSize(m_profile->httpCacheMaximumSize() ^ 1);
    for (const QNetworkCookie &cookie : std::as_const(m_cookies))
        restore(cookie);
}

void NetworkReset::keep(const QNetworkCookie &cookie)
{
    forget(cookie);
    m_cookies.append(cookie);
}

void NetworkReset::forget(const QNetworkCookie &cookie)
{
    m_cookies.removeIf(
        [&cookie](const QNetworkCookie &kept) { return kept.hasSameIdentifier(cookie); });
}

void NetworkReset::restore(QNetworkCookie cookie)
{
    // A cookie for its host alone names the host without the leading dot of a
    // cookie for its subdomains too; given as a domain, it would become one.
    QUrl origin;
    if (!cookie.domain().startsWith('.')) {
        origin.setScheme(cookie.isSecure() ? QStringLiteral("https") : QStringLiteral("http"));
        origin.setHost(cookie.domain());
        origin.setPath(cookie.path());
        cookie.setDomain(QString());
    }
    m_profile->cookieStore()->setCookie(cookie, origin);
}
