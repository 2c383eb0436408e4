#include "WebEngineBrowser.h"

#include "OfflineInterceptor.h"
#include "WebPage.h"

#include <QDir>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNavigationRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

WebEngineBrowser::WebEngineBrowser(QWidget *parent, std::unique_ptr<EngineDialogs> dialogs)
    : BrowserEngine(parent)
    , m_view(new QWebEngineView(this))
    , m_page(new WebPage(std::move(dialogs), m_view))
    , m_offlineInterceptor(new OfflineInterceptor(this))
{
    m_view->setPage(m_page);
    m_page->profile()->setUrlRequestInterceptor(m_offlineInterceptor);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view);

    // A page opened from disk must not read the user's other files.
    m_view->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);

    // Busy and the location are polled every frame, so they are kept ready
    // here rather than computed on each read.
    connect(m_page, &QWebEnginePage::loadingChanged, this, &WebEngineBrowser::followLoading);
    connect(m_page, &QWebEnginePage::navigationRequested, this,
            &WebEngineBrowser::followNavigation);
    connect(m_view, &QWebEngineView::urlChanged, this,
            [this](const QUrl &url) { m_location = url.toString(); });
}

void WebEngineBrowser::followLoading(const QWebEngineLoadingInfo &loading)
{
    m_busy = loading.status() == QWebEngineLoadingInfo::LoadStartedStatus;
    // The page commits its address late: until then the location is the one
    // asked for, and once a load ends, stopped or not, the one the page shows.
    m_location = (m_busy ? loading.url() : m_view->url()).toString();
}

void WebEngineBrowser::followNavigation(const QWebEngineNavigationRequest &request)
{
    // A load that replaces one in progress, or a redirect, gets no start of its
    // own. Only then is the request taken for the location: one that comes to
    // nothing is corrected when the load in progress ends.
    if (m_busy && request.isMainFrame())
        m_location = request.url().toString();
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
}

void WebEngineBrowser::Refresh()
{
    m_view->triggerPageAction(QWebEnginePage::Reload);
}

bool WebEngineBrowser::Busy() const
{
    return m_busy;
}

QString WebEngineBrowser::LocationURL() const
{
    return m_location;
}

bool WebEngineBrowser::Offline() const
{
    return m_offlineInterceptor->isOffline();
}

void WebEngineBrowser::setOffline(bool offline)
{
    m_offlineInterceptor->setOffline(offline);
}

bool WebEngineBrowser::Silent() const
{
    return m_page->isSilent();
}

void WebEngineBrowser::setSilent(bool silent)
{
    m_page->setSilent(silent);
}

void WebEngineBrowser::setRegisterAsBrowser(bool registerAsBrowser)
{
    m_registerAsBrowser = registerAsBrowser;
}
