#pragma once

#include "BrowserEngine.h"
#include "EngineDialogs.h"

#include <QWebEnginePage>

#include <functional>
#include <memory>

class FindBox;
class HungPageStopper;
class NetworkGate;
class NetworkReset;
class QAction;
class QStackedLayout;
class QWebEngineFullScreenRequest;
class QWebEngineLoadingInfo;
class QWebEngineNavigationRequest;
class QWebEngineProfile;
class QWebEngineView;
class RendererGonePage;
class SiteZoom;
class WebPage;

// The engine's profile folder, where cookies, sign-ins and site storage are
// kept as any browser keeps them: in the application's standard data location
// (so the application's name must be set first), never in the current directory.
QString profileFolder();

// The engine view on Qt WebEngine (Chromium), with a persistent profile of its
// own (its cache in the standard cache location), for which Work Offline is
// enforced whole. One engine per process. Its keys work wherever the focus is
// in its window: Ctrl+P prints, Ctrl+plus (or Ctrl+=), Ctrl+minus and Ctrl+0
// zoom, F3 finds, and Escape ends a page's full screen.
class WebEngineBrowser : public BrowserEngine {
    Q_OBJECT

public:
    // The boxes a page may open (while not Silent) are dialogs'.
    explicit WebEngineBrowser(
        QWidget *parent = nullptr,
        std::unique_ptr<EngineDialogs> dialogs = std::make_unique<StandardEngineDialogs>());
    ~WebEngineBrowser() override;

    void Navigate(const QString &address) override;
    void GoBack() override;
    void GoForward() override;
    void Stop() override;
    void Refresh() override;

    bool Busy() const override { return m_busy; }
    QString LocationURL() const override { return m_location; }

    void setOffline(bool offline) override;
    void setSilent(bool silent) override;
    void setRegisterAsBrowser(bool registerAsBrowser) override
    {
        m_registerAsBrowser = registerAsBrowser;
    }
    bool FullScreen() const override { return m_fullScreen; }

    bool Offline() const;
    // The files that downloads under way are being written to.
    QStringList partialDownloads() const;
    bool Silent() const;
    bool RegisterAsBrowser() const { return m_registerAsBrowser; }

    // The Qt view inside, for tests that need to reach the page itself.
    QWebEngineView *view() const { return m_view; }

private:
    void followLoading(const QWebEngineLoadingInfo &loading);
    void followNavigation(const QWebEngineNavigationRequest &request);
    void showRendererGone(QWebEnginePage::RenderProcessTerminationStatus status);
    void answerFullScreen(QWebEngineFullScreenRequest request);
    QAction *addKey(const QList<QKeySequence> &keys, const std::function<void()> &run);

    QWebEngineProfile *m_profile;
    NetworkGate *m_networkGate;
    NetworkReset *m_networkReset;
    QStackedLayout *m_layers;
    QWebEngineView *m_view;
    WebPage *m_page;
    RendererGonePage *m_rendererGone;
    HungPageStopper *m_hungPageStopper;
    SiteZoom *m_zoom = nullptr;
    FindBox *m_findBox = nullptr;
    QAction *m_leaveFullScreen;
    QString m_location;
    bool m_busy = false;
    bool m_registerAsBrowser = false;
    bool m_fullScreen = false;
};
