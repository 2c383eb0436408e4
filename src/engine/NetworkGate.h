#pragma once

#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

// Decides, for a whole profile, which requests may go out to the network
// (http, https, ws, wss): none while offline, and none that a page opened from
// a local file makes, whatever it uses (loads, scripts, sockets, frames,
// workers). Each is blocked before it is sent. Local content is not network
// and passes. The engine calls it on the thread it lives on, the UI thread.
// What the engine makes past the profile's requests, pages' WebRTC, is held
// back at the process's sockets (InternetSockets): while offline, and from the
// load of a local page, before its scripts run, until the load of a page from
// the network that replaces it ends.
class NetworkGate : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    // The process's sockets outlive the gate: it lets go of what it held.
    ~NetworkGate() override;

    bool isOffline() const { return m_offline; }
    void setOffline(bool offline);

    // The page's main frame asks for url, before its request; or shows url
    // once a load has ended, succeeded or not.
    void pageLoads(const QUrl &url);
    void pageShown(const QUrl &url);

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    // The next load from the network to replace the local page, at url, goes.
    void letThrough(const QUrl &url) { m_letThrough = url; }

signals:
    // A load of the user's, at url, that would replace the local page was
    // refused so that the local page can go first; it may be let through.
    void localPageLeaveRefused(const QUrl &url);

private:
    void holdBackSockets();

    bool m_offline = false;
    bool m_localPage = false;
    bool m_leavingLocalPage = false;
    QUrl m_letThrough;
};
