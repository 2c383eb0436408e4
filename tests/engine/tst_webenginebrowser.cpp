#include "EngineTestCase.h"
#include "TempWorkingDir.h"
#include "TestMain.h"
#include "engine/HungPageStopper.h"

using EngineAction = void (BrowserEngine::*)();
Q_DECLARE_METATYPE(EngineAction)

constexpr int SlowResponseMs = 1000;
// Long enough that only Stop can end the load within StopTimeoutMs.
constexpr int StalledResponseMs = 4000;
constexpr int StopTimeoutMs = 2000;

class tst_WebEngineBrowser : public EngineTestCase {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        server.setRoute("/slow", page("Slow"));
        server.setDelay("/slow", SlowResponseMs);
        server.setRoute("/stalled", page("Stalled"));
        server.setDelay("/stalled", StalledResponseMs);
        server.setRedirect("/moved", "/slow");

        writeFile("relative.html", page("Relative"));
        writeFile("absolute.html", page("Absolute"));
    }

    void busyEndsWhenStopped()
    {
        show("/one");
        browser->Navigate(location("/stalled"));
        QTRY_COMPARE_WITH_TIMEOUT(server.requestCount("/stalled"), 1, LoadTimeoutMs);
        QVERIFY(browser->Busy());
        QCOMPARE(browser->LocationURL(), location("/stalled"));

        browser->Stop();

        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), StopTimeoutMs);
        // The page still shown is the one the location names.
        QCOMPARE(browser->LocationURL(), location("/one"));
        QCOMPARE(title(), QString("One"));
        // A page that answers keeps its renderer: only a hung one is ended.
        const qint64 renderer = webPage()->renderProcessPid();
        QTest::qWait(HungPageStopper::GraceMs + 1000);
        QCOMPARE(webPage()->renderProcessPid(), renderer);
    }

    void busyFollowsALoadThatReplacesAnother()
    {
        browser->Navigate(location("/stalled"));
        QTRY_COMPARE_WITH_TIMEOUT(server.requestCount("/stalled"), 1, LoadTimeoutMs);

        browser->Navigate(location("/slow"));

        // The first load ends by being replaced; the second is still held.
        QTRY_COMPARE_WITH_TIMEOUT(server.requestCount("/slow"), 1, LoadTimeoutMs);
        QVERIFY(browser->Busy());
        QCOMPARE(browser->LocationURL(), location("/slow"));
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), LoadTimeoutMs);
        QCOMPARE(title(), QString("Slow"));
    }

    void busyEndsWhenTheLoadFails()
    {
        const quint16 port = LoopbackHttpServer::freePort();
        QVERIFY(port != 0);
        const QString refused = QStringLiteral("http://127.0.0.1:%1/gone").arg(port);

        browser->Navigate(refused);

        // The engine shows its own error page for the address it could not load;
        // the location changes only once the load has begun.
        QTRY_COMPARE_WITH_TIMEOUT(browser->LocationURL(), refused, LoadTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), LoadTimeoutMs);
    }

    void locationFollowsARedirect()
    {
        browser->Navigate(location("/moved"));

        // Already while the target is loading, not only once it is shown.
        QTRY_COMPARE_WITH_TIMEOUT(server.requestCount("/slow"), 1, LoadTimeoutMs);
        QVERIFY(browser->Busy());
        QCOMPARE(browser->LocationURL(), location("/slow"));
        QTRY_COMPARE_WITH_TIMEOUT(title(), QString("Slow"), LoadTimeoutMs);
        QCOMPARE(browser->LocationURL(), location("/slow"));
        QCOMPARE(server.requestedPaths().mid(0, 2), QStringList({"/moved", "/slow"}));
    }

    void addressIsReadLikeAnAddressBar_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("expectedLocation");
        QTest::addColumn<QString>("expectedTitle");
        QTest::addColumn<QStringList>("expectedRequests");

        const QString port = QString::number(server.port());
        const QString absolute = QDir::current().absoluteFilePath("absolute.html");
        QTest::newRow("host and port without a scheme")
            << "127.0.0.1:" + port + "/one" << location("/one") << "One" << QStringList{"/one"};
        QTest::newRow("localhost without a scheme") << "localhost:" + port + "/two"
                                                    << "http://localhost:" + port + "/two"
                                                    << "Two" << QStringList{"/two"};
        QTest::newRow("file in the current directory")
            << "relative.html" << fileUrl("relative.html") << "Relative" << QStringList();
        QTest::newRow("absolute path")
            << absolute << QUrl::fromLocalFile(absolute).toString() << "Absolute" << QStringList();
        const QString blank = "about:blank";
        QTest::newRow("empty") << "" << blank << "" << QStringList();
        QTest::newRow("only spaces") << "   " << blank << "" << QStringList();
    }
    void addressIsReadLikeAnAddressBar()
    {
        QFETCH(QString, address);
        QFETCH(QString, expectedLocation);
        QFETCH(QString, expectedTitle);
        QFETCH(QStringList, expectedRequests);

        browser->Navigate(address);

        QTRY_COMPARE_WITH_TIMEOUT(browser->LocationURL(), expectedLocation, LoadTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), LoadTimeoutMs);
        QCOMPARE(evaluate("document.title").toString(), expectedTitle);
        QStringList requests = server.requestedPaths();
        requests.removeAll("/favicon.ico");
        QCOMPARE(requests, expectedRequests);
    }

    void actionsWithNothingToActOnDoNoHarm_data()
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
    void actionsWithNothingToActOnDoNoHarm()
    {
        QFETCH(EngineAction, action);
        QFETCH(bool, afterOnePage);

        if (afterOnePage) {
            show("/one");
            QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), LoadTimeoutMs);
        }
        const QString before = browser->LocationURL();
        QCOMPARE(before.isEmpty(), !afterOnePage);

        (browser->*action)();

        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), LoadTimeoutMs);
        QCOMPARE(browser->LocationURL(), before);
        // The view still loads what it is given.
        show("/two");
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), LoadTimeoutMs);
    }

    void focusGivenToTheEngineReachesThePage()
    {
        // The engine drops keys until the page has first been painted.
        server.setRoute("/form", page("Form", "<p>Type here:</p><input id=field>"));
        show("/form");
        QTRY_VERIFY_WITH_TIMEOUT(evaluate("window.painted === true").toBool(), LoadTimeoutMs);
        browser->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(browser->window()));

        browser->setFocus();

        QTRY_VERIFY_WITH_TIMEOUT(browser->view()->isAncestorOf(QApplication::focusWidget()),
                                 LoadTimeoutMs);
        QVERIFY(evaluate("document.getElementById('field').focus(); document.hasFocus()").toBool());
        QTest::keyClicks(QApplication::focusWidget(), "typed");
        QTRY_COMPARE_WITH_TIMEOUT(evaluate("document.getElementById('field').value").toString(),
                                  QString("typed"), LoadTimeoutMs);
    }

    void aPageCannotTurnItsAddressAround()
    {
        // The location is the address shown to the user, whatever the page makes of it.
        server.setRoute("/turn", page("Turn", "<script>history.pushState({}, '', "
                                              "'/\\u202emoc.knab.www//:sptth')</script>"));
        show("/turn");
        QTRY_COMPARE_WITH_TIMEOUT(browser->LocationURL(),
                                  location("/") + "%E2%80%AEmoc.knab.www//:sptth", LoadTimeoutMs);
    }
};

CORVANE_TEST_MAIN(tst_WebEngineBrowser)
#include "tst_webenginebrowser.moc"
