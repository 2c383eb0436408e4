#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

class QSslConfiguration;
class QTcpSocket;
class QTimer;

// A tiny HTTP/1.1 server on 127.0.0.1, on an ephemeral port from construction
// on, HTTPS given a TLS configuration. It answers from the event loop of its
// thread, so a test lets the loop run (QTRY_*, QSignalSpy::wait) while the
// engine, on threads of its own, waits. Every answer says "Cache-Control:
// no-store" and "Connection: close", so that the engine asks again for every
// load, Back and Forward included. Unknown paths get 404. Nothing waits
// forever: a connection silent for RequestTimeoutMs, or still open
// ResponseTimeoutMs after its answer was due, is cut.
class LoopbackHttpServer : public QObject {
    Q_OBJECT

public:
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    static constexpr int RequestTimeoutMs = 5000;
    static constexpr int ResponseTimeoutMs = 5000;

    explicit LoopbackHttpServer(const QSslConfiguration *tls = nullptr);

    // False if no port could be had; errorString() then says why.
    bool isListening() const { return m_server->isListening(); }
    QString errorString() const { return m_server->errorString(); }
    quint16 port() const { return m_server->serverPort(); }

    // A port of 127.0.0.1 on which nothing listens now; 0 if none could be had.
    static quint16 freePort()
    {
        QTcpServer probe;
        return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
    }

    // http(s)://127.0.0.1:PORT followed by path, which starts with "/".
    QUrl url(const QString &path) const;

    // Serves body for path (the part of the request target before any "?"),
    // replacing what path served before, and keeping its delay.
    void setRoute(const QString &path, const QByteArray &body,
                  const QByteArray &contentType = "text/html; charset=utf-8", int status = 200,
                  const Headers &extraHeaders = {});
    // Answers path with "302 Found" and a Location of target.
    void setRedirect(const QString &path, const QString &target);
    // Holds every answer for path (404 included) for ms milliseconds.
    void setDelay(const QString &path, int ms);
    // Answers a request for path that does not sign in as user with password
    // (HTTP Basic) with "401 Unauthorized" and a challenge naming realm.
    void requireBasicAuth(const QString &path, const QByteArray &realm, const QByteArray &user,
                          const QByteArray &password);

    // The paths of all requests received, in order of arrival.
    QStringList requestedPaths() const { return m_requestedPaths; }
    int requestCount(const QString &path) const { return m_requestedPaths.count(path); }
    // Every connection accepted, also those that never sent a readable request
    // (a refused TLS handshake, a connection opened in advance).
    int connectionCount() const { return m_connectionCount; }
    void clearLog()
    {
        m_requestedPaths.clear();
        m_connectionCount = 0;
    }

private:
    struct Route {
        int status = 404;
        QByteArray contentType = "text/plain; charset=utf-8";
        QByteArray body = "Not found";
        Headers extraHeaders;
        int delayMs = 0;
        // The Authorization header a request must carry; none when empty.
        QByteArray authorization;
        QByteArray realm;
    };

    void accept();
    void readRequest(QTcpSocket *socket, QTimer *deadline);
    void answer(QTcpSocket *socket, const QByteArray &method, const Route &route);
    static QByteArray response(const QByteArray &method, const Route &route);
    static Route challenge(const Route &route);

    QTcpServer *m_server;
    QString m_scheme;
    QHash<QString, Route> m_routes;
    QStringList m_requestedPaths;
    int m_connectionCount = 0;
};
