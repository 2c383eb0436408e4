#include "TestMain.h"
#include "WindowFixture.h"

#include "window/PanelStatusBar.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace {

// The texts a panel painted, and how often the bar was laid out meanwhile.
class PaintLog : public QObject {
public:
    PaintLog(QLabel *panel, QWidget *bar)
        : m_panel(panel)
        , m_bar(bar)
    {
        panel->installEventFilter(this);
        bar->installEventFilter(this);
    }

    QStringList painted;
    int barLayouts = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_panel && event->type() == QEvent::Paint)
            painted << m_panel->text();
        if (watched == m_bar && event->type() == QEvent::LayoutRequest)
            ++barLayouts;
        return false;
    }

private:
    QLabel *m_panel;
    QWidget *m_bar;
};

} // namespace

class tst_Status : public WindowTestCase {
    Q_OBJECT

private slots:
    void panelsEmptyUntilTheFirstTick()
    {
        WindowFixture f;
        f.engine->location = "http://home/";
        QVERIFY(f.window->start());
        // Start-up runs before the event loop: no tick has come yet.
        QCOMPARE(bar(f)->panelText(2), QString());
        QCOMPARE(bar(f)->panelText(3), QString());
        QTRY_COMPARE(bar(f)->panelText(2), QStringLiteral("Ready"));
        QCOMPARE(bar(f)->panelText(3), QStringLiteral("http://home/"));
        QCOMPARE(bar(f)->panelText(1), QStringLiteral("Status:"));
    }

    void tickReadsAndWritesInOrder()
    {
        WindowFixture f;
        QVERIFY(f.window->start());
        QTRY_COMPARE(bar(f)->panelText(2), QStringLiteral("Ready"));

        // Each read notes what the panels showed at that moment.
        QStringList seen;
        f.engine->onBusy = [&] {
            seen << QStringLiteral("Busy [%1|%2]").arg(bar(f)->panelText(2), bar(f)->panelText(3));
        };
        f.engine->onLocationURL = [&] {
            seen << QStringLiteral("LocationURL [%1|%2]")
                        .arg(bar(f)->panelText(2), bar(f)->panelText(3));
        };
        f.engine->busy = true;
        f.engine->location = "http://next/";
        QTRY_COMPARE(bar(f)->panelText(3), QStringLiteral("http://next/"));
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
        QTRY_COMPARE(bar(f)->panelText(2), QStringLiteral("Opening..."));
        // However long the load, no time-out turns it to Ready.
        QTest::qWait(200);
        QCOMPARE(bar(f)->panelText(2), QStringLiteral("Opening..."));
        f.engine->busy = false;
        QTRY_COMPARE_WITH_TIMEOUT(bar(f)->panelText(2), QStringLiteral("Ready"), 100);
    }

    void addressFollowsTheEngineOnIdleTicksAndWhileHidden()
    {
        WindowFixture f;
        QVERIFY(f.startShown());
        f.address()->setText("typed");
        f.engine->location = "http://one/";
        QTRY_COMPARE(bar(f)->panelText(3), QStringLiteral("http://one/"));
        // The address box keeps what the user typed.
        QCOMPARE(f.address()->text(), QStringLiteral("typed"));

        f.item("mnuViewStatus")->trigger();
        QVERIFY(bar(f)->isHidden());
        f.engine->location = "http://two/";
        QTRY_COMPARE(bar(f)->panelText(3), QStringLiteral("http://two/"));

        f.item("mnuHide")->trigger();
        QVERIFY(!f.window->isVisible());
        f.engine->location = "";
        f.engine->busy = true;
        QTRY_COMPARE(bar(f)->panelText(3), QString());
        QTRY_COMPARE(bar(f)->panelText(2), QStringLiteral("Opening..."));
    }

    void panelTwoFitsItsText()
    {
        WindowFixture f;
        QVERIFY(f.startShown());
        const QLabel *state = bar(f)->panel(2);
        const QLabel *address = bar(f)->panel(3);
        f.engine->busy = true;
        QTRY_COMPARE(state->text(), QStringLiteral("Opening..."));
        QTRY_VERIFY(state->width() >= state->fontMetrics().horizontalAdvance(state->text()));
        const int openingWidth = state->width();
        const int addressWidth = address->width();

        f.engine->busy = false;
        QTRY_VERIFY(state->width() < openingWidth);
        QVERIFY(state->width() >= state->minimumWidth());
        QCOMPARE(address->width(), addressWidth + (openingWidth - state->width()));
        const QLabel *fixed = bar(f)->panel(1);
        QVERIFY(fixed->width() >= qRound(700 / Twips::perPixelX(state)));
        QVERIFY(fixed->width() >= fixed->fontMetrics().horizontalAdvance(fixed->text()));
    }

    void aLastingTickFailureIsReportedOnce()
    {
        WindowFixture f;
        QVERIFY(f.window->start());
        QTRY_COMPARE(bar(f)->panelText(2), QStringLiteral("Ready"));
        f.dialogs->whileReporting = [] { QTest::qWait(100); };
        f.engine->onBusy = [] { throw RunTimeError(QStringLiteral("the engine is gone")); };
        QTest::qWait(300);
        QCOMPARE(f.dialogs->errors, QStringList{QStringLiteral("the engine is gone")});

        // Once the tick works again, a new failure is news and is reported.
        f.engine->onBusy = nullptr;
        f.engine->busy = true;
        QTRY_COMPARE(bar(f)->panelText(2), QStringLiteral("Opening..."));
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
        QVERIFY(f.startShown());
        QTRY_COMPARE(bar(f)->panel(2)->text(), QStringLiteral("Ready"));
        QCoreApplication::sendPostedEvents(); // the layout that "Ready" asked for
        PaintLog log(bar(f)->panel(panel), bar(f));

        // A page as busy as can be: a change for every tick, with a timer
        // making a pass of the event loop every millisecond.
        int changes = 0;
        f.engine->onBusy = [&] {
            ++changes;
            if (panel == 2)
                f.engine->busy = !f.engine->busy;
            else
                f.engine->location = QStringLiteral("http://busy/%1").arg(changes);
        };
        QTimer passes;
        passes.start(1);
        QElapsedTimer busyFor;
        busyFor.start();
        QEventLoop busy;
        QTimer::singleShot(500, &busy, &QEventLoop::quit);
        busy.exec();
        f.engine->onBusy = nullptr;
        const double frames =
            double(busyFor.nsecsElapsed()) * bar(f)->screen()->refreshRate() / 1e9;
        const auto paints = log.painted.size();

        const QString counts = QStringLiteral("%1 changes, %2 paints in %3 frames")
                                   .arg(changes)
                                   .arg(paints)
                                   .arg(frames);
        QVERIFY2(paints <= frames + 1, qPrintable(counts));
        QVERIFY2(changes > 2 * paints, qPrintable(counts));
        if (panel == 3)
            QCOMPARE(log.barLayouts, 0);
        // Nothing is lost: the last text written is painted within a frame (the
        // 100 ms of busyShowsOpeningThenReady, for a loaded machine).
        QTRY_VERIFY_WITH_TIMEOUT(
            !log.painted.isEmpty() && log.painted.last() == bar(f)->panelText(panel), 100);
    }

private:
    PanelStatusBar *bar(const WindowFixture &f) const
    {
        return f.window->findChild<PanelStatusBar *>("StatusBar1");
    }
};

CORVANE_TEST_MAIN(tst_Status)
#include "tst_status.moc"
