#include "WebEngineBrowser.h"

#include "AddressDisplay.h"
#include "DownloadSaver.h"
#include "FindBox.h"
#include "HungPageStopper.h"
#include "LocalPageExit.h"
#include "NetworkGate.h"
#include "NetworkReset.h"
#include "RenderWidgets.h"
#include "RendererGonePage.h"
#include "ScreenMoveRelay.h"
#include "SiteZoom.h"
#include "SpellChecking.h"
#include "WebPage.h"

#include <QAction>
#include <QDir>
#include <QStackedLayout>
#include <QStandardPaths>
#include <QUrl>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNavigationRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// Named, so that it is kept on disk; the paths are spelled out so that they
// are the application's standard ones, whatever Qt's defaults for a name.
QWebEngineProfile *createPersistentProfile(QObject *parent)
{
    // The engine starts with its first profile, and reads where its
    // dictionaries are as it starts.
    const QString dictionaries = spellingDictionariesFolder();
    auto *profile = new QWebEngineProfile(QStringLiteral("browsing"), parent);
    profile->setPersistentStoragePath(profileFolder());
    profile->setCachePath(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                          "/profile");
    checkSpelling(*profile, dictionaries);
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    // Qt 6.6 and later keep WebTransport whatever the engine's flags say (see
    // EngineProcess): every frame loses it before its page's scripts run.
    QWebEngineScript noWebTransport;
    noWebTransport.setName(QStringLiteral("no WebTransport"));
    noWebTransport.setInjectionPoint(QWebEngineScript::DocumentCreation);
    noWebTransport.setWorldId(QWebEngineScript::MainWorld);
    noWebTransport.setRunsOnSubFrames(true);
    noWebTransport.setSourceCode(QStringLiteral("delete self.WebTransport;"));
    profile->scripts()->insert(noWebTransport);
#endif
    return profile;
}

} // namespace

QString profileFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/profile";
}

WebEngineBrowser::WebEngineBrowser(QWidget *parent, std::unique_ptr<EngineDialogs> dialogs)
    : BrowserEngine(parent)
    , m_profile(createPersistentProfile(this))
    , m_networkGate(new NetworkGate(m_profile))
    , m_networkReset(new NetworkReset(m_profile))
    , m_layers(new QStackedLayout(this))
    , m_view(new QWebEngineView(this))
    , m_page(new WebPage(m_profile, std::move(dialogs), m_view))
    , m_rendererGone(new RendererGonePage(this))
    , m_hungPageStopper(new HungPageStopper(m_page))
{
    m_profile->setUrlRequestInterceptor(m_networkGate);
    m_view->setPage(m_page);
    new LocalPageExit(m_page, m_networkGate);
    auto *renderWidgets = new RenderWidgets(m_view);
    m_zoom = new SiteZoom(m_view, renderWidgets);
    new ScreenMoveRelay(this, renderWidgets);

    m_layers->setContentsMargins(0, 0, 0, 0);
    m_layers->addWidget(m_view);
    m_layers->addWidget(m_rendererGone);
    setFocusProxy(m_view);

    // Busy and the location are polled at every pass of the event loop, so
    // they are kept ready here rather than computed on each read.
    connect(m_page, &QWebEnginePage::loadingChanged, this, &WebEngineBrowser::followLoading);
    connect(m_page, &QWebEnginePage::navigationRequested, this,
            &WebEngineBrowser::followNavigation);
    connect(m_view, &QWebEngineView::urlChanged, this,
            [this](const QUrl &url) { m_location = addressForDisplay(url); });
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            &WebEngineBrowser::showRendererGone);

    // The engine refuses every page's request for the screen unless told.
    m_page->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    connect(m_page, &QWebEnginePage::fullScreenRequested, this,
            &WebEngineBrowser::answerFullScreen);

    addKey({Qt::CTRL | Qt::Key_P}, [this] { m_page->print(); });
    addKey({Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal}, [this] { m_zoom->zoomIn(); });
    addKey({Qt::CTRL | Qt::Key_Minus}, [this] { m_zoom->zoomOut(); });
    addKey({Qt::CTRL | Qt::Key_0}, [this] { m_zoom->reset(); });
    addKey({Qt::Key_F3}, [this] {
        // Made at its first use, as most pages are never searched.
        if (!m_findBox)
            m_findBox = new FindBox(m_page, this);
        m_findBox->openOrFindNext();
    });
    // Pages have Escape for themselves, except while they are full screen.
    m_leaveFullScreen =
        addKey({Qt::Key_Escape}, [this] { m_page->triggerAction(QWebEnginePage::ExitFullScreen); });
    m_leaveFullScreen->setEnabled(false);
}

QAction *WebEngineBrowser::addKey(const QList<QKeySequence> &keys, const std::function<void()> &run)
{
    // An action of this widget's, in no menu: its keys work wherever the
    // focus is in this widget's window.
    auto *key = new QAction(this);
    key->setShortcuts(keys);
    addAction(key);
    connect(key, &QAction::triggered, this, run);
    return key;
}

WebEngineBrowser::~WebEngineBrowser()
{
    // A page must go before its profile, which would otherwise be left with
    // a page still using it.
    delete m_view;
}

void WebEngineBrowser::followLoading(const QWebEngineLoadingInfo &loading)
{
    m_busy = loading.status() == QWebEngineLoadingInfo::LoadStartedStatus;
    // A load that was not stopped brings a live page, or the engine's error
    // page, in place of one whose renderer died: even one already under way
    // when it died. One that failed with no renderer left to show it brings
    // nothing.
    const bool failedWithoutRenderer =
        loading.status() == QWebEngineLoadingInfo::LoadFailedStatus &&
        m_page->renderProcessPid() == 0;
    if (loading.status() != QWebEngineLoadingInfo::LoadStoppedStatus && !failedWithoutRenderer)
        m_layers->setCurrentWidget(m_view);
    // The page commits its address late: until then the location is the one
    // asked for, and once a load ends, stopped or not, the one the page shows.
    m_location = addressForDisplay(m_busy ? loading.url() : m_view->url());
    if (!m_busy)
        m_networkGate->pageShown(m_view->url());
}

void WebEngineBrowser::followNavigation(const QWebEngineNavigationRequest &request)
{
    if (!request.isMainFrame())
        return;
    // Told in the engine's own order, before the request: the start of a load
    // is told later, and may come after the requests of the load replacing it.
    m_networkGate->pageLoads(request.url());
    // A load that replaces one in progress, or a redirect, gets no start of its
    // own. Only then is the request taken for the location: one that comes to
    // nothing is corrected when the load in progress ends.
    if (m_busy)
        m_location = addressForDisplay(request.url());
}

void WebEngineBrowser::showRendererGone(QWebEnginePage::RenderProcessTerminationStatus status)
{
    // Nothing is loading any more, and the location is that of the page that
    // died, which Refresh, as for any page, loads again.
    m_busy = false;
    m_location = addressForDisplay(m_view->url());
    if (m_hungPageStopper->takeEnded())
        m_rendererGone->describeUnanswered(m_location);
    else
        m_rendererGone->describe(status, m_location);
    m_layers->setCurrentWidget(m_rendererGone);
}

void WebEngineBrowser::answerFullScreen(QWebEngineFullScreenRequest request)
{
    // Leaving comes from the page itself, from Escape, and from the engine
    // when the page navigates away or its renderer dies.
    request.accept();
    if (m_fullScreen == request.toggleOn())
        return;
    m_fullScreen = request.toggleOn();
    m_leaveFullScreen->setEnabled(m_fullScreen);
    emit fullScreenChanged();
}

void WebEngineBrowser::Navigate(const QString &address)
{
    // Read the text as an address bar would: a host without a scheme is http,
    // a name of an existing file here is that file.
    const QUrl url = QUrl::fromUserInput(address, QDir::currentPath());
    m_view->load(url.isValid() ? url : QUrl(QStringLiteral("about:blank")));
}

void WebEngineBrowser::GoBack()
{
    m_view->triggerPageAction(QWebEnginePage::Back);
}

void WebEngineBrowser::GoForward()
{
    m_view->triggerPageAction(QWebEnginePage::Forward);
}

void WebEngineBrowser::Stop()
{
    m_view->triggerPageAction(QWebEnginePage::Stop);
    m_hungPageStopper->check();
}

void WebEngineBrowser::Refresh()
{
    m_view->triggerPageAction(QWebEnginePage::Reload);
}

bool WebEngineBrowser::Offline() const
{
    return m_networkGate->isOffline();
}

void WebEngineBrowser::setOffline(bool offline)
{
    // Once offline, nothing new has got past the gate: going offline again
    // has nothing to end, and would only start the network afresh once more.
    const bool wasOffline = m_networkGate->isOffline();
    m_networkGate->setOffline(offline);
    if (!offline || wasOffline)
        return;
    // What was open before ends too: the page's loads stop where they are,
    // and every connection left, the page's sockets, streams and workers',
    // is cut. Nothing new gets past the gate.
    m_view->triggerPageAction(QWebEnginePage::Stop);
    m_page->downloads()->failAllForOffline();
    m_networkReset->closeAllConnections();
}

QStringList WebEngineBrowser::partialDownloads() const
{
    return m_page->downloads()->partialFiles();
}

bool WebEngineBrowser::Silent() const
{
    return m_page->isSilent();
}

void WebEngineBrowser::setSilent(bool silent)
{
    m_page->setSilent(silent);
}
