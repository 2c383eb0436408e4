#include "LoopbackHttpServer.h"

#include <QHostAddress>
#include <QSslServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

// More than any browser sends for a GET; a longer head is refused, not buffered.
constexpr qsizetype MaxRequestHeadBytes = 64 * 1024;

// The value of the header called name in a request head; empty when absent.
QByteArray headerValue(const QByteArray &head, const QByteArray &name)
{
    const QList<QByteArray> lines = head.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0 && lines[i].left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return lines[i].mid(colon + 1).trimmed();
    }
    return {};
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer(const QSslConfiguration *tls)
    : m_server(tls ? new QSslServer(this) : new QTcpServer(this))
    , m_scheme(tls ? QStringLiteral("https") : QStringLiteral("http"))
{
    if (tls)
        static_cast<QSslServer *>(m_server)->setSslConfiguration(*tls);
    // A TLS connection is counted when it arrives, but is served only once
    // its handshake has succeeded.
    connect(m_server, &QTcpServer::newConnection, this, [this] { ++m_connectionCount; });
    connect(m_server, &QTcpServer::pendingConnectionAvailable, this, &LoopbackHttpServer::accept);
    m_server->listen(QHostAddress::LocalHost, 0);
}

QUrl LoopbackHttpServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("%1://127.0.0.1:%2%3").arg(m_scheme).arg(port()).arg(path));
}

void LoopbackHttpServer::setRoute(const QString &path, const QByteArray &body,
                                  const QByteArray &contentType, int status,
                                  const Headers &extraHeaders)
{
    Route &route = m_routes[path];
    route.status = status;
    route.contentType = contentType;
    route.body = body;
    route.extraHeaders = extraHeaders;
}

void LoopbackHttpServer::setRedirect(const QString &path, const QString &target)
{
    setRoute(path, QByteArray(), "text/html; charset=utf-8", 302, {{"Location", target.toUtf8()}});
}

void LoopbackHttpServer::setDelay(const QString &path, int ms)
{
    m_routes[path].delayMs = ms;
}

void LoopbackHttpServer::requireBasicAuth(const QString &path, const QByteArray &realm,
                                          const QByteArray &user, const QByteArray &password)
{
    Route &route = m_routes[path];
    route.authorization = "Basic " + (user + ':' + password).toBase64();
    route.realm = realm;
}

void LoopbackHttpServer::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        // A client that connects and never asks (a speculative connection) or
        // never lets go is cut, so no test can hang on it.
        auto *deadline = new QTimer(socket);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        deadline->start(RequestTimeoutMs);

        connect(socket, &QTcpSocket::readyRead, this,
                [this, socket, deadline] { readRequest(socket, deadline); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void LoopbackHttpServer::readRequest(QTcpSocket *socket, QTimer *deadline)
{
    const QByteArray buffered = socket->peek(socket->bytesAvailable());
    const qsizetype headEnd = buffered.indexOf("\r\n\r\n");
    if (headEnd < 0 && buffered.size() <= MaxRequestHeadBytes)
        return; // the rest of the head is still on its way

    // One request per connection: whatever follows the head is not read.
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);

    const QList<QByteArray> requestLine = buffered.left(buffered.indexOf("\r\n")).split(' ');
    if (headEnd < 0 || requestLine.size() != 3 || !requestLine[2].startsWith("HTTP/")) {
        socket->abort(); // not a request the engine would make
        return;
    }

    const QByteArray &method = requestLine[0];
    const QByteArray &target = requestLine[1];
    const QString path = QString::fromUtf8(target.split('?').constFirst());
    m_requestedPaths.append(path);

    Route route = m_routes.value(path);
    if (!route.authorization.isEmpty() &&
        headerValue(buffered.left(headEnd), "Authorization") != route.authorization)
        route = challenge(route);
    deadline->start(route.delayMs + ResponseTimeoutMs);
    // The socket as context: a client that gives up before the answer is due
    // takes the pending answer with it.
    QTimer::singleShot(route.delayMs, socket,
                       [this, socket, method, route] { answer(socket, method, route); });
}

void LoopbackHttpServer::answer(QTcpSocket *socket, const QByteArray &method, const Route &route)
{
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    socket->write(response(method, route));
    socket->disconnectFromHost();
}

LoopbackHttpServer::Route LoopbackHttpServer::challenge(const Route &route)
{
    Route refusal;
    refusal.status = 401;
    refusal.contentType = "text/html; charset=utf-8";
    // An icon of its own, or the engine asks for /favicon.ico once the test is over.
    refusal.body = "<!doctype html><title>Sign-in required</title><link rel=icon href='data:,'>";
    refusal.extraHeaders = {{"WWW-Authenticate", "Basic realm=\"" + route.realm + '"'}};
    refusal.delayMs = route.delayMs;
    return refusal;
}

QByteArray LoopbackHttpServer::response(const QByteArray &method, const Route &route)
{
    // Clients ignore the reason phrase.
    QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + " Status\r\n";
    head += "Content-Type: " + route.contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
    head += "Cache-Control: no-store\r\n";
    head += "Connection: close\r\n";
    for (const auto &[name, value] : route.extraHeaders)
        head += name + ": " + value + "\r\n";
    head += "\r\n";
    return method == "HEAD" ? head : head + route.body;
}
