// How long after the engine finishes a load panel 2 of the real window's status
// bar shows "Ready". The window is built as the program builds it and starts on
// its home address; then the page named on the command line is loaded 100
// times. Prints the median and the worst delay in milliseconds.
#include "assembleWindow.h"
#include "engine/WebEngineBrowser.h"
#include "process/EngineProcess.h"
#include "window/PanelStatusBar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Loads = 100;
constexpr int TimeLimitMs = 120'000;

// Follows panel 2 through each load: it must read "Opening..." while the page
// loads, and the time from the engine's loadFinished to "Ready" is the sample.
// The panel is polled on every pass of the event loop, but only while a change
// is awaited, so the window runs undisturbed the rest of the time.
class LatencyProbe : public QObject {
public:
    LatencyProbe(WebEngineBrowser *browser, const PanelStatusBar *status, QUrl page)
        : m_browser(browser)
        , m_status(status)
        , m_page(std::move(page))
    {
        m_poll.setInterval(0);
        connect(&m_poll, &QTimer::timeout, this, &LatencyProbe::poll);
        connect(browser->view()->page(), &QWebEnginePage::loadFinished, this,
                &LatencyProbe::loadFinished);
        QTimer::singleShot(TimeLimitMs, this, [this] { fail("timed out"); });
    }

private:
    enum class Awaiting { Opening, LoadFinished, Ready };

    // What the panel shows, which its next paint draws: written texts may wait
    // for the end of a frame.
    QString panel2() const { return m_status->panel(2)->text(); }

    void loadNext()
    {
        if (m_latenciesMs.size() == Loads) {
            report();
            return;
        }
        QUrl url = m_page;
        QUrlQuery query(url);
        query.addQueryItem(QStringLiteral("load"), QString::number(m_latenciesMs.size()));
        url.setQuery(query);
        m_awaiting = Awaiting::Opening;
        m_browser->Navigate(url.toString());
        m_poll.start();
    }

    void loadFinished(bool ok)
    {
        if (!ok) {
            fail("the page did not load");
            return;
        }
        // The page is served slower than a display frame, so the panel had
        // time to show the load.
        if (m_awaiting == Awaiting::Opening && panel2() != QStringLiteral("Opening...")) {
            fail("panel 2 never read \"Opening...\" during the load");
            return;
        }
        m_awaiting = Awaiting::Ready;
        m_sinceFinished.start();
        m_poll.start();
        poll();
    }

    void poll()
    {
        if (m_awaiting == Awaiting::Opening && panel2() == QStringLiteral("Opening...")) {
            m_awaiting = Awaiting::LoadFinished;
            m_poll.stop();
        } else if (m_awaiting == Awaiting::Ready && panel2() == QStringLiteral("Ready")) {
            const double latencyMs = double(m_sinceFinished.nsecsElapsed()) / 1e6;
            m_poll.stop();
            // The home page loads while the window starts up: not a sample.
            if (m_homeLoaded)
                m_latenciesMs.push_back(latencyMs);
            m_homeLoaded = true;
            loadNext();
        }
    }

    void report()
    {
        std::vector<double> sorted = m_latenciesMs;
        std::sort(sorted.begin(), sorted.end());
        const std::size_t n = sorted.size();
        const double median = (sorted[(n - 1) / 2] + sorted[n / 2]) / 2;
        std::printf("loads=%zu median_ms=%.3f worst_ms=%.3f\n", n, median, sorted.back());
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    void fail(const char *why)
    {
        std::fprintf(stderr, "status_latency: after %zu loads: %s\n", m_latenciesMs.size(), why);
        QCoreApplication::exit(1);
    }

    WebEngineBrowser *m_browser;
    const PanelStatusBar *m_status;
    QUrl m_page;
    QTimer m_poll;
    QElapsedTimer m_sinceFinished;
    Awaiting m_awaiting = Awaiting::LoadFinished;
    bool m_homeLoaded = false;
    std::vector<double> m_latenciesMs;
};

} // namespace

int main(int argc, char **argv)
{
    prepareEngineProcess();
    QApplication app(argc, argv);
    // The engine keeps its profile under the application's name, as Corvane's does.
    QApplication::setApplicationName(QStringLiteral("corvane"));
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: %s URL  (run where home.ad names a page)\n", argv[0]);
        return 2;
    }

    const AssembledWindow assembled = assembleWindow();
    frmExplorer &window = *assembled.window;
    const auto *status = window.findChild<PanelStatusBar *>("StatusBar1");
    if (!status) {
        std::fputs("status_latency: the window has no StatusBar1\n", stderr);
        return 1;
    }
    LatencyProbe probe(assembled.engine, status, QUrl(arguments.at(1)));
    if (!window.start())
        return 1;
    window.show();
    return QApplication::exec();
}
