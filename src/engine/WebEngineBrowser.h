#pragma once

#include "BrowserEngine.h"

class QWebEngineLoadingInfo;
class QWebEngineNavigationRequest;
class QWebEngineView;

// The engine view on Qt WebEngine (Chromium).
class WebEngineBrowser : public BrowserEngine {
    Q_OBJECT

public:
    explicit WebEngineBrowser(QWidget *parent = nullptr);

    void Navigate(const QString &address) override;
    void GoBack() override;
    void GoForward() override;
    void Stop() override;
    void Refresh() override;

    bool Busy() const override;
    QString LocationURL() const override;

    void setOffline(bool offline) override;
    void setSilent(bool silent) override;
    void setRegisterAsBrowser(bool registerAsBrowser) override;

    bool Offline() const { return m_offline; }
    bool Silent() const { return m_silent; }
    bool RegisterAsBrowser() const { return m_registerAsBrowser; }

    // The Qt view inside, for tests that need to reach the page itself.
    QWebEngineView *view() const { return m_view; }

private:
    void followLoading(const QWebEngineLoadingInfo &loading);
    void followNavigation(const QWebEngineNavigationRequest &request);

    QWebEngineView *m_view;
    QString m_location;
    bool m_busy = false;
    bool m_offline = false;
    bool m_silent = false;
    bool m_registerAsBrowser = false;
};
