#include "EngineTestCase.h"
#include "TempWorkingDir.h"
#include "TestMain.h"

#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include <functional>

using EngineStep = std::function<void(WebEngineBrowser &)>;
Q_DECLARE_METATYPE(EngineStep)

namespace {

// A page that shows in its title what script evaluates to, promises awaited.
QByteArray pageShowing(const QByteArray &script)
{
    return page("Waiting", "<script>Promise.resolve(" + script +
                               ").then(r => document.title = String(r));"
                               "</script>");
}

} // namespace

class tst_BrowsingOptions : public EngineTestCase {
    Q_OBJECT

private slots:
    void pageQuestionsAreAskedUnlessSilent_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("userAgrees");
        QTest::addColumn<QStringList>("expectedShown");
        QTest::addColumn<QString>("expectedResult");

        const QByteArray alert = "alert('Hello')";
        const QByteArray confirm = "confirm('Sure?')";
        const QByteArray prompt = "prompt('Name?', 'Ann')";
        const QByteArray notifications = "Notification.requestPermission()";
        // Allowed, the engine finds no position offscreen (error 2); refused, error 1.
        const QByteArray position = R"(new Promise(done => navigator.geolocation.getCurrentPosition(
            () => done('position'), error => done('error ' + error.code))))";
        const QString origin = location("/");
        const QStringList notify{"allow to show you notifications for " + origin};

        QTest::newRow("alert") << alert << false << true << QStringList{"alert Hello"}
                               << "undefined";
        QTest::newRow("alert, silent") << alert << true << true << QStringList() << "undefined";
        QTest::newRow("confirm") << confirm << false << true << QStringList{"confirm Sure?"}
                                 << "true";
        QTest::newRow("confirm, silent") << confirm << true << true << QStringList() << "false";
        QTest::newRow("prompt") << prompt << false << true << QStringList{"prompt Name? [Ann]"}
                                << "typed";
        QTest::newRow("prompt, silent") << prompt << true << true << QStringList() << "null";
        QTest::newRow("notifications, allowed")
            << notifications << false << true << notify << "granted";
        QTest::newRow("notifications, refused")
            << notifications << false << false << notify << "denied";
        QTest::newRow("notifications, silent")
            << notifications << true << true << QStringList() << "denied";
        QTest::newRow("location, allowed")
            << position << false << true << QStringList{"allow to know your location for " + origin}
            << "error 2";
        QTest::newRow("location, silent") << position << true << true << QStringList() << "error 1";
    }
    void pageQuestionsAreAskedUnlessSilent()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, silent);
        QFETCH(bool, userAgrees);
        QFETCH(QStringList, expectedShown);
        QFETCH(QString, expectedResult);
        server.setRoute("/ask", pageShowing(script));
        dialogs->confirmAnswer = userAgrees;
        dialogs->allowFeatures = userAgrees;
        dialogs->promptAnswer = QStringLiteral("typed");

        browser->setSilent(silent);
        browser->Navigate(location("/ask"));

        QTRY_COMPARE_WITH_TIMEOUT(title(), expectedResult, LoadTimeoutMs);
        QCOMPARE(dialogs->shown, expectedShown);
    }

    void leavingAPageThatAsksToStay_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("userLeaves");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("expectedTitle");

        QTest::newRow("user leaves") << false << true << true << "Two";
        QTest::newRow("user stays") << false << false << true << "Staying";
        // Nobody to ask: the user's own command to go elsewhere stands.
        QTest::newRow("silent") << true << false << false << "Two";
    }
    void leavingAPageThatAsksToStay()
    {
        QFETCH(bool, silent);
        QFETCH(bool, userLeaves);
        QFETCH(bool, asked);
        QFETCH(QString, expectedTitle);
        server.setRoute("/stay", page("Staying", R"(<p>Unsaved work</p><script>
            window.onbeforeunload = event => { event.preventDefault(); event.returnValue = ''; };
            </script>)"));
        show("/stay");
        // The engine asks only on a page the user has clicked.
        QVERIFY(clickAt(QPoint(20, 20)));
        QTRY_VERIFY_WITH_TIMEOUT(evaluate("navigator.userActivation.hasBeenActive").toBool(),
                                 LoadTimeoutMs);
        dialogs->confirmAnswer = userLeaves;

        browser->setSilent(silent);
        browser->Navigate(location("/two"));

        QTRY_VERIFY_WITH_TIMEOUT(!dialogs->shown.isEmpty() || !asked, LoadTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), LoadTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(title(), expectedTitle, LoadTimeoutMs);
        QCOMPARE(dialogs->shown.size(), asked ? 1 : 0);
        QCOMPARE(server.requestCount("/two"), expectedTitle == "Two" ? 1 : 0);
    }

    void signInIsAskedUnlessSilent_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("userSignsIn");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("expectedTitle");

        // The engine keeps a sign-in for the session and offers it again, unasked,
        // for the same realm or below the same path: each row has its own of both.
        QTest::newRow("signed in") << "/signed-in/" << false << true << true << "Secret";
        QTest::newRow("cancelled") << "/cancelled/" << false << false << true << "Sign-in required";
        QTest::newRow("silent") << "/silent/" << true << true << false << "Sign-in required";
    }
    void signInIsAskedUnlessSilent()
    {
        QFETCH(QString, path);
        QFETCH(bool, silent);
        QFETCH(bool, userSignsIn);
        QFETCH(bool, asked);
        QFETCH(QString, expectedTitle);
        server.setRoute(path, page("Secret"));
        const QByteArray realm = QByteArray("Members of ") + QTest::currentDataTag();
        server.requireBasicAuth(path, realm, "ann", "s3cret");
        if (userSignsIn)
            dialogs->credentials = EngineDialogs::Credentials{"ann", "s3cret"};

        browser->setSilent(silent);
        browser->Navigate(location(path));

        QTRY_COMPARE_WITH_TIMEOUT(title(), expectedTitle, LoadTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), LoadTimeoutMs);
        const QStringList question{
            QStringLiteral("sign in to %1 at %2").arg(realm, location(path))};
        QCOMPARE(dialogs->shown, asked ? question : QStringList());
    }

    void offlineNoPageLoadReachesTheNetwork_data()
    {
        QTest::addColumn<QStringList>("shownBefore");
        QTest::addColumn<EngineStep>("step");
        QTest::addColumn<QString>("expectedLocation");

        // An http address and Refresh are test_network's end to end.
        QString secureOne = location("/one");
        secureOne.replace("http:", "https:");

        QTest::newRow("https address")
            << QStringList()
            << EngineStep([secureOne](WebEngineBrowser &browser) { browser.Navigate(secureOne); })
            << secureOne;
        QTest::newRow("back") << QStringList{"/one", "/two"}
                              << EngineStep([](WebEngineBrowser &browser) { browser.GoBack(); })
                              << location("/one");
        QTest::newRow("link followed by the page")
            << QStringList{"/one"} << EngineStep([](WebEngineBrowser &browser) {
                   browser.view()->page()->runJavaScript("location.href = '/two'");
               })
            << location("/two");
    }
    void offlineNoPageLoadReachesTheNetwork()
    {
        QFETCH(QStringList, shownBefore);
        QFETCH(EngineStep, step);
        QFETCH(QString, expectedLocation);
        for (const QString &path : shownBefore)
            show(path);
        browser->setOffline(true);
        server.clearLog();
        QSignalSpy finished(webPage(), &QWebEnginePage::loadFinished);

        step(*browser);

        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, LoadTimeoutMs);
        QVERIFY(!finished.first().first().toBool());
        QVERIFY(!browser->Busy());
        QCOMPARE(browser->LocationURL(), expectedLocation);
        QCOMPARE(server.requestedPaths(), QStringList());
        QCOMPARE(server.connectionCount(), 0);
    }

    void offlineAPageShownStaysButReachesNoNetwork_data()
    {
        QTest::addColumn<QString>("attempt");
        QTest::addColumn<bool>("offline");

        const QString host = QStringLiteral("://127.0.0.1:%1/").arg(server.port());
        const QList<QPair<const char *, QString>> attempts = {
            {"image", "const image = new Image(); image.onload = image.onerror = done;"
                      "image.src = '/image.png';"},
            {"frame", "const frame = document.createElement('iframe'); frame.onload = done;"
                      "frame.src = '/two'; document.body.append(frame);"},
            {"fetch", "fetch('/data').then(done, done);"},
            {"https fetch", "fetch('https" + host + "data').then(done, done);"},
            {"ws", "new WebSocket('ws" + host + "').onclose = done;"},
            {"wss", "new WebSocket('wss" + host + "').onclose = done;"},
        };
        for (const auto &[name, attempt] : attempts) {
            QTest::addRow("%s, offline", name) << attempt << true;
            QTest::addRow("%s, online", name) << attempt << false;
        }
    }
    void offlineAPageShownStaysButReachesNoNetwork()
    {
        QFETCH(QString, attempt);
        QFETCH(bool, offline);
        show("/one");
        browser->setOffline(offline);
        server.clearLog();

        QVERIFY(
            evaluate("function done() { document.title = 'Done'; } " + attempt + " true").toBool());

        // Offline, the attempt ends (the page's done() is called) without a single
        // connection; online, it connects, the proof that the page tries at all.
        if (offline)
            QTRY_COMPARE_WITH_TIMEOUT(title(), QString("Done"), LoadTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(server.connectionCount() > 0, !offline, LoadTimeoutMs);
        QCOMPARE(evaluate("document.body.innerText").toString(), QString("Still here"));
        QCOMPARE(browser->LocationURL(), location("/one"));
        QVERIFY(!browser->Busy());
    }

    void aLocalPageStillLoadsOffline()
    {
        writeFile("local.html", page("Local"));
        browser->setOffline(true);
        QVERIFY(load(fileUrl("local.html")));
        QCOMPARE(title(), QString("Local"));
    }

    void aLinkOnALocalPageTakesTheUserThere()
    {
        writeFile("local.html",
                  page("Local", "<a href='" + server.url("/two").toEncoded() +
                                    "' style='display: block; height: 100%'>Two</a>"));
        // The local page ends first, and reports its end late, at a time of the
        // engine's: as often as the user leaves, the new page comes.
        for (int leaving = 0; leaving < 8; ++leaving) {
            QVERIFY(load(fileUrl("local.html")));
            QVERIFY(clickAt(QPoint(20, 20)));
            QTRY_COMPARE_WITH_TIMEOUT(title(), QString("Two"), LoadTimeoutMs);
        }
    }

    void goingOfflineKeepsEveryCookie()
    {
        // Going offline starts the network afresh: cookies of the session live in
        // its memory only, and lasting ones may not be written yet when the next
        // one starts, here while the old one is still going down.
        serveCookies(server);
        server.setRoute("/show",
                        page("Showing", "<script>document.title = document.cookie;</script>"));
        QSignalSpy added(webPage()->profile()->cookieStore(), &QWebEngineCookieStore::cookieAdded);
        show("/set");
        QTRY_COMPARE_WITH_TIMEOUT(added.size(), 3, LoadTimeoutMs);

        for (int round = 0; round < 10; ++round) {
            browser->setOffline(true);
            browser->setOffline(false);
        }
        browser->Navigate(location("/show"));

        QTRY_COMPARE_WITH_TIMEOUT(title(), QString("fromServer=1; fromScript=2; forTheSession=3"),
                                  LoadTimeoutMs);
    }
};

CORVANE_TEST_MAIN(tst_BrowsingOptions)
#include "tst_browsingoptions.moc"
