#include "EventWatcher.h"
#include "TestMain.h"
#include "WindowFixture.h"

#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <limits>

class tst_Status : public WindowTestCase {
    Q_OBJECT

private slots:
    void panelsEmptyUntilTheFirstTick()
    {
        WindowFixture f;
        f.engine->location = "http://home/";
        QVERIFY(f.window->start());
        // Start-up runs before the event loop: no tick has come yet.
        QCOMPARE(f.statusBar()->panelText(2), QString());
        QCOMPARE(f.statusBar()->panelText(3), QString());
        QTRY_COMPARE(f.statusBar()->panelText(2), QStringLiteral("Ready"));
        QCOMPARE(f.statusBar()->panelText(3), QStringLiteral("http://home/"));
        QCOMPARE(f.statusBar()->panelText(1), QStringLiteral("Status:"));
    }

    void tickReadsAndWritesInOrder()
    {
        WindowFixture f;
        const PanelStatusBar *bar = f.statusBar();
        QVERIFY(f.window->start());
        QTRY_COMPARE(bar->panelText(2), QStringLiteral("Ready"));

        // Each read notes what the panels showed at that moment.
        QStringList seen;
        f.engine->onBusy = [&] {
            seen << QStringLiteral("Busy [%1|%2]").arg(bar->panelText(2), bar->panelText(3));
        };
        f.engine->onLocationURL = [&] {
            seen << QStringLiteral("LocationURL [%1|%2]").arg(bar->panelText(2), bar->panelText(3));
        };
        f.engine->busy = true;
        f.engine->location = "http://next/";
        QTRY_COMPARE(bar->panelText(3), QStringLiteral("http://next/"));
        f.engine->onBusy = nullptr;
        f.engine->onLocationURL = nullptr;

        QVERIFY(seen.size() >= 2);
        const int tick = int(seen.indexOf(QStringLiteral("Busy [Ready|]")));
        QVERIFY2(tick >= 0, qPrintable(seen.join(", ")));
        QCOMPARE(seen.at(tick + 1), QStringLiteral("LocationURL [Opening...|]"));
    }

    void busyShowsOpeningThenReady()
    {
        WindowFixture f;
        QVERIFY(f.startShown());
        f.engine->busy = true;
        QTRY_COMPARE(f.statusBar()->panelText(2), QStringLiteral("Opening..."));
        // However long the load, no time-out turns it to Ready.
        QTest::qWait(200);
        QCOMPARE(f.statusBar()->panelText(2), QStringLiteral("Opening..."));
        f.engine->busy = false;
        QTRY_COMPARE_WITH_TIMEOUT(f.statusBar()->panelText(2), QStringLiteral("Ready"), 100);
    }

    void addressFollowsTheEngineOnIdleTicksAndWhileHidden()
    {
        WindowFixture f;
        QVERIFY(f.startShown());
        f.address()->setText("typed");
        f.engine->location = "http://one/";
        QTRY_COMPARE(f.statusBar()->panelText(3), QStringLiteral("http://one/"));
        // The address box keeps what the user typed.
        QCOMPARE(f.address()->text(), QStringLiteral("typed"));

        f.item("mnuViewStatus")->trigger();
        QVERIFY(f.statusBar()->isHidden());
        f.engine->location = "http://two/";
        QTRY_COMPARE(f.statusBar()->panelText(3), QStringLiteral("http://two/"));

        f.item("mnuHide")->trigger();
        QVERIFY(!f.window->isVisible());
        f.engine->location = "";
        f.engine->busy = true;
        QTRY_COMPARE(f.statusBar()->panelText(3), QString());
        QTRY_COMPARE(f.statusBar()->panelText(2), QStringLiteral("Opening..."));
    }

    void panelTwoFitsItsText()
    {
        WindowFixture f;
        QVERIFY(f.startShown());
        const QLabel *state = f.statusBar()->panel(2);
        const QLabel *address = f.statusBar()->panel(3);
        f.engine->busy = true;
        QTRY_COMPARE(state->text(), QStringLiteral("Opening..."));
        QTRY_VERIFY(state->width() >= state->fontMetrics().horizontalAdvance(state->text()));
        const int openingWidth = state->width();
        const int addressWidth = address->width();

        f.engine->busy = false;
        QTRY_VERIFY(state->width() < openingWidth);
        QVERIFY(state->width() >= state->minimumWidth());
        QCOMPARE(address->width(), addressWidth + (openingWidth - state->width()));
        const QLabel *fixed = f.statusBar()->panel(1);
        QVERIFY(fixed->width() >= qRound(700 / Twips::perPixelX(state)));
        QVERIFY(fixed->width() >= fixed->fontMetrics().horizontalAdvance(fixed->text()));
    }

    void aLastingTickFailureIsReportedOnce()
    {
        WindowFixture f;
        QVERIFY(f.window->start());
        QTRY_COMPARE(f.statusBar()->panelText(2), QStringLiteral("Ready"));
        f.dialogs->whileReporting = [] { QTest::qWait(100); };
        f.engine->onBusy = [] { throw RunTimeError(QStringLiteral("the engine is gone")); };
        QTest::qWait(300);
        QCOMPARE(f.dialogs->errors, QStringList{QStringLiteral("the engine is gone")});

        // Once the tick works again, a new failure is news and is reported.
        f.engine->onBusy = nullptr;
        f.engine->busy = true;
        QTRY_COMPARE(f.statusBar()->panelText(2), QStringLiteral("Opening..."));
        f.engine->onBusy = [] { throw RunTimeError(QStringLiteral("the engine is gone")); };
        QTRY_COMPARE(f.dialogs->errors.size(), 2);
    }

    void shownAtMostOncePerFrameEndingOnTheLastText_data()
    {
        QTest::addColumn<int>("panel");
        QTest::newRow("2: Busy flips") << 2;
        QTest::newRow("3: the address changes") << 3;
    }
    void shownAtMostOncePerFrameEndingOnTheLastText()
    {
        QFETCH(int, panel);
        WindowFixture f;
        PanelStatusBar *bar = f.statusBar();
        QVERIFY(f.startShown());
        QTRY_COMPARE(bar->panel(2)->text(), QStringLiteral("Ready"));
        QCoreApplication::sendPostedEvents(); // the layout that "Ready" asked for
        // The texts the panel painted, and how often the bar was laid out meanwhile:
        // panel 2 fitting its text moves panel 3 and asks nothing of the bar.
        QLabel *const watched = bar->panel(panel);
        QStringList painted;
        QElapsedTimer clock;
        clock.start();
        qint64 lastPaintNs = 0;
        qint64 closestPaintsNs = std::numeric_limits<qint64>::max();
        int barLayouts = 0;
        const EventWatcher onPaint(watched, QEvent::Paint, [&] {
            const qint64 now = clock.nsecsElapsed();
            if (!painted.isEmpty())
                closestPaintsNs = std::min(closestPaintsNs, now - lastPaintNs);
            lastPaintNs = now;
            painted << watched->text();
        });
        const EventWatcher onLayout(bar, QEvent::LayoutRequest, [&] { ++barLayouts; });

        // A page as busy as can be: a change for every tick, with a timer
        // making a pass of the event loop every millisecond, and the engine's
        // events waking the loop and holding it up after every other paint, so
        // that a panel paints late after one text and at once after the next.
        int changes = 0;
        f.engine->onBusy = [&] {
            ++changes;
            if (panel == 2)
                f.engine->busy = !f.engine->busy;
            else
                f.engine->location = QStringLiteral("http://busy/%1").arg(changes);
        };
        QTimer passes;
        // Queued, as the engine's events are: they come before a posted repaint.
        connect(
            &passes, &QTimer::timeout, &passes,
            [&] {
                emit QAbstractEventDispatcher::instance()->awake();
                QElapsedTimer held;
                held.start();
                while (painted.size() % 2 == 1 && held.elapsed() < 4) {
                }
            },
            Qt::QueuedConnection);
        passes.start(1);
        QElapsedTimer busyFor;
        busyFor.start();
        QEventLoop busy;
        QTimer::singleShot(500, &busy, &QEventLoop::quit);
        busy.exec();
        f.engine->onBusy = nullptr;
        const double frames = double(busyFor.nsecsElapsed()) * bar->screen()->refreshRate() / 1e9;
        const auto paints = painted.size();

        const QString counts = QStringLiteral("%1 changes, %2 paints in %3 frames")
                                   .arg(changes)
                                   .arg(paints)
                                   .arg(frames);
        QVERIFY2(paints <= frames + 1, qPrintable(counts));
        // Each paint a whole frame after the one before (the half millisecond
        // is the clocks').
        QVERIFY2(double(closestPaintsNs) >= 1e9 / bar->screen()->refreshRate() - 0.5e6,
                 qPrintable(QStringLiteral("%1, two of them %2 ms apart")
                                .arg(counts)
                                .arg(double(closestPaintsNs) / 1e6)));
        QVERIFY2(changes > 2 * paints, qPrintable(counts));
        QCOMPARE(barLayouts, 0);
        // Nothing is lost: the last text written is painted within a frame (the
        // 100 ms of busyShowsOpeningThenReady, for a loaded machine).
        QTRY_VERIFY_WITH_TIMEOUT(!painted.isEmpty() && painted.last() == bar->panelText(panel),
                                 100);
    }
};

CORVANE_TEST_MAIN(tst_Status)
#include "tst_status.moc"
