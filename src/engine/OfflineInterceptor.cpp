#include "OfflineInterceptor.h"

#include <QUrl>
#include <QWebEngineUrlRequestInfo>

namespace {

bool reachesTheNetwork(const QUrl &url)
{
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("ws") || scheme == QLatin1String("wss");
}

} // namespace

void OfflineInterceptor::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (m_offline && reachesTheNetwork(info.requestUrl()))
        info.block(true);
}
