#pragma once

#include <QObject>
#include <QUrl>

class NetworkGate;
class QWebEngineNavigationRequest;
class QWebEnginePage;

// Makes a page opened from a local file go before the page from the network
// that replaces it arrives: the gate refuses the load of the user's, the local
// page is discarded, its renderer ended with all it has open, and the load is
// asked for again. The engine would otherwise keep the local page running,
// its peer connections included, until the new page comes.
class LocalPageExit : public QObject {
    Q_OBJECT

public:
    LocalPageExit(QWebEnginePage *page, NetworkGate *gate);

private:
    void noteNavigation(const QWebEngineNavigationRequest &request);
    void leaveFor(const QUrl &requestUrl);

    QWebEnginePage *m_page;
    NetworkGate *m_gate;
    // The page's last navigation: its address, fragment included, and
    // whether it moves in the history.
    QUrl m_navigationUrl;
    bool m_movesInHistory = false;
};
