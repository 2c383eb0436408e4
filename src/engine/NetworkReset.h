#pragma once

#include <QList>
#include <QNetworkCookie>
#include <QObject>

class QWebEngineProfile;

// Ends at once every connection a profile holds: its pages' WebSockets, event
// streams and responses still arriving, its workers' and service workers'
// connections, idle ones kept for later. Qt WebEngine (6.4 to 6.8 at least)
// has no call for that, but it starts a profile's network afresh whenever a
// cache setting changes, which ends them all. Every cookie is handed on to the
// new network: those of the session live only in the old one's memory, and
// lasting ones that the old one had not yet written, or whose database the new
// one found still in the old one's hands, would be lost too (sign-ins to a
// site's sign-in box are not handed on: they are asked for again). The profile
// must be kept on disk: one in memory alone is never started afresh. A
// download is not told that its connection has ended, and waits for ever: end
// the downloads first.
class NetworkReset : public QObject {
    Q_OBJECT

public:
    explicit NetworkReset(QWebEngineProfile *profile);

    void closeAllConnections();

private:
    void keep(const QNetworkCookie &cookie);
    void forget(const QNetworkCookie &cookie);
    void restore(QNetworkCookie cookie);

    QWebEngineProfile *m_profile;
    QList<QNetworkCookie> m_cookies;
};
