#include "TestMain.h"
#include "WindowFixture.h"

#include "window/layout/LayoutRules.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QMenuBar>

using namespace LayoutRules;

namespace {

// What a user could see change in the window, and the engine view's twips,
// as text. The window's place is read within its frame: Qt may learn the
// frame of a maximised window late.
QString reading(const WindowFixture &f)
{
    QString text;
    QDebug out(&text);
    out << f.window->windowState() << f.window->geometry() << f.window->menuBar()->isVisible()
        << f.statusBar()->isVisible() << f.item("mnuMaxView")->text();
    for (const float twips : {f.view().Top(), f.view().Width(), f.view().Height()})
        out << QString::number(double(twips), 'g', 9);
    for (const QWidget *control :
         std::initializer_list<const QWidget *>{f.engine, f.go(), f.address()})
        out << control->geometry() << control->isVisible();
    for (const QAction *item : f.window->findChildren<QAction *>())
        out << item->isChecked();
    return text;
}

// The reading once it has held still for a while: a window manager answers a
// state change late, in parts, and the window must end where the rule puts it.
QString settled(const WindowFixture &f)
{
    QString last = reading(f);
    for (QDeadlineTimer deadline(10000); !deadline.hasExpired();) {
        QTest::qWait(300);
        const QString now = reading(f);
        if (now == last)
            return now;
        last = now;
    }
    return QString();
}

} // namespace

class tst_Layout : public WindowTestCase {
    Q_OBJECT

private slots:
    void sevenSignificantDigits_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<float>("rounded");

        QTest::newRow("whole twips, few digits, unchanged") << 5655.0f << 5655.0f;
        QTest::newRow("seven digits, unchanged") << 1234567.0f << 1234567.0f;
        QTest::newRow("eight digits, rounded") << 12345678.0f << 12345680.0f;
        QTest::newRow("fraction beyond seven digits") << 1234.56789f << 1234.568f;
        QTest::newRow("negative") << -275.123456f << -275.1235f;
        QTest::newRow("zero") << 0.0f << 0.0f;
    }
    void sevenSignificantDigits()
    {
        QFETCH(float, value);
        QFETCH(float, rounded);
        QCOMPARE(LayoutRules::sevenSignificantDigits(value), rounded);
    }

    void windowTooSmallForTheMargins()
    {
        // Nothing is bounded below: the values are kept as computed, and the
        // widgets are placed at zero pixels instead of failing.
        const Fitted tiny = fit(300, 900, 375);
        QCOMPARE(tiny.goLeft, -275.0f);
        QCOMPARE(tiny.addressWidth, -475.0f);
        QCOMPARE(tiny.engineHeight, -400.0f);

        QWidget view;
        TwipsPlacement placement(&view, 0, 0, 6015, 3615);
        placement.setHeight(-400);
        placement.setWidth(-1);
        QCOMPARE(placement.Height(), -400.0f);
        QCOMPARE(placement.Width(), -1.0f);
        QCOMPARE(view.height(), 0);
        QCOMPARE(view.width(), 0);
    }

    void resizeRelaysTheControls()
    {
        WindowFixture f;
        QVERIFY(f.startShown());
        f.window->resize(f.window->width() + 60, f.window->height() + 30);
        QTRY_COMPARE(f.view().Width(), f.window->windowLayout().windowWidth() - 100);
        QCOMPARE(f.view().Height(), f.window->windowLayout().windowHeight() - 1300);
        QCOMPARE(f.view().Top(), 360.0f);
        const float goLeft = f.window->windowLayout().windowWidth() - 375 - 200;
        QCOMPARE(f.go()->x(), qRound(goLeft / Twips::perPixelX(f.go())));
        QCOMPARE(f.address()->width(), qRound((goLeft - 200) / Twips::perPixelX(f.go())));
    }

    void minimisingChangesNoControl()
    {
        WindowFixture f;
        QVERIFY(f.startShown());
        const float height = f.view().Height();
        const float width = f.view().Width();
        f.window->showMinimized();
        QTRY_VERIFY(f.window->isMinimized());
        QCOMPARE(f.view().Height(), height);
        QCOMPARE(f.view().Width(), width);
    }

    void startedMaximisedThenMaximizeView()
    {
        writeFile("max.dat", "");
        WindowFixture f;
        QVERIFY(f.startShown());
        QTRY_VERIFY(f.window->isMaximized());
        QVERIFY(!settled(f).isEmpty());
        const float width = f.view().Width();

        f.item("mnuMaxView")->trigger();
        QVERIFY(f.window->isMaximized());
        QCOMPARE(f.view().Top(), 0.0f);
        QCOMPARE(f.view().Height(), f.window->windowLayout().windowHeight() - 700);
        QCOMPARE(f.view().Width(), width);
        QCOMPARE(f.item("mnuMaxView")->text(), QStringLiteral("Normal View"));

        // The way back ends in the normal state even though the window started maximised.
        f.item("mnuMaxView")->trigger();
        QVERIFY(!f.window->isMaximized());
        QVERIFY(!settled(f).isEmpty());
        QCOMPARE(f.view().Top(), 360.0f);
    }

    void restoringInMaximisedViewDisturbsIt()
    {
        WindowFixture f;
        QVERIFY(f.startShown());
        QAction *maxView = f.item("mnuMaxView");
        const WindowLayout &layout = f.window->windowLayout();
        maxView->trigger();
        QVERIFY(!settled(f).isEmpty());

        f.window->showNormal();
        QTRY_VERIFY(!f.window->isMaximized());
        QVERIFY(!settled(f).isEmpty());
        QCOMPARE(f.view().Height(), layout.windowHeight() - 1300);
        QCOMPARE(f.view().Top(), 0.0f);
        QCOMPARE(maxView->text(), QStringLiteral("Normal View"));

        // The view is found normal again, so the command maximises once more...
        maxView->trigger();
        QVERIFY(f.window->isMaximized());
        QVERIFY(!settled(f).isEmpty());
        QCOMPARE(f.view().Height(), layout.windowHeight() - 700);
        // ...and the next one returns to the normal view.
        maxView->trigger();
        QVERIFY(!f.window->isMaximized());
        QVERIFY(!settled(f).isEmpty());
        QCOMPARE(f.view().Top(), 360.0f);
        QCOMPARE(maxView->text(), QStringLiteral("Maximize View"));
    }

    void statusBarTwiceMovesNothing()
    {
        WindowFixture f;
        QVERIFY(f.startShown());
        auto *bar = f.statusBar();
        QAction *item = f.item("mnuViewStatus");
        const QRect view = f.engine->geometry();
        const float height = f.view().Height();

        item->trigger();
        QVERIFY(bar->isHidden());
        QVERIFY(!item->isChecked());
        QCOMPARE(f.engine->geometry(), view);
        QCOMPARE(f.view().Height(), height);

        item->trigger();
        QVERIFY(!bar->isHidden());
        QVERIFY(item->isChecked());
        QCOMPARE(f.engine->geometry(), view);
    }

    void fullScreenRoundTripPutsEverythingBack()
    {
        // From the normal and the maximised view, test_fullscreen's end to end;
        // here from a maximised window whose status bar is off.
        WindowFixture f;
        QVERIFY(f.startShown());
        f.item("mnuStartMax")->trigger();
        f.item("mnuViewStatus")->trigger();
        const QString before = settled(f);
        QVERIFY(!before.isEmpty());
        auto *bar = f.statusBar();

        f.engine->askFullScreen(true);
        QTRY_VERIFY(f.window->isFullScreen());
        QVERIFY(!settled(f).isEmpty());
        QCOMPARE(f.engine->geometry(), f.window->rect());
        for (const QWidget *control :
             std::initializer_list<const QWidget *>{f.window->menuBar(), f.address(), f.go(), bar})
            QVERIFY(!control->isVisible());
        // The status poll goes on underneath.
        f.engine->location = QStringLiteral("http://elsewhere/");
        QTRY_COMPARE(bar->panelText(3), f.engine->location);
        f.engine->location.clear();

        f.engine->askFullScreen(false);
        QTRY_VERIFY(!f.window->isFullScreen());
        QTRY_VERIFY(bar->panelText(3).isEmpty());
        QCOMPARE(settled(f), before);
        QVERIFY(f.dialogs->errors.isEmpty());
    }
};

CORVANE_TEST_MAIN(tst_Layout)
#include "tst_layout.moc"
