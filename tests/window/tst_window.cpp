#include "EventWatcher.h"
#include "TestMain.h"
#include "WindowFixture.h"

#include "settings/SettingsFiles.h"
#include "window/EventLoopTicker.h"

#include <QAccessible>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTimer>

#include <cmath>

const QString Default = QString::fromLatin1(SettingsFiles::DefaultHomeAddress);

class tst_Window : public WindowTestCase {
    Q_OBJECT

private slots:
    void controlsAtCreation()
    {
        WindowFixture f;
        const auto pixels = [&f](float twips) {
            return int(std::lround(twips / Twips::perPixelX(f.window.get())));
        };
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Corvane"));

        QCOMPARE(f.address()->text(), Default);
        QCOMPARE(f.address()->geometry(), QRect(0, 0, pixels(5535), pixels(285)));
        QCOMPARE(f.go()->text(), QStringLiteral("Go"));
        QCOMPARE(f.go()->geometry().topLeft(), QPoint(pixels(5640), 0));
        QCOMPARE(f.view().Top(), 360.0f);
        QCOMPARE(f.view().Width(), 6015.0f);
        QCOMPARE(f.view().Height(), 3615.0f);
        QCOMPARE(f.engine->geometry().topLeft(), QPoint(0, pixels(360)));

        // A long address must not be cut short by the box.
        const QString longAddress =
            QStringLiteral("http://127.0.0.1/") + QString(40000, QLatin1Char('a'));
        f.address()->setText(longAddress);
        QCOMPARE(f.address()->text(), longAddress);

        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QCOMPARE(f.window->centralWidget()->width(), pixels(6030));
        QCOMPARE(f.window->centralWidget()->height() + f.statusBar()->height(), pixels(4275));
    }

    void focusAndTabOrder()
    {
        WindowFixture f;
        f.engine->setFocusPolicy(Qt::StrongFocus);
        QVERIFY(f.go()->isDefault());
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QCOMPARE(QApplication::focusWidget(), f.engine);
        QTest::keyClick(f.engine, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.go());
        QTest::keyClick(f.go(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.address());
    }

    void everyControlAndItemHasAnAccessibleName()
    {
        WindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        for (const char *name : {"txtAddress", "cmdGo", "WebBrowser1", "StatusBar1"}) {
            QAccessibleInterface *control =
                QAccessible::queryAccessibleInterface(f.window->findChild<QWidget *>(name));
            QVERIFY2(control && !control->text(QAccessible::Name).isEmpty(), name);
        }
        // Each menu's items in order, read as a screen reader reads them.
        const QList<std::pair<QWidget *, QStringList>> menus = {
            {f.window->menuBar(), {"File", "Go", "View", "Options"}},
            {f.menu("mnuFile"),
             {"Go to address...", "Open File...", "Work Offline", "Hide...", "Exit"}},
            {f.menu("mnuGo"), {"Back", "Forward", "Stop", "Refresh", "Home"}},
            {f.menu("mnuView"), {"Toolbars", "Maximize View"}},
            {f.menu("mnuToolbars"), {"Status Bar"}},
            {f.menu("mnuOptions"), {"Set Home Address", "Start Up Maximised", "Silent"}},
        };
        for (const auto &[menu, captions] : menus) {
            QAccessibleInterface *list = QAccessible::queryAccessibleInterface(menu);
            QCOMPARE(list->childCount(), menu->actions().size());
            QStringList read;
            for (int i = 0; i < list->childCount(); ++i) {
                read << list->child(i)->text(QAccessible::Name);
                QCOMPARE(read.last(), menu->actions().at(i)->text());
            }
            QCOMPARE(read, captions);
        }
    }

    void timers()
    {
        WindowFixture f;
        const auto *status = f.window->findChild<EventLoopTicker *>("tmrStatus");
        const auto *address = f.window->findChild<EventLoopTicker *>("tmrAddress");

        QSignalSpy addressTicks(address, &EventLoopTicker::tick);
        QSignalSpy statusTicks(status, &EventLoopTicker::tick);
        QTRY_VERIFY_WITH_TIMEOUT(statusTicks.count() >= 3, 2000);
        QCOMPARE(addressTicks.count(), 0);

        // A window with nothing to do is left asleep: a clock of one display frame
        // would tick 18 times here, a 1 ms one 300 times.
        statusTicks.clear();
        QEventLoop idle;
        QTimer::singleShot(300, &idle, &QEventLoop::quit);
        idle.exec();
        QVERIFY2(statusTicks.count() <= 6, qPrintable(QString::number(statusTicks.count())));
        QCOMPARE(addressTicks.count(), 0);
    }

    void startUp_data()
    {
        QTest::addColumn<QByteArray>("homeFile"); // null: absent
        QTest::addColumn<bool>("maximised");      // started with the marker
        QTest::addColumn<QString>("homeAddress");

        QTest::newRow("first start") << QByteArray() << false << Default;
        QTest::newRow("blanks kept, no scheme added, maximised")
            << QByteArray("  example.org \r\n") << true << "  example.org ";
    }
    void startUp()
    {
        QFETCH(QByteArray, homeFile);
        QFETCH(bool, maximised);
        QFETCH(QString, homeAddress);
        QVERIFY(QFile::remove("home.ad"));
        if (!homeFile.isNull())
            writeFile("home.ad", homeFile);
        if (maximised)
            writeFile("max.dat", "");

        WindowFixture f;
        QString boxAtNavigate;
        f.engine->onNavigate = [&](const QString &) { boxAtNavigate = f.address()->text(); };
        QStringList boxAtStateChange;
        const EventWatcher watcher(f.window.get(), QEvent::WindowStateChange,
                                   [&] { boxAtStateChange << f.address()->text(); });

        QVERIFY(f.window->start());
        QCOMPARE(f.log.calls, QStringList{QStringLiteral("Navigate(%1)").arg(homeAddress)});
        QCOMPARE(boxAtNavigate, Default); // the engine is sent before the box is filled
        // The box is filled before the state is set.
        QCOMPARE(boxAtStateChange, maximised ? QStringList{homeAddress} : QStringList());
        QCOMPARE(f.address()->text(), homeAddress);
        QCOMPARE(fileBytes("home.ad"), homeFile.isNull() ? Default.toLatin1() + "\r\n" : homeFile);
        QCOMPARE(f.window->isMaximized(), maximised);
        QCOMPARE(f.item("mnuStartMax")->isChecked(), maximised);

        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QCOMPARE(f.window->isMaximized(), maximised);
    }

    void failingStartUp()
    {
        // No home file, and none can be made.
        QVERIFY(QFile::remove("home.ad") && QDir().mkdir("home.ad"));

        WindowFixture f;
        QVERIFY(!f.window->start());
        QCOMPARE(f.dialogs->errors.size(), 1);
        QVERIFY2(f.dialogs->errors[0].contains("home.ad"), qPrintable(f.dialogs->errors[0]));
        QVERIFY(!f.log.calls.join('\n').contains(QLatin1String("Navigate")));
        QVERIFY(!f.window->isVisible());
    }

    void shortcutsWinFromAnyFocus_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<bool>("inAddressBox");
        QTest::addColumn<QStringList>("expected");

        const QStringList goCalls{"Offline=false", "RegisterAsBrowser=true", "Navigate(typed)"};
        const struct {
            const char *keys;
            QStringList calls;
        } rows[] = {
            {"Ctrl+G", goCalls},
            {"Ctrl+O", {"Offline=true"}},
            {"Alt+Backspace", {"GoBack"}},
            {"Ctrl+F", {"GoForward"}},
            {"Ctrl+S", {"Stop"}},
            {"F5", {"Refresh"}},
            {"Ctrl+H", {"Navigate(http://home/)"}},
            {"Ctrl+N", {"askText(Home Address|What would you like it to be?)"}},
        };
        for (const auto &row : rows)
            for (bool inBox : {true, false})
                QTest::addRow("%s, focus in %s", row.keys, inBox ? "address box" : "page")
                    << QKeySequence(QString::fromLatin1(row.keys)) << inBox << row.calls;
    }
    void shortcutsWinFromAnyFocus()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(bool, inAddressBox);
        QFETCH(QStringList, expected);

        WindowFixture f;
        f.engine->setFocusPolicy(Qt::StrongFocus);
        QVERIFY(f.startShown());
        f.address()->setText("typed");
        QWidget *focus = inAddressBox ? static_cast<QWidget *>(f.address()) : f.engine;
        focus->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), focus);

        QTest::keySequence(focus, keys);
        QCOMPARE(f.log.calls, expected);
        QCOMPARE(f.address()->text(), keys == QKeySequence("Ctrl+H") ? "http://home/" : "typed");
    }

    void exitEndsTheEventLoopWithStatusZero()
    {
        WindowFixture f;
        QVERIFY(f.startShown());
        f.address()->setFocus();

        QEventLoop loop;
        QTimer::singleShot(0, f.address(),
                           [&] { QTest::keySequence(f.address(), QKeySequence("Ctrl+E")); });
        QTimer::singleShot(5000, &loop, [&] { loop.exit(99); });
        QCOMPARE(loop.exec(), 0);
        QVERIFY(f.dialogs->errors.isEmpty());
    }

    void failureAfterStartUpKeepsWindowRunning()
    {
        WindowFixture f;
        QVERIFY(f.startShown());
        QVERIFY(QFile::remove("home.ad"));

        f.item("mnuHome")->trigger();
        QCOMPARE(f.dialogs->errors.size(), 1);
        QVERIFY2(f.dialogs->errors[0].startsWith("home.ad"), qPrintable(f.dialogs->errors[0]));
        QVERIFY(f.window->isVisible());
        f.item("mnuBack")->trigger();
        QCOMPARE(f.log.calls.last(), QStringLiteral("GoBack"));
    }
};

CORVANE_TEST_MAIN(tst_Window)
#include "tst_window.moc"
