#include "EngineTestCase.h"
#include "TempWorkingDir.h"
#include "TestMain.h"

#include <QLabel>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QTemporaryDir>
#include <QWebEngineHistory>

#include <csignal>

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

} // namespace

class tst_PageEvents : public EngineTestCase {
    Q_OBJECT

private slots:
    void newWindowOpensInTheView_data()
    {
        QTest::addColumn<QByteArray>("opener");

        QTest::newRow("link with target _blank") << corner("a href='/two' target=_blank");
        QTest::newRow("window.open on a click") << corner("div onclick=\"window.open('/two')\"");
    }
    void newWindowOpensInTheView()
    {
        QFETCH(QByteArray, opener);
        server.setRoute("/opener", page("Opener", opener));
        show("/opener");

        QVERIFY(clickAt(QPoint(20, 20)));

        QTRY_COMPARE_WITH_TIMEOUT(title(), QString("Two"), LoadTimeoutMs);
        QCOMPARE(browser->LocationURL(), location("/two"));
        browser->GoBack();
        QTRY_COMPARE_WITH_TIMEOUT(title(), QString("Opener"), LoadTimeoutMs);
        QCOMPARE(browser->LocationURL(), location("/opener"));
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), LoadTimeoutMs);
    }

    void scriptCannotOpenWindowsUnasked()
    {
        server.setRoute("/popups", page("Popups", "<script>for (let i = 0; i < " +
                                                      QByteArray::number(PopupCount) +
                                                      "; ++i) window.open('/two');</script>"));
        int requests = 0;
        const QObject counter;
        connect(webPage(), &QWebEnginePage::newWindowRequested, &counter, [&] { ++requests; });

        show("/popups");

        // Every request reached the engine's owner, and none took the window.
        QTRY_COMPARE_WITH_TIMEOUT(requests, PopupCount, LoadTimeoutMs);
        QTest::qWait(SettleMs);
        QCOMPARE(title(), QString("Popups"));
        QCOMPARE(browser->LocationURL(), location("/popups"));
        QVERIFY(!browser->Busy());
        QVERIFY(!webPage()->history()->canGoBack());
    }

    void rendererKilledShowsWhatHappened()
    {
        show("/one");
        const auto *rendererGone = browser->findChild<QLabel *>();
        QVERIFY(rendererGone);

        // Again and again: each new renderer must be followed as the first was.
        for (int kill = 1; kill <= 5; ++kill) {
            const qint64 pid = webPage()->renderProcessPid();
            QVERIFY2(pid > 0, qPrintable(QStringLiteral("kill %1: no renderer").arg(kill)));
            const int requestsBefore = server.requestCount("/one");

            QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);

            QTRY_VERIFY_WITH_TIMEOUT(rendererGone->isVisible(), LoadTimeoutMs);
            QVERIFY(!browser->Busy());
            QVERIFY2(rendererGone->text().contains("The page's renderer was killed."),
                     qPrintable(rendererGone->text()));
            QVERIFY(rendererGone->text().contains(location("/one")));
            QCOMPARE(browser->LocationURL(), location("/one"));

            browser->Refresh();

            QTRY_COMPARE_WITH_TIMEOUT(server.requestCount("/one"), requestsBefore + 1,
                                      LoadTimeoutMs);
            QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), LoadTimeoutMs);
            QVERIFY(!rendererGone->isVisible());
            QCOMPARE(evaluate("document.title").toString(), QString("One"));
            QCOMPARE(browser->LocationURL(), location("/one"));
        }
    }

    void rendererKilledWhileAPageLoads()
    {
        server.setRoute("/held", page("Held"));
        server.setDelay("/held", HeldResponseMs);
        show("/one");
        const auto *rendererGone = browser->findChild<QLabel *>();
        browser->Navigate(location("/held"));
        QTRY_COMPARE_WITH_TIMEOUT(server.requestCount("/held"), 1, LoadTimeoutMs);
        QVERIFY(browser->Busy());

        QCOMPARE(::kill(pid_t(webPage()->renderProcessPid()), SIGKILL), 0);

        QTRY_VERIFY_WITH_TIMEOUT(rendererGone->isVisible(), LoadTimeoutMs);
        QVERIFY(!browser->Busy());
        QCOMPARE(browser->LocationURL(), location("/one"));
        QVERIFY(rendererGone->text().contains(location("/one")));
        // The engine goes on with the load the user asked for, and shows its page.
        QTRY_COMPARE_WITH_TIMEOUT(title(), QString("Held"), LoadTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!rendererGone->isVisible(), LoadTimeoutMs);
        QCOMPARE(browser->LocationURL(), location("/held"));
    }

    void brokenCertificateIsRefused()
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
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(QSslCertificate(fileBytes(keys.filePath("cert.pem"))));
        tls.setPrivateKey(QSslKey(fileBytes(keys.filePath("key.pem")), QSsl::Rsa));
        QVERIFY(!tls.localCertificate().isNull() && !tls.privateKey().isNull());
        LoopbackHttpServer secure(&tls);
        QVERIFY2(secure.isListening(), qPrintable(secure.errorString()));
        secure.setRoute("/secret", page("Secret", "<p>Secret content</p>"));

        // Refused on every visit: nothing is remembered from the first.
        for (int visit = 1; visit <= 2; ++visit) {
            show("/one");
            secure.clearLog();
            QSignalSpy finished(webPage(), &QWebEnginePage::loadFinished);

            browser->Navigate(secure.url("/secret").toString());

            QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, LoadTimeoutMs);
            QVERIFY(!finished.first().first().toBool());
            QVERIFY(!browser->Busy());
            QVERIFY(secure.connectionCount() > 0);
            QCOMPARE(secure.requestedPaths(), QStringList());
            QVERIFY(title() != "Secret");
            QVERIFY(!evaluate("document.body.innerText").toString().contains("Secret"));
        }
    }

    void localPageReadsNoOtherFile_data()
    {
        QTest::addColumn<QByteArray>("request");

        const QByteArray fetch =
            "fetch('secret.txt').then(answer => answer.text()).then(done, refused);";
        const QByteArray xhr = "const request = new XMLHttpRequest(); request.onload = () => "
                               "done(request.responseText); request.onerror = refused; "
                               "request.open('GET', 'secret.txt'); request.send();";
        // What it asks of a server is test_network's, end to end.
        QTest::newRow("fetch") << fetch;
        QTest::newRow("XHR") << xhr;
    }
    void localPageReadsNoOtherFile()
    {
        QFETCH(QByteArray, request);
        writeFile("secret.txt", "secret");
        writeFile("reader.html",
                  page("Reading", "<script>function done(text) { document.title = 'read ' + text; }"
                                  "function refused() { document.title = 'refused'; }" +
                                      request + "</script>"));

        browser->Navigate(fileUrl("reader.html"));

        QTRY_VERIFY_WITH_TIMEOUT(title() == "refused" || title().startsWith("read "),
                                 LoadTimeoutMs);
        QCOMPARE(title(), QString("refused"));
    }
};

CORVANE_TEST_MAIN(tst_PageEvents)
#include "tst_pageevents.moc"
