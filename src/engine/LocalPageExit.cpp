#include "LocalPageExit.h"

#include "NetworkGate.h"

#include <QWebEngineHistory>
#include <QWebEngineNavigationRequest>
#include <QWebEnginePage>

#include <cstdlib>

namespace {

// The index of the entry of the history at url nearest to the current one (the
// one being moved to, while a move is under way), or -1.
int nearestEntry(const QWebEngineHistory &history, const QUrl &url)
{
    const QList<QWebEngineHistoryItem> items = history.items();
    const int current = history.currentItemIndex();
    int nearest = -1;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].url() == url &&
            (nearest < 0 || std::abs(i - current) < std::abs(nearest - current)))
            nearest = i;
    }
    return nearest;
}

} // namespace

LocalPageExit::LocalPageExit(QWebEnginePage *page, NetworkGate *gate)
    : QObject(page)
    , m_page(page)
    , m_gate(gate)
{
    connect(page, &QWebEnginePage::navigationRequested, this, &LocalPageExit::noteNavigation);
    // Queued: the refused load is still under way in the engine when refused.
    connect(gate, &NetworkGate::localPageLeaveRefused, this, &LocalPageExit::leaveFor,
            Qt::QueuedConnection);
}

void LocalPageExit::noteNavigation(const QWebEngineNavigationRequest &request)
{
    if (!request.isMainFrame())
        return;
    m_navigationUrl = request.url();
    m_movesInHistory =
        request.navigationType() == QWebEngineNavigationRequest::BackForwardNavigation;
}

void LocalPageExit::leaveFor(const QUrl &requestUrl)
{
    // Requests carry no fragment; the navigation that made this one does.
    const bool noted = m_navigationUrl.adjusted(QUrl::RemoveFragment) == requestUrl;
    const QUrl url = noted ? m_navigationUrl : requestUrl;
    QWebEngineHistory &history = *m_page->history();
    const int entry = noted && m_movesInHistory ? nearestEntry(history, url) : -1;

    m_gate->letThrough(requestUrl);
    // The engine discards only a page out of sight; the history stays.
    m_page->setVisible(false);
    m_page->setLifecycleState(QWebEnginePage::LifecycleState::Discarded);
    if (entry >= 0) {
        m_page->setLifecycleState(QWebEnginePage::LifecycleState::Active);
        history.goToItem(history.itemAt(entry));
    } else {
        m_page->load(url);
    }
    m_page->setVisible(true);
}
