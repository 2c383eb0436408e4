// The floor Corvane is measured against: Qt WebEngine with nothing around it,
// one view loading the address given on the command line. With --tick-1ms the
// view gets a status bar whose two labels a timer rewrites every millisecond,
// to show what a status poll at that rate would cost.
#include "engine/SpellChecking.h"
#include "process/EngineProcess.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <memory>

namespace {

// About the size of Corvane's page view at start-up, so both render as much.
constexpr QSize ViewSize(400, 240);

// The same work as Corvane's status tick: read busy and the address, write
// them into two labels (which skip a write of unchanged text).
std::unique_ptr<QWidget> statusTickingWindow(QWebEngineView *view)
{
    auto window = std::make_unique<QMainWindow>();
    window->setCentralWidget(view);
    auto *busy = new QLabel(window.get());
    auto *location = new QLabel(window.get());
    window->statusBar()->addWidget(busy);
    window->statusBar()->addWidget(location, 1);
    window->resize(ViewSize + QSize(0, window->statusBar()->sizeHint().height()));

    auto *timer = new QTimer(window.get());
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, window.get(), [view, busy, location] {
        busy->setText(view->page()->isLoading() ? QStringLiteral("Opening...")
                                                : QStringLiteral("Ready"));
        location->setText(view->url().toString());
    });
    timer->start();
    return window;
}

} // namespace

int main(int argc, char **argv)
{
    prepareEngineProcess();
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Qt WebEngine alone, loading one address."));
    parser.addHelpOption();
    const QCommandLineOption tick(QStringLiteral("tick-1ms"),
                                  QStringLiteral("Rewrite two status labels every millisecond."));
    parser.addOption(tick);
    parser.addPositionalArgument(QStringLiteral("url"), QStringLiteral("The address to load."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    // The engine's own features that Corvane switches on, paid for by both:
    // a profile kept on disk (history, cookies, cache), PDFs in the page and
    // spelling, with the dictionary the build made, one folder up from here.
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DICTIONARIES_PATH"))
        qputenv("QTWEBENGINE_DICTIONARIES_PATH",
                QFile::encodeName(app.applicationDirPath() + "/../qtwebengine_dictionaries"));
    const QString dictionaries = spellingDictionariesFolder();
    auto *profile = new QWebEngineProfile(QStringLiteral("browsing"), &app);
    checkSpelling(*profile, dictionaries);
    auto *view = new QWebEngineView;
    view->setPage(new QWebEnginePage(profile, view));
    view->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    std::unique_ptr<QWidget> window;
    if (parser.isSet(tick)) {
        window = statusTickingWindow(view);
    } else {
        window.reset(view);
        window->resize(ViewSize);
    }
    view->load(QUrl::fromUserInput(parser.positionalArguments().constFirst()));
    window->show();
    return QApplication::exec();
}
