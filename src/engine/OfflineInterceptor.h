#pragma once

#include <QWebEngineUrlRequestInterceptor>

// Work Offline for a profile: while offline, every request that would go out
// to the network (http, https, ws, wss) is blocked before it is sent, and the
// page shows the engine's own error for it. Local content is not network and
// passes. The engine calls it on the thread it lives on, the UI thread.
class OfflineInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    bool isOffline() const { return m_offline; }
    void setOffline(bool offline) { m_offline = offline; }

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

private:
    bool m_offline = false;
};
