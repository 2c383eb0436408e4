#pragma once

#include <QWebEngineUrlRequestInterceptor>

// Decides, for a whole profile, which requests may go out to the network
// (http, https, ws, wss): none while offline, and none that a page opened from
// a local file makes, whatever it uses (loads, scripts, sockets, frames,
// workers). Each is blocked before it is sent. Local content is not network
// and passes. The engine calls it on the thread it lives on, the UI thread.
class NetworkGate : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    bool isOffline() const { return m_offline; }
    void setOffline(bool offline) { m_offline = offline; }

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

private:
    bool m_offline = false;
};
