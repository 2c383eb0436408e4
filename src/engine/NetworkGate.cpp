#include "NetworkGate.h"

#include "InternetSockets.h"

#include <QUrl>
#include <QWebEngineUrlRequestInfo>

namespace {

bool reachesTheNetwork(const QUrl &url)
{
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("ws") || scheme == QLatin1String("wss");
}

// The engine itself refuses a local page's loads from the network, but not its
// WebSockets. What a page holds, frames and workers of any origin included,
// names it as their first party or initiator. Only a load of the main frame,
// which replaces the page, is left to the engine: it lets a click of the
// user's through, and nothing the page does on its own.
bool comesFromALocalPage(const QWebEngineUrlRequestInfo &info)
{
    if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
        return false;
    return info.firstPartyUrl().isLocalFile() || info.initiator().isLocalFile();
}

} // namespace

NetworkGate::~NetworkGate()
{
    refuseInternetConnections(false);
    refuseInternetDatagrams(false);
}

void NetworkGate::setOffline(bool offline)
{
    m_offline = offline;
    holdBackSockets();
}

void NetworkGate::pageLoads(const QUrl &url)
{
    // A load away from a local page may yet be refused (the engine refuses
    // those the page makes on its own): the local page is held back until
    // the load's request is let through.
    if (url.isLocalFile()) {
        m_localPage = true;
        m_leavingLocalPage = false;
        holdBackSockets();
    }
}

void NetworkGate::pageShown(const QUrl &url)
{
    // The local page being left reports its own end late, once the load that
    // replaces it is under way; a new local page is asked for first.
    if (m_leavingLocalPage && url.isLocalFile())
        return;
    m_localPage = url.isLocalFile();
    m_leavingLocalPage = false;
    holdBackSockets();
}

void NetworkGate::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (!reachesTheNetwork(info.requestUrl()))
        return;
    if (m_offline || comesFromALocalPage(info)) {
        info.block(true);
    } else if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame &&
               m_localPage) {
        // The engine has let a load of the user's replace the local page, which
        // would live on until the new one arrives, its peer connections too: the
        // load waits until the page is gone. A form sending its data could not
        // be asked for again, and is refused, as the engine itself refuses a
        // local page's forms.
        if (info.requestUrl() != m_letThrough) {
            info.block(true);
            if (info.requestMethod() == "GET")
                emit localPageLeaveRefused(info.requestUrl());
            return;
        }
        m_letThrough.clear();
        // What the page sent as it went may still be on its way: datagrams stay
        // held until the new page arrives.
        m_localPage = false;
        m_leavingLocalPage = true;
        holdBackSockets();
    }
}

void NetworkGate::holdBackSockets()
{
    refuseInternetConnections(m_offline || m_localPage);
    refuseInternetDatagrams(m_offline || m_localPage || m_leavingLocalPage);
}
