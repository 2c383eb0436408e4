#pragma once

#include "FakeEngineDialogs.h"
#include "engine/WebEngineBrowser.h"

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

// An engine in a window of its own, as in the program, with fakes answering
// its boxes.
class EngineUnderTest {
public:
    EngineUnderTest()
    {
        m_host->resize(640, 480);
        auto dialogs = std::make_unique<FakeEngineDialogs>();
        this->dialogs = dialogs.get();
        browser = new WebEngineBrowser(m_host.get(), std::move(dialogs));
        browser->resize(400, 300);
        m_host->show();
    }

    bool isExposed() const { return QTest::qWaitForWindowExposed(m_host.get()); }
    // Navigates to url and waits for the load: false if it failed or took too long.
    bool show(const QUrl &url) const
    {
        QSignalSpy finished(page(), &QWebEnginePage::loadFinished);
        browser->Navigate(url.toString());
        // A real event loop, as the program's: it deletes what the engine drops
        // with deleteLater(), such as the pages of refused new windows, which a
        // long processEvents() would pile up.
        return finished.wait(LoadTimeoutMs) && finished.first().first().toBool();
    }
    QWebEnginePage *page() const { return browser->view()->page(); }
    QString title() const { return browser->view()->title(); }

    // The page's answer to script, or an invalid QVariant if none came in time.
    QVariant evaluate(const QString &script) const
    {
        // Shared, because a late answer may arrive after this gave up.
        auto answer = std::make_shared<std::optional<QVariant>>();
        page()->runJavaScript(script, [answer](const QVariant &result) { *answer = result; });
        if (!QTest::qWaitFor([&] { return answer->has_value(); }, LoadTimeoutMs))
            return {};
        return answer->value();
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

    FakeEngineDialogs *dialogs = nullptr;
    // Owned by the window.
    WebEngineBrowser *browser = nullptr;

private:
    std::unique_ptr<QWidget> m_host = std::make_unique<QWidget>();
};
