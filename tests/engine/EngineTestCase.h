#pragma once

#include "FakeEngineDialogs.h"
#include "LoopbackHttpServer.h"
#include "engine/WebEngineBrowser.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>
#include <optional>

// Loads over loopback take milliseconds; the bound is for a busy machine.
constexpr int LoadTimeoutMs = 10000;

// A page with an icon of its own, so that once it has loaded every connection
// the server sees comes from what a test does. It notes in window.painted when
// it was first painted: until then, the engine drops clicks.
inline QByteArray page(const QByteArray &title, const QByteArray &body = {})
{
    return "<!doctype html><html><head><title>" + title +
           "</title><link rel=icon href='data:,'></head><body>" + body +
           "<script>new PerformanceObserver(() => { window.painted = true; })"
           ".observe({type: 'paint', buffered: true});</script></body></html>";
}

// A page that sets cookies from the server, lasting, and from script, lasting
// and for the session only.
inline void serveCookies(LoopbackHttpServer &server)
{
    server.setRoute("/set",
                    page("Set", "<script>document.cookie = 'fromScript=2; max-age=3600';"
                                "document.cookie = 'forTheSession=3';</script>"),
                    "text/html; charset=utf-8", 200,
                    {{"Set-Cookie", "fromServer=1; Max-Age=3600; Path=/"}});
}

inline QString fileUrl(const QString &name)
{
    return QUrl::fromLocalFile(QDir::current().absoluteFilePath(name)).toString();
}

// An engine test case: each test function gets a fresh engine in a window of
// its own, as in the program, with fakes answering its boxes, and a loopback
// server whose log starts empty, serving pages "/one" and "/two".
class EngineTestCase : public QObject {
    Q_OBJECT

protected:
    EngineTestCase()
    {
        server.setRoute("/one", page("One", "<p>Still here</p>"));
        server.setRoute("/two", page("Two"));
    }

    // Replaces the engine with a new one, shown: false if it could not be shown.
    bool openEngine()
    {
        closeEngine();
        m_host = std::make_unique<QWidget>();
        m_host->resize(640, 480);
        auto fakeDialogs = std::make_unique<FakeEngineDialogs>();
        dialogs = fakeDialogs.get();
        browser = new WebEngineBrowser(m_host.get(), std::move(fakeDialogs));
        browser->resize(400, 300);
        m_host->show();
        return QTest::qWaitForWindowExposed(m_host.get());
    }
    void closeEngine()
    {
        m_host.reset();
        browser = nullptr;
        dialogs = nullptr;
    }

    // Navigates to url and waits for the load: false if it failed or took too long.
    bool load(const QUrl &url) const
    {
        QSignalSpy finished(webPage(), &QWebEnginePage::loadFinished);
        browser->Navigate(url.toString());
        // A real event loop, as the program's: it deletes what the engine drops
        // with deleteLater(), such as the pages of refused new windows, which a
        // long processEvents() would pile up.
        return finished.wait(LoadTimeoutMs) && finished.first().first().toBool();
    }
    void show(const QString &path) const { QVERIFY(load(server.url(path))); }
    QString location(const QString &path) const { return server.url(path).toString(); }

    QWebEnginePage *webPage() const { return browser->view()->page(); }
    QString title() const { return browser->view()->title(); }

    // The page's answer to script, or an invalid QVariant if none came in time.
    QVariant evaluate(const QString &script) const
    {
        // Shared, because a late answer may arrive after this gave up.
        auto answer = std::make_shared<std::optional<QVariant>>();
        webPage()->runJavaScript(script, [answer](const QVariant &result) { *answer = result; });
        const bool answered = QTest::qWaitFor([&] { return answer->has_value(); }, LoadTimeoutMs);
        return answered ? answer->value() : QVariant();
    }

    // A click of the user's, once the page can take it.
    bool clickAt(QPoint position) const
    {
        if (!QTest::qWaitFor([this] { return evaluate("window.painted === true").toBool(); },
                             LoadTimeoutMs))
            return false;
        QTest::mouseClick(browser->view()->focusProxy(), Qt::LeftButton, {}, position);
        return true;
    }

    LoopbackHttpServer server;
    // Owned by the engine.
    FakeEngineDialogs *dialogs = nullptr;
    // Owned by its window.
    WebEngineBrowser *browser = nullptr;

private slots:
    void init()
    {
        QVERIFY2(server.isListening(), qPrintable(server.errorString()));
        QVERIFY(openEngine());
        server.clearLog();
    }
    void cleanup() { closeEngine(); }

private:
    std::unique_ptr<QWidget> m_host;
};
