#include "EngineUnderTest.h"
#include "LoopbackHttpServer.h"
#include "TempWorkingDir.h"
#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QTemporaryDir>
#include <QWebEngineHistory>

#include <csignal>
#include <memory>

namespace {

constexpr int PopupCount = 100;
// What a page that opens windows unasked gets to run before it is checked.
constexpr int SettleMs = 500;
// Long enough to kill a renderer while the server holds the answer.
constexpr int HeldResponseMs = 1500;

// A link or button covering the top left corner of the page, where tests click.
QByteArray corner(const QByteArray &element)
{
    return "<" + element +
           " style='position:absolute;left:0;top:0;width:300px;height:200px;display:block'>"
           "Open</" +
           element.split(' ').constFirst() + ">";
}

QString fileUrl(const QString &name)
{
    return QUrl::fromLocalFile(QDir::current().absoluteFilePath(name)).toString();
}

} // namespace

class tst_PageEvents : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newWindowOpensInTheView_data();
    void newWindowOpensInTheView();
    void scriptCannotOpenWindowsUnasked();
    void rendererKilledShowsWhatHappened();
    void rendererKilledWhileAPageLoads();
    void brokenCertificateIsRefused();
    void localPageReachesNothing_data();
    void localPageReachesNothing();

private:
    // Shows path and waits until it has loaded.
    void show(const QString &path);

    LoopbackHttpServer m_server;
    std::unique_ptr<EngineUnderTest> m_engine;
};

void tst_PageEvents::initTestCase()
{
    QVERIFY2(m_server.isListening(), qPrintable(m_server.errorString()));
    m_server.setRoute("/one", page("One"));
    m_server.setRoute("/two", page("Two"));
}

void tst_PageEvents::init()
{
    m_engine = std::make_unique<EngineUnderTest>();
    QVERIFY(m_engine->isExposed());
    m_server.clearLog();
}

void tst_PageEvents::cleanup()
{
    m_engine.reset();
}

void tst_PageEvents::show(const QString &path)
{
    QVERIFY(m_engine->show(m_server.url(path)));
}

void tst_PageEvents::newWindowOpensInTheView_data()
{
    QTest::addColumn<QByteArray>("opener");

    QTest::newRow("link with target _blank") << corner("a href='/two' target=_blank");
    QTest::newRow("window.open on a click") << corner("div onclick=\"window.open('/two')\"");
}

void tst_PageEvents::newWindowOpensInTheView()
{
    QFETCH(QByteArray, opener);
    m_server.setRoute("/opener", page("Opener", opener));
    show("/opener");

    QVERIFY(m_engine->clickAt(QPoint(20, 20)));

    QTRY_COMPARE_WITH_TIMEOUT(m_engine->title(), QString("Two"), LoadTimeoutMs);
    QCOMPARE(m_engine->browser->LocationURL(), m_server.url("/two").toString());
    m_engine->browser->GoBack();
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->title(), QString("Opener"), LoadTimeoutMs);
    QCOMPARE(m_engine->browser->LocationURL(), m_server.url("/opener").toString());
    QTRY_VERIFY_WITH_TIMEOUT(!m_engine->browser->Busy(), LoadTimeoutMs);
}

void tst_PageEvents::scriptCannotOpenWindowsUnasked()
{
    m_server.setRoute("/popups", page("Popups", "<script>for (let i = 0; i < " +
                                                    QByteArray::number(PopupCount) +
                                                    "; ++i) window.open('/two');</script>"));
    int requests = 0;
    const QObject counter;
    connect(m_engine->page(), &QWebEnginePage::newWindowRequested, &counter, [&] { ++requests; });

    show("/popups");

    // Every request reached the engine's owner, and none took the window.
    QTRY_COMPARE_WITH_TIMEOUT(requests, PopupCount, LoadTimeoutMs);
    QTest::qWait(SettleMs);
    QCOMPARE(m_engine->title(), QString("Popups"));
    QCOMPARE(m_engine->browser->LocationURL(), m_server.url("/popups").toString());
    QVERIFY(!m_engine->browser->Busy());
    QVERIFY(!m_engine->page()->history()->canGoBack());
}

void tst_PageEvents::rendererKilledShowsWhatHappened()
{
    show("/one");
    const auto *rendererGone = m_engine->browser->findChild<QLabel *>();
    QVERIFY(rendererGone);

    // Again and again: each new renderer must be followed as the first was.
    for (int kill = 1; kill <= 5; ++kill) {
        const qint64 pid = m_engine->page()->renderProcessPid();
        QVERIFY2(pid > 0, qPrintable(QStringLiteral("kill %1: no renderer").arg(kill)));
        const int requestsBefore = m_server.requestCount("/one");

        QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);

        QTRY_VERIFY_WITH_TIMEOUT(rendererGone->isVisible(), LoadTimeoutMs);
        QVERIFY(!m_engine->browser->Busy());
        QVERIFY2(rendererGone->text().contains("The page's renderer was killed."),
                 qPrintable(rendererGone->text()));
        QVERIFY(rendererGone->text().contains(m_server.url("/one").toString()));
        QCOMPARE(m_engine->browser->LocationURL(), m_server.url("/one").toString());

        m_engine->browser->Refresh();

        QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount("/one"), requestsBefore + 1, LoadTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!m_engine->browser->Busy(), LoadTimeoutMs);
        QVERIFY(!rendererGone->isVisible());
        QCOMPARE(m_engine->evaluate("document.title").toString(), QString("One"));
        QCOMPARE(m_engine->browser->LocationURL(), m_server.url("/one").toString());
    }
}

void tst_PageEvents::rendererKilledWhileAPageLoads()
{
    m_server.setRoute("/held", page("Held"));
    m_server.setDelay("/held", HeldResponseMs);
    show("/one");
    const auto *rendererGone = m_engine->browser->findChild<QLabel *>();
    m_engine->browser->Navigate(m_server.url("/held").toString());
    QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount("/held"), 1, LoadTimeoutMs);
    QVERIFY(m_engine->browser->Busy());

    QCOMPARE(::kill(pid_t(m_engine->page()->renderProcessPid()), SIGKILL), 0);

    QTRY_VERIFY_WITH_TIMEOUT(rendererGone->isVisible(), LoadTimeoutMs);
    QVERIFY(!m_engine->browser->Busy());
    QCOMPARE(m_engine->browser->LocationURL(), m_server.url("/one").toString());
    QVERIFY(rendererGone->text().contains(m_server.url("/one").toString()));
    // The engine goes on with the load the user asked for, and shows its page.
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->title(), QString("Held"), LoadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!rendererGone->isVisible(), LoadTimeoutMs);
    QCOMPARE(m_engine->browser->LocationURL(), m_server.url("/held").toString());
}

void tst_PageEvents::brokenCertificateIsRefused()
{
    // A certificate of the test's own, trusted by nobody.
    QTemporaryDir keys;
    QVERIFY(keys.isValid());
    QProcess openssl;
    openssl.start("openssl",
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                   "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout",
                   keys.filePath("key.pem"), "-out", keys.filePath("cert.pem")});
    QVERIFY2(openssl.waitForFinished(LoadTimeoutMs), qPrintable(openssl.errorString()));
    QVERIFY2(openssl.exitCode() == 0, openssl.readAllStandardError().constData());
    QFile certificate(keys.filePath("cert.pem"));
    QFile key(keys.filePath("key.pem"));
    QVERIFY(certificate.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly));
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate(&certificate));
    tls.setPrivateKey(QSslKey(&key, QSsl::Rsa));
    LoopbackHttpServer secure(tls);
    QVERIFY2(secure.isListening(), qPrintable(secure.errorString()));
    secure.setRoute("/secret", page("Secret", "<p>Secret content</p>"));

    // Refused on every visit: nothing is remembered from the first.
    for (int visit = 1; visit <= 2; ++visit) {
        show("/one");
        secure.clearLog();
        QSignalSpy finished(m_engine->page(), &QWebEnginePage::loadFinished);

        m_engine->browser->Navigate(secure.url("/secret").toString());

        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, LoadTimeoutMs);
        QVERIFY(!finished.first().first().toBool());
        QVERIFY(!m_engine->browser->Busy());
        QVERIFY(secure.connectionCount() > 0);
        QCOMPARE(secure.requestedPaths(), QStringList());
        QVERIFY(m_engine->title() != "Secret");
        QVERIFY(!m_engine->evaluate("document.body.innerText").toString().contains("Secret"));
    }
}

void tst_PageEvents::localPageReachesNothing_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("request");

    const QByteArray fetch = "fetch(TARGET).then(answer => answer.text()).then(done, refused);";
    const QByteArray xhr = "const request = new XMLHttpRequest(); request.onload = () => "
                           "done(request.responseText); request.onerror = refused; "
                           "request.open('GET', TARGET); request.send();";
    const QString remote = m_server.url("/one").toString();

    QTest::newRow("fetch of another local file") << "secret.txt" << fetch;
    QTest::newRow("XHR of another local file") << "secret.txt" << xhr;
    QTest::newRow("fetch from a server") << remote << fetch;
    QTest::newRow("XHR from a server") << remote << xhr;
}

void tst_PageEvents::localPageReachesNothing()
{
    QFETCH(QString, target);
    QFETCH(QByteArray, request);
    writeFile("secret.txt", "secret");
    request.replace("TARGET", "'" + target.toUtf8() + "'");
    writeFile("reader.html",
              page("Reading", "<script>function done(text) { document.title = 'read ' + text; }"
                              "function refused() { document.title = 'refused'; }" +
                                  request + "</script>"));

    m_engine->browser->Navigate(fileUrl("reader.html"));

    QTRY_VERIFY_WITH_TIMEOUT(
        m_engine->title() == "refused" || m_engine->title().startsWith("read "), LoadTimeoutMs);
    QCOMPARE(m_engine->title(), QString("refused"));
    QCOMPARE(m_server.connectionCount(), 0);
}

CORVANE_TEST_MAIN(tst_PageEvents)
#include "tst_pageevents.moc"
