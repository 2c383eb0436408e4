#include "LoopbackHttpServer.h"
#include "TempWorkingDir.h"
#include "TestMain.h"
#include "assembleWindow.h"
#include "engine/WebEngineBrowser.h"
#include "window/PanelStatusBar.h"

#include <QAccessible>
#include <QLabel>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QWebEngineView>

namespace {

// Qt's own account of each flush of the window's backing store onto the
// screen: "Flushing <region> of <widget>", and "with QRhi" when it goes
// through OpenGL. While the page's view is in the window, a flush of the top
// level redraws all of it: the page, the menus, the address box and the
// status bar. On software OpenGL any flush through it costs about a
// millisecond, however little it shows.
QStringList *flushes = nullptr;
QtMessageHandler passOn = nullptr;

void noteFlushes(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (qstrcmp(context.category, "qt.widgets.painting") != 0)
        passOn(type, context, message);
    else if (flushes && message.startsWith("Flushing ") && !message.startsWith("Flushing top"))
        flushes->append(message);
}

} // namespace

class tst_StatusFlush : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        passOn = qInstallMessageHandler(noteFlushes);
        QLoggingCategory::setFilterRules(QStringLiteral("qt.widgets.painting=true"));
    }
    void eachChangeRedrawsItsOwnPartAlone_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("redrawn");
        // A page that keeps its address in step with what it shows, slowly
        // enough for each address to be shown.
        QTest::newRow("the bar, not the page")
            << "let at = 0; const step = setInterval(() => {"
               "  history.replaceState(null, '', ++at < 10 ? '?at=' + at : '?done');"
               "  if (at === 10) clearInterval(step); }, 50);"
            << "panels";
        // A clock, a counter, a progress bar: the page alone changes.
        QTest::newRow("the page, not the window around it")
            << "let frame = 0; const step = setInterval(() => {"
               "  document.querySelector('h1').textContent = 'Frame ' + ++frame;"
               "  if (frame === 20) { clearInterval(step);"
               "    history.replaceState(null, '', '?done'); } }, 50);"
            << "WebBrowser1";
    }
    void eachChangeRedrawsItsOwnPartAlone()
    {
        QFETCH(QString, script);
        QFETCH(QString, redrawn);
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
        if (redrawn == QLatin1String("WebBrowser1"))
            QSKIP("Qt 6.4 redraws the whole window with each frame of the page");
#endif
        LoopbackHttpServer server;
        // Still once drawn: nothing in it asks the engine for a new frame.
        server.setRoute("/", "<!doctype html><title>Still</title><link rel=icon href='data:,'>"
                             "<h1>A page that stays still</h1>");
        writeFile("home.ad", server.url("/").toString().toUtf8() + "\r\n");
        const AssembledWindow assembled = assembleWindow();
        frmExplorer &window = *assembled.window;
        QWebEngineView *view = assembled.engine->view();
        QSignalSpy loaded(view->page(), &QWebEnginePage::loadFinished);
        QVERIFY(window.start());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.isActiveWindow());
        QVERIFY(loaded.wait(10000));
        // No blinking cursor in the address box, and the first frames drawn.
        view->setFocus();
        QTest::qWait(500);

        QStringList flushed;
        flushes = &flushed;
        // A window Qt cannot draw into shows nothing of what it flushes.
        QTest::failOnWarning(
            QRegularExpression(QStringLiteral("[Ff]ailed to make context current")));
        view->page()->runJavaScript(script);
        const QLabel *address = window.findChild<PanelStatusBar *>()->panel(3);
        QTRY_VERIFY(address->text().endsWith("?done"));
        QTest::qWait(100);
        flushes = nullptr;

        const QString all = flushed.join(QStringLiteral("; "));
        QVERIFY2(flushed.filter(QStringLiteral(" of frmExplorer(")).isEmpty(), qPrintable(all));
        // Only the page needs OpenGL to reach the screen.
        const QStringList throughOpenGL = flushed.filter(QStringLiteral(" with QRhi"));
        QCOMPARE(throughOpenGL.filter(QStringLiteral("name=\"WebBrowser1\"")), throughOpenGL);
        // The changes reach the screen all the same.
        QVERIFY2(flushed.filter(QStringLiteral("name=\"%1\"").arg(redrawn)).size() >= 5,
                 qPrintable(all));
    }
    // Drawn apart, the panels are still the bar's, both ways: a screen reader
    // finds them under the bar, and an announcement of a panel says where it is.
    void panelsStayTheBarsForAssistiveTechnologies()
    {
        writeFile("home.ad", "about:blank\r\n");
        const AssembledWindow assembled = assembleWindow();
        frmExplorer &window = *assembled.window;
        QVERIFY(window.start());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *bar = window.findChild<PanelStatusBar *>();
        QAccessibleInterface *barSeen = QAccessible::queryAccessibleInterface(bar);
        QTRY_COMPARE(bar->panel(2)->text(), QStringLiteral("Ready"));
        for (int panel = 1; panel <= 3; ++panel) {
            QAccessibleInterface *seen = QAccessible::queryAccessibleInterface(bar->panel(panel));
            QAccessibleInterface *up = seen->parent();
            while (up && up != barSeen)
                up = up->parent();
            QVERIFY2(up, qPrintable(seen->text(QAccessible::Name)));
            QList<QAccessibleInterface *> down{barSeen};
            while (!down.isEmpty() && down.first() != seen) {
                QAccessibleInterface *next = down.takeFirst();
                for (int i = 0; i < next->childCount(); ++i)
                    down.append(next->child(i));
            }
            QVERIFY2(!down.isEmpty(), qPrintable(seen->text(QAccessible::Name)));
        }
    }
};

CORVANE_TEST_MAIN(tst_StatusFlush)
#include "tst_statusflush.moc"
