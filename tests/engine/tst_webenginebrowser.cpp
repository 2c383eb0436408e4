#include "EngineUnderTest.h"
#include "LoopbackHttpServer.h"
#include "TempWorkingDir.h"
#include "TestMain.h"
#include "engine/HungPageStopper.h"
#include "window/layout/Twips.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>
#include <optional>

using EngineAction = void (BrowserEngine::*)();
Q_DECLARE_METATYPE(EngineAction)

namespace {

constexpr int SlowResponseMs = 1000;
// Long enough that only Stop can end the load within StopTimeoutMs.
constexpr int StalledResponseMs = 4000;
constexpr int StopTimeoutMs = 2000;

} // namespace

class tst_WebEngineBrowser : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void navigateLoadsThePage();
    void busyWhileTheResponseIsHeld();
    void busyEndsWhenStopped();
    void busyFollowsALoadThatReplacesAnother();
    void busyEndsWhenTheLoadFails();
    void locationFollowsARedirect();
    void addressIsReadLikeAnAddressBar_data();
    void addressIsReadLikeAnAddressBar();
    void backAndForwardWalkTheHistory();
    void refreshRequestsThePageAgain();
    void actionsWithNothingToActOnDoNoHarm_data();
    void actionsWithNothingToActOnDoNoHarm();
    void placementReadsBackAsSet_data();
    void placementReadsBackAsSet();
    void focusGivenToTheEngineReachesThePage();

private:
    QString location(const QString &path) const { return m_server.url(path).toString(); }

    LoopbackHttpServer m_server;
    std::unique_ptr<EngineUnderTest> m_engine;
    // The engine under test; owned by m_engine.
    WebEngineBrowser *m_browser = nullptr;
};

void tst_WebEngineBrowser::initTestCase()
{
    QVERIFY2(m_server.isListening(), qPrintable(m_server.errorString()));
    m_server.setRoute("/one", page("One"));
    m_server.setRoute("/two", page("Two"));
    m_server.setRoute("/slow", page("Slow"));
    m_server.setDelay("/slow", SlowResponseMs);
    m_server.setRoute("/stalled", page("Stalled"));
    m_server.setDelay("/stalled", StalledResponseMs);
    m_server.setRedirect("/moved", "/slow");

    writeFile("relative.html", page("Relative"));
    writeFile("absolute.html", page("Absolute"));
}

void tst_WebEngineBrowser::init()
{
    m_server.clearLog();
    m_engine = std::make_unique<EngineUnderTest>();
    m_browser = m_engine->browser;
    QVERIFY(m_engine->isExposed());
}

void tst_WebEngineBrowser::cleanup()
{
    m_engine.reset();
}

void tst_WebEngineBrowser::navigateLoadsThePage()
{
    QCOMPARE(m_browser->LocationURL(), QString());

    m_browser->Navigate(m_server.url("/one").toString());

    QTRY_COMPARE_WITH_TIMEOUT(m_engine->title(), QString("One"), LoadTimeoutMs);
    QVERIFY(m_server.requestedPaths().contains("/one"));
    QCOMPARE(m_browser->LocationURL(), location("/one"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_browser->Busy(), LoadTimeoutMs);
}

void tst_WebEngineBrowser::busyWhileTheResponseIsHeld()
{
    m_browser->Navigate(m_server.url("/slow").toString());

    QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount("/slow"), 1, LoadTimeoutMs);
    // The server holds the answer back, so the load cannot have ended yet.
    QVERIFY(m_browser->Busy());
    QCOMPARE(m_browser->LocationURL(), location("/slow"));

    QTRY_VERIFY_WITH_TIMEOUT(!m_browser->Busy(), LoadTimeoutMs);
    QCOMPARE(m_engine->title(), QString("Slow"));
}

void tst_WebEngineBrowser::busyEndsWhenStopped()
{
    m_browser->Navigate(m_server.url("/one").toString());
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->title(), QString("One"), LoadTimeoutMs);
    m_browser->Navigate(m_server.url("/stalled").toString());
    QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount("/stalled"), 1, LoadTimeoutMs);
    QVERIFY(m_browser->Busy());
    QCOMPARE(m_browser->LocationURL(), location("/stalled"));

    m_browser->Stop();

    QTRY_VERIFY_WITH_TIMEOUT(!m_browser->Busy(), StopTimeoutMs);
    // The page still shown is the one the location names.
    QCOMPARE(m_browser->LocationURL(), location("/one"));
    QCOMPARE(m_engine->title(), QString("One"));
    // A page that answers keeps its renderer: only a hung one is ended.
    const qint64 renderer = m_engine->page()->renderProcessPid();
    QTest::qWait(HungPageStopper::GraceMs + 1000);
    QCOMPARE(m_engine->page()->renderProcessPid(), renderer);
}

void tst_WebEngineBrowser::busyFollowsALoadThatReplacesAnother()
{
    m_browser->Navigate(m_server.url("/stalled").toString());
    QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount("/stalled"), 1, LoadTimeoutMs);

    m_browser->Navigate(m_server.url("/slow").toString());

    // The first load ends by being replaced; the second is still held.
    QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount("/slow"), 1, LoadTimeoutMs);
    QVERIFY(m_browser->Busy());
    QCOMPARE(m_browser->LocationURL(), location("/slow"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_browser->Busy(), LoadTimeoutMs);
    QCOMPARE(m_engine->title(), QString("Slow"));
}

void tst_WebEngineBrowser::busyEndsWhenTheLoadFails()
{
    QUrl refused;
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        refused = QUrl(QStringLiteral("http://127.0.0.1:%1/gone").arg(closed.serverPort()));
    }

    m_browser->Navigate(refused.toString());

    // The engine shows its own error page for the address it could not load;
    // the location changes only once the load has begun.
    QTRY_COMPARE_WITH_TIMEOUT(m_browser->LocationURL(), refused.toString(), LoadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!m_browser->Busy(), LoadTimeoutMs);
}

void tst_WebEngineBrowser::locationFollowsARedirect()
{
    m_browser->Navigate(m_server.url("/moved").toString());

    // Already while the target is loading, not only once it is shown.
    QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount("/slow"), 1, LoadTimeoutMs);
    QVERIFY(m_browser->Busy());
    QCOMPARE(m_browser->LocationURL(), location("/slow"));
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->title(), QString("Slow"), LoadTimeoutMs);
    QCOMPARE(m_browser->LocationURL(), location("/slow"));
    QCOMPARE(m_server.requestedPaths().mid(0, 2), QStringList({"/moved", "/slow"}));
}

void tst_WebEngineBrowser::addressIsReadLikeAnAddressBar_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("expectedLocation");
    QTest::addColumn<QString>("expectedTitle");
    QTest::addColumn<QStringList>("expectedRequests");

    const QString port = QString::number(m_server.port());
    const QString absolute = QDir::current().absoluteFilePath("absolute.html");
    QTest::newRow("host and port without a scheme")
        << "127.0.0.1:" + port + "/one" << location("/one") << "One" << QStringList{"/one"};
    QTest::newRow("localhost without a scheme") << "localhost:" + port + "/two"
                                                << "http://localhost:" + port + "/two"
                                                << "Two" << QStringList{"/two"};
    QTest::newRow("file in the current directory")
        << "relative.html"
        << QUrl::fromLocalFile(QDir::current().absoluteFilePath("relative.html")).toString()
        << "Relative" << QStringList();
    QTest::newRow("absolute path")
        << absolute << QUrl::fromLocalFile(absolute).toString() << "Absolute" << QStringList();
    QTest::newRow("empty") << ""
                           << "about:blank"
                           << "" << QStringList();
    QTest::newRow("only spaces") << "   "
                                 << "about:blank"
                                 << "" << QStringList();
}

void tst_WebEngineBrowser::addressIsReadLikeAnAddressBar()
{
    QFETCH(QString, address);
    QFETCH(QString, expectedLocation);
    QFETCH(QString, expectedTitle);
    QFETCH(QStringList, expectedRequests);

    m_browser->Navigate(address);

    QTRY_COMPARE_WITH_TIMEOUT(m_browser->LocationURL(), expectedLocation, LoadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!m_browser->Busy(), LoadTimeoutMs);
    QCOMPARE(m_engine->evaluate("document.title").toString(), expectedTitle);
    QStringList requests = m_server.requestedPaths();
    requests.removeAll("/favicon.ico");
    QCOMPARE(requests, expectedRequests);
}

void tst_WebEngineBrowser::backAndForwardWalkTheHistory()
{
    m_browser->Navigate(m_server.url("/one").toString());
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->title(), QString("One"), LoadTimeoutMs);
    m_browser->Navigate(m_server.url("/two").toString());
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->title(), QString("Two"), LoadTimeoutMs);

    m_browser->GoBack();
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->title(), QString("One"), LoadTimeoutMs);
    QCOMPARE(m_browser->LocationURL(), location("/one"));
    QCOMPARE(m_server.requestCount("/one"), 2);

    m_browser->GoForward();
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->title(), QString("Two"), LoadTimeoutMs);
    QCOMPARE(m_browser->LocationURL(), location("/two"));
    QCOMPARE(m_server.requestCount("/two"), 2);
    QTRY_VERIFY_WITH_TIMEOUT(!m_browser->Busy(), LoadTimeoutMs);
}

void tst_WebEngineBrowser::refreshRequestsThePageAgain()
{
    m_browser->Navigate(m_server.url("/one").toString());
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->title(), QString("One"), LoadTimeoutMs);
    QVERIFY(m_engine->evaluate("window.marker = 'before'; true").toBool());

    m_browser->Refresh();

    QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount("/one"), 2, LoadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!m_browser->Busy(), LoadTimeoutMs);
    // A new document, not the old one kept.
    QCOMPARE(m_engine->evaluate("typeof window.marker").toString(), QString("undefined"));
    QCOMPARE(m_browser->LocationURL(), location("/one"));
}

void tst_WebEngineBrowser::actionsWithNothingToActOnDoNoHarm_data()
{
    QTest::addColumn<EngineAction>("action");
    QTest::addColumn<bool>("afterOnePage");

    const QList<QPair<const char *, EngineAction>> actions = {
        {"GoBack", &BrowserEngine::GoBack},
        {"GoForward", &BrowserEngine::GoForward},
        {"Stop", &BrowserEngine::Stop},
        {"Refresh", &BrowserEngine::Refresh},
    };
    for (const auto &[name, action] : actions) {
        QTest::addRow("%s on a fresh view", name) << action << false;
        QTest::addRow("%s after one page", name) << action << true;
    }
}

void tst_WebEngineBrowser::actionsWithNothingToActOnDoNoHarm()
{
    QFETCH(EngineAction, action);
    QFETCH(bool, afterOnePage);

    if (afterOnePage) {
        m_browser->Navigate(m_server.url("/one").toString());
        QTRY_COMPARE_WITH_TIMEOUT(m_engine->title(), QString("One"), LoadTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!m_browser->Busy(), LoadTimeoutMs);
    }
    const QString before = m_browser->LocationURL();

    (m_browser->*action)();

    QTRY_VERIFY_WITH_TIMEOUT(!m_browser->Busy(), LoadTimeoutMs);
    QCOMPARE(m_browser->LocationURL(), before);
    // The view still loads what it is given.
    m_browser->Navigate(m_server.url("/two").toString());
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->title(), QString("Two"), LoadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!m_browser->Busy(), LoadTimeoutMs);
}

void tst_WebEngineBrowser::placementReadsBackAsSet_data()
{
    QTest::addColumn<float>("top");
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<bool>("collapsed");

    QTest::newRow("twips between pixels") << 3614.5f << 7207.25f << 4321.75f << false;
    QTest::newRow("negative height") << 360.0f << 6000.0f << -1500.0f << true;
}

void tst_WebEngineBrowser::placementReadsBackAsSet()
{
    QFETCH(float, top);
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(bool, collapsed);

    // Placed in twips, as the window places it.
    const TwipsPlacement placement(m_browser, 0, top, width, height);

    QCOMPARE(placement.Top(), top);
    QCOMPARE(placement.Width(), width);
    QCOMPARE(placement.Height(), height);
    QCOMPARE(m_browser->height() == 0, collapsed);
    // The page fills the engine view, whatever its size.
    QTRY_COMPARE_WITH_TIMEOUT(m_browser->view()->geometry(), m_browser->rect(), LoadTimeoutMs);
}

void tst_WebEngineBrowser::focusGivenToTheEngineReachesThePage()
{
    // The engine drops keys until the page has first been painted.
    m_server.setRoute("/form", page("Form", R"(<p>Type here:</p><input id=field><script>
        new PerformanceObserver(() => { document.title = 'Painted'; })
            .observe({type: 'paint', buffered: true});
        </script>)"));
    m_browser->Navigate(m_server.url("/form").toString());
    QTRY_COMPARE_WITH_TIMEOUT(m_engine->title(), QString("Painted"), LoadTimeoutMs);
    m_browser->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_browser->window()));

    m_browser->setFocus();

    QTRY_VERIFY_WITH_TIMEOUT(m_browser->view()->isAncestorOf(QApplication::focusWidget()),
                             LoadTimeoutMs);
    QVERIFY(m_engine->evaluate("document.getElementById('field').focus(); document.hasFocus()")
                .toBool());
    QTest::keyClicks(QApplication::focusWidget(), "typed");
    QTRY_COMPARE_WITH_TIMEOUT(
        m_engine->evaluate("document.getElementById('field').value").toString(), QString("typed"),
        LoadTimeoutMs);
}

CORVANE_TEST_MAIN(tst_WebEngineBrowser)
#include "tst_webenginebrowser.moc"
