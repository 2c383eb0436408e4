// What the real window's status bar does on a busy page: from the page's
// load, for the seconds given, how often the engine's address and Busy change
// and how often the bar is laid out and repainted, with what it painted.
// Prints one line of counts.
#include "assembleWindow.h"
#include "engine/WebEngineBrowser.h"
#include "process/EngineProcess.h"
#include "window/PanelStatusBar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEngineView>

#include <cstdio>

namespace {

constexpr int TimeLimitMs = 120'000;

class StatusBarProbe : public QObject {
public:
    StatusBarProbe(WebEngineBrowser *browser, PanelStatusBar *bar, int seconds)
        : m_bar(bar)
        , m_frameNs(qint64(1e9 / bar->screen()->refreshRate()))
    {
        for (int panel = 1; panel <= 3; ++panel)
            m_panels.append(bar->panel(panel));
        // The panels may be drawn in a window of their own, updated apart
        // from the bar's.
        m_windows = {bar->window(), m_panels.at(0)->window()};
        QWebEnginePage *page = browser->view()->page();
        connect(page, &QWebEnginePage::loadFinished, this, [this, seconds] {
            if (m_counting.isValid())
                return;
            m_counting.start();
            for (QObject *window : std::as_const(m_windows))
                window->installEventFilter(this);
            m_bar->installEventFilter(this);
            for (QLabel *panel : std::as_const(m_panels))
                panel->installEventFilter(this);
            QTimer::singleShot(seconds * 1000, this, &StatusBarProbe::report);
        });
        connect(browser->view(), &QWebEngineView::urlChanged, this, [this] {
            if (m_counting.isValid())
                ++m_addressChanges;
        });
        connect(
            page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &l) {
                if (m_counting.isValid() && l.status() == QWebEngineLoadingInfo::LoadStartedStatus)
                    ++m_loadStarts;
            });
        QTimer::singleShot(TimeLimitMs, this, [] {
            std::fputs("status_paints: timed out\n", stderr);
            QCoreApplication::exit(1);
        });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_bar && event->type() == QEvent::LayoutRequest)
            ++m_relayouts;
        // Each update of a window paints all that changed in it at once.
        const bool isWindow = m_windows.contains(watched);
        if (isWindow && event->type() == QEvent::UpdateRequest)
            ++m_windowUpdates;
        if (isWindow || event->type() != QEvent::Paint)
            return false;
        if (m_windowUpdates != m_lastPaintedUpdate) {
            const qint64 now = m_counting.nsecsElapsed();
            if (m_repaints > 0 && now - m_lastRepaintNs < m_frameNs)
                ++m_repaintsWithinAFrame;
            ++m_repaints;
            m_lastRepaintNs = now;
            m_lastPaintedUpdate = m_windowUpdates;
        }
        if (watched == m_panels.at(1)) {
            const QString state = m_panels.at(1)->text();
            m_paintedOpening += state == QStringLiteral("Opening...");
            m_paintedReady += state == QStringLiteral("Ready");
        }
        return false;
    }

private:
    void report()
    {
        std::printf("seconds=%.1f address_changes=%d load_starts=%d relayouts=%d repaints=%d "
                    "repaints_within_a_frame=%d painted_opening=%d painted_ready=%d\n",
                    double(m_counting.nsecsElapsed()) / 1e9, m_addressChanges, m_loadStarts,
                    m_relayouts, m_repaints, m_repaintsWithinAFrame, m_paintedOpening,
                    m_paintedReady);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    PanelStatusBar *m_bar;
    QList<QLabel *> m_panels;
    QList<QObject *> m_windows;
    qint64 m_frameNs;
    QElapsedTimer m_counting;
    qint64 m_lastRepaintNs = 0;
    int m_windowUpdates = 0;
    int m_lastPaintedUpdate = -1;
    int m_addressChanges = 0;
    int m_loadStarts = 0;
    int m_relayouts = 0;
    int m_repaints = 0;
    int m_repaintsWithinAFrame = 0;
    int m_paintedOpening = 0;
    int m_paintedReady = 0;
};

} // namespace

int main(int argc, char **argv)
{
    prepareEngineProcess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("corvane"));
    const QStringList arguments = QCoreApplication::arguments();
    bool valid = arguments.size() == 2;
    const int seconds = valid ? arguments.at(1).toInt(&valid) : 0;
    if (!valid || seconds <= 0) {
        std::fprintf(stderr, "usage: %s SECONDS  (run where home.ad names a page)\n", argv[0]);
        return 2;
    }

    const AssembledWindow assembled = assembleWindow();
    frmExplorer &window = *assembled.window;
    auto *bar = window.findChild<PanelStatusBar *>(QStringLiteral("StatusBar1"));
    if (!bar) {
        std::fputs("status_paints: the window has no StatusBar1\n", stderr);
        return 1;
    }
    StatusBarProbe probe(assembled.engine, bar, seconds);
    if (!window.start())
        return 1;
    window.show();
    return QApplication::exec();
}
