#pragma once

#include "BrowserEngine.h"
#include "EngineDialogs.h"

#include <memory>

class OfflineInterceptor;
class QWebEngineLoadingInfo;
class QWebEngineNavigationRequest;
class QWebEngineView;
class WebPage;

// The engine view on Qt WebEngine (Chromium). Work Offline is enforced for the
// whole profile of its page, so that profile must be this engine's alone.
class WebEngineBrowser : public BrowserEngine {
    Q_OBJECT

public:
    // The boxes a page may open (while not Silent) are dialogs'.
    explicit WebEngineBrowser(
        QWidget *parent = nullptr,
        std::unique_ptr<EngineDialogs> dialogs = std::make_unique<StandardEngineDialogs>());

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

    bool Offline() const;
    bool Silent() const;
    bool RegisterAsBrowser() const { return m_registerAsBrowser; }

    // The Qt view inside, for tests that need to reach the page itself.
    QWebEngineView *view() const { return m_view; }

private:
    void followLoading(const QWebEngineLoadingInfo &loading);
    void followNavigation(const QWebEngineNavigationRequest &request);

    QWebEngineView *m_view;
    WebPage *m_page;
    OfflineInterceptor *m_offlineInterceptor;
    QString m_location;
    bool m_busy = false;
    bool m_registerAsBrowser = false;
};
