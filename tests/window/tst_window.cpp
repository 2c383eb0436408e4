#include "TempWorkingDir.h"
#include "TestMain.h"
#include "WindowFixture.h"

#include "settings/SettingsFiles.h"
#include "window/EventLoopTicker.h"
#include "window/PanelStatusBar.h"

#include <QAccessible>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>

namespace {

int pixelsX(const QWidget *widget, float twips)
{
    return int(std::lround(twips / Twips::perPixelX(widget)));
}

const QString Default = QString::fromLatin1(SettingsFiles::DefaultHomeAddress);

// Records what the address box held when the window state changed.
class StateChangeWatcher : public QObject {
public:
    StateChangeWatcher(QWidget *window, const QLineEdit *box)
        : m_box(box)
    {
        window->installEventFilter(this);
    }
    QStringList boxTextAtStateChange;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::WindowStateChange)
            boxTextAtStateChange << m_box->text();
        return false;
    }

private:
    const QLineEdit *m_box;
};

} // namespace

class tst_Window : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuTable_data();
    void menuTable();
    void controlsAtCreation();
    void statusPanels_data();
    void statusPanels();
    void focusAndTabOrder();
    void everyControlAndItemHasAnAccessibleName();
    void timers();

    void startUp_data();
    void startUp();
    void startUpOrder();
    void failingStartUp_data();
    void failingStartUp();

    void shortcutsWinFromAnyFocus_data();
    void shortcutsWinFromAnyFocus();
    void enterInAddressBoxGoes();
    void exitEndsTheEventLoopWithStatusZero();
    void failureAfterStartUpKeepsWindowRunning();

private:
    std::unique_ptr<TempWorkingDir> m_dir;
};

void tst_Window::init()
{
    m_dir = std::make_unique<TempWorkingDir>();
    QVERIFY(m_dir->isValid());
}

void tst_Window::cleanup()
{
    m_dir.reset();
}

void tst_Window::menuTable_data()
{
    QTest::addColumn<QString>("parentMenu");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<QString>("checkMark");

    const QKeySequence none;
    auto row = [](const char *name, const char *parent, int position, const char *caption,
                  QKeySequence keys, const char *mark) {
        QTest::newRow(name) << QString::fromLatin1(parent) << position
                            << QString::fromLatin1(caption) << keys << QString::fromLatin1(mark);
    };
    row("mnuFile", "", 0, "File", none, "none");
    row("mnuGoTo", "mnuFile", 0, "Go to address...", QKeySequence("Ctrl+G"), "none");
    row("mnuOpenFile", "mnuFile", 1, "Open File...", none, "none");
    row("mnuOffline", "mnuFile", 2, "Work Offline", QKeySequence("Ctrl+O"), "none");
    row("mnuHide", "mnuFile", 3, "Hide...", none, "none");
    row("mnuExit", "mnuFile", 4, "Exit", QKeySequence("Ctrl+E"), "none");
    row("mnuGo", "", 1, "Go", none, "none");
    row("mnuBack", "mnuGo", 0, "Back", QKeySequence("Alt+Backspace"), "none");
    row("mnuForward", "mnuGo", 1, "Forward", QKeySequence("Ctrl+F"), "none");
    row("mnuStop", "mnuGo", 2, "Stop", QKeySequence("Ctrl+S"), "none");
    row("mnuRefresh", "mnuGo", 3, "Refresh", QKeySequence("F5"), "none");
    row("mnuHome", "mnuGo", 4, "Home", QKeySequence("Ctrl+H"), "none");
    row("mnuView", "", 2, "View", none, "none");
    row("mnuToolbars", "mnuView", 0, "Toolbars", none, "none");
    row("mnuViewStatus", "mnuToolbars", 0, "Status Bar", none, "on");
    row("mnuMaxView", "mnuView", 1, "Maximize View", QKeySequence("Ctrl+M"), "none");
    row("mnuOptions", "", 3, "Options", none, "none");
    row("mnuSetHome", "mnuOptions", 0, "Set Home Address", QKeySequence("Ctrl+N"), "none");
    row("mnuStartMax", "mnuOptions", 1, "Start Up Maximised", none, "off");
    row("mnuSilent", "mnuOptions", 2, "Silent", none, "off");
}

void tst_Window::menuTable()
{
    QFETCH(QString, parentMenu);
    QFETCH(int, position);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(QString, checkMark);

    WindowFixture f;
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    QWidget *parent = parentMenu.isEmpty() ? static_cast<QWidget *>(f.window->menuBar())
                                           : f.window->findChild<QMenu *>(parentMenu);
    QVERIFY(parent);
    const QList<QAction *> siblings = parent->actions();
    QVERIFY(position < siblings.size());
    QAction *item = siblings.at(position);
    const QMenu *subMenu = f.window->findChild<QMenu *>(name);
    QCOMPARE(item, subMenu ? subMenu->menuAction() : f.window->findChild<QAction *>(name));
    QCOMPARE(item->text(), caption);
    QVERIFY(!item->text().contains(QLatin1Char('&')));
    QCOMPARE(item->shortcut(), shortcut);
    QVERIFY(item->isEnabled());
    QVERIFY(item->isVisible());
    QVERIFY(!item->isSeparator());
    QCOMPARE(item->isCheckable(), checkMark != QLatin1String("none"));
    QCOMPARE(item->isChecked(), checkMark == QLatin1String("on"));
}

void tst_Window::controlsAtCreation()
{
    WindowFixture f;
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Corvane"));
    for (const char *name : {"tmrAddress", "txtAddress", "CommonDialog1", "SystemTrayIcon",
                             "WebBrowser1", "cmdGo", "tmrStatus", "StatusBar1"})
        QVERIFY2(f.window->findChild<QObject *>(name), name);

    QCOMPARE(f.address()->text(), Default);
    QCOMPARE(f.address()->geometry(),
             QRect(0, 0, pixelsX(f.window.get(), 5535), pixelsX(f.window.get(), 285)));
    QCOMPARE(f.go()->text(), QStringLiteral("Go"));
    QCOMPARE(f.go()->geometry().topLeft(), QPoint(pixelsX(f.window.get(), 5640), 0));
    QCOMPARE(f.view().Top(), 360.0f);
    QCOMPARE(f.view().Width(), 6015.0f);
    QCOMPARE(f.view().Height(), 3615.0f);
    QCOMPARE(f.engine->geometry().topLeft(), QPoint(0, pixelsX(f.window.get(), 360)));

    // A long address must not be cut short by the box.
    const QString longAddress =
        QStringLiteral("http://127.0.0.1/") + QString(40000, QLatin1Char('a'));
    f.address()->setText(longAddress);
    QCOMPARE(f.address()->text(), longAddress);

    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    const auto *bar = f.window->findChild<PanelStatusBar *>("StatusBar1");
    QCOMPARE(f.window->centralWidget()->width(), pixelsX(f.window.get(), 6030));
    QCOMPARE(f.window->centralWidget()->height() + bar->height(), pixelsX(f.window.get(), 4275));
}

void tst_Window::statusPanels_data()
{
    QTest::addColumn<int>("panel");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("bevel");
    QTest::addColumn<float>("minimumWidth");

    QTest::newRow("1: fixed") << 1 << "Status:" << int(Qt::AlignRight) << int(QFrame::Sunken)
                              << 700.0f;
    QTest::newRow("2: fits its text")
        << 2 << "" << int(Qt::AlignHCenter) << int(QFrame::Raised) << 100.0f;
    QTest::newRow("3: takes the rest")
        << 3 << "" << int(Qt::AlignLeft) << int(QFrame::Sunken) << 100.0f;
}

void tst_Window::statusPanels()
{
    QFETCH(int, panel);
    QFETCH(QString, text);
    QFETCH(int, alignment);
    QFETCH(int, bevel);
    QFETCH(float, minimumWidth);

    WindowFixture f;
    const auto *bar = f.window->findChild<PanelStatusBar *>("StatusBar1");
    QVERIFY(bar);
    QVERIFY(bar->font().bold());
    QCOMPARE(bar->font().pointSizeF(), 8.25);
    const QLabel *label = bar->panel(panel);
    QCOMPARE(label->text(), text);
    QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), alignment);
    QCOMPARE(int(label->frameShadow()), bevel);
    // Panel 1 widens only if the platform's font needs more room for "Status:".
    if (panel == 1)
        QVERIFY(label->minimumWidth() >= pixelsX(f.window.get(), minimumWidth));
    else
        QCOMPARE(label->minimumWidth(), pixelsX(f.window.get(), minimumWidth));
}

void tst_Window::focusAndTabOrder()
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

void tst_Window::everyControlAndItemHasAnAccessibleName()
{
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    for (const char *name : {"txtAddress", "cmdGo", "WebBrowser1", "StatusBar1"}) {
        QAccessibleInterface *control =
            QAccessible::queryAccessibleInterface(f.window->findChild<QWidget *>(name));
        QVERIFY2(control && !control->text(QAccessible::Name).isEmpty(), name);
    }
    for (const char *name : {"mnuFile", "mnuGo", "mnuView", "mnuToolbars", "mnuOptions"}) {
        QMenu *menu = f.menu(name);
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(menu);
        QCOMPARE(list->childCount(), menu->actions().size());
        for (int i = 0; i < list->childCount(); ++i)
            QCOMPARE(list->child(i)->text(QAccessible::Name), menu->actions().at(i)->text());
    }
}

void tst_Window::timers()
{
    WindowFixture f;
    const auto *status = f.window->findChild<EventLoopTicker *>("tmrStatus");
    const auto *address = f.window->findChild<EventLoopTicker *>("tmrAddress");
    QCOMPARE(status->interval(), 1);
    QCOMPARE(address->interval(), 0);

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

void tst_Window::startUp_data()
{
    QTest::addColumn<QByteArray>("homeFile");   // empty: absent
    QTest::addColumn<QByteArray>("markerFile"); // "<dir>" for a directory; empty: absent
    QTest::addColumn<QString>("homeAddress");
    QTest::addColumn<QByteArray>("homeFileAfter");
    QTest::addColumn<bool>("maximised");

    const QByteArray absent;
    QTest::newRow("first start") << absent << absent << Default << (Default.toLatin1() + "\r\n")
                                 << false;
    QTest::newRow("several lines, only the first used")
        << QByteArray("http://first/\r\nhttp://second/\r\n") << absent << "http://first/"
        << QByteArray("http://first/\r\nhttp://second/\r\n") << false;
    QTest::newRow("empty first line") << QByteArray("\r\nhttp://second/") << absent << ""
                                      << QByteArray("\r\nhttp://second/") << false;
    QTest::newRow("blanks kept, no scheme added")
        << QByteArray("  example.org \r\n") << absent << "  example.org "
        << QByteArray("  example.org \r\n") << false;
    QTest::newRow("empty marker") << QByteArray("h\r\n") << QByteArray("") << "h"
                                  << QByteArray("h\r\n") << true;
    QTest::newRow("marker with text")
        << QByteArray("h\r\n") << QByteArray("anything") << "h" << QByteArray("h\r\n") << true;
    QTest::newRow("directory named max.dat")
        << QByteArray("h\r\n") << QByteArray("<dir>") << "h" << QByteArray("h\r\n") << false;
}

void tst_Window::startUp()
{
    QFETCH(QByteArray, homeFile);
    QFETCH(QByteArray, markerFile);
    QFETCH(QString, homeAddress);
    QFETCH(QByteArray, homeFileAfter);
    QFETCH(bool, maximised);

    if (!homeFile.isNull())
        writeFile("home.ad", homeFile);
    if (markerFile == "<dir>")
        QVERIFY(QDir().mkdir("max.dat"));
    else if (!markerFile.isNull())
        writeFile("max.dat", markerFile);

    WindowFixture f;
    QVERIFY(f.window->start());
    QCOMPARE(f.log.calls, QStringList{QStringLiteral("Navigate(%1)").arg(homeAddress)});
    QCOMPARE(f.address()->text(), homeAddress);
    QCOMPARE(fileBytes("home.ad"), homeFileAfter);
    QCOMPARE(f.window->isMaximized(), maximised);
    QCOMPARE(f.item("mnuStartMax")->isChecked(), maximised);

    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QCOMPARE(f.window->isMaximized(), maximised);
}

void tst_Window::startUpOrder()
{
    writeFile("home.ad", "http://home/\r\n");
    writeFile("max.dat", "");
    WindowFixture f;
    QString boxAtNavigate;
    f.engine->onNavigate = [&](const QString &) { boxAtNavigate = f.address()->text(); };
    StateChangeWatcher watcher(f.window.get(), f.address());

    QVERIFY(f.window->start());
    QCOMPARE(boxAtNavigate, Default); // the engine is sent before the box is filled
    QCOMPARE(watcher.boxTextAtStateChange, QStringList{"http://home/"}); // box before state
}

void tst_Window::failingStartUp_data()
{
    QTest::addColumn<QByteArray>("homeFile");
    QTest::addColumn<bool>("homeIsDirectory");

    QTest::newRow("zero-byte home.ad") << QByteArray("") << false;
    QTest::newRow("directory named home.ad (cannot be created)") << QByteArray() << true;
}

void tst_Window::failingStartUp()
{
    QFETCH(QByteArray, homeFile);
    QFETCH(bool, homeIsDirectory);
    if (homeIsDirectory)
        QVERIFY(QDir().mkdir("home.ad"));
    else
        writeFile("home.ad", homeFile);

    WindowFixture f;
    QVERIFY(!f.window->start());
    QCOMPARE(f.dialogs->errors.size(), 1);
    QVERIFY2(f.dialogs->errors.first().contains(QLatin1String("home.ad")),
             qPrintable(f.dialogs->errors.first()));
    QVERIFY(!f.log.calls.join('\n').contains(QLatin1String("Navigate")));
    QVERIFY(!f.window->isVisible());
}

void tst_Window::shortcutsWinFromAnyFocus_data()
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
    for (const auto &row : rows) {
        for (bool inBox : {true, false}) {
            QTest::addRow("%s, focus in %s", row.keys, inBox ? "address box" : "page")
                << QKeySequence(QString::fromLatin1(row.keys)) << inBox << row.calls;
        }
    }
}

void tst_Window::shortcutsWinFromAnyFocus()
{
    QFETCH(QKeySequence, keys);
    QFETCH(bool, inAddressBox);
    QFETCH(QStringList, expected);

    writeFile("home.ad", "http://home/\r\n");
    WindowFixture f;
    f.engine->setFocusPolicy(Qt::StrongFocus);
    QVERIFY(f.startShown());
    f.address()->setText("typed");
    QWidget *focus = inAddressBox ? static_cast<QWidget *>(f.address()) : f.engine;
    focus->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), focus);

    f.log.calls.clear();
    QTest::keySequence(focus, keys);
    QCOMPARE(f.log.calls, expected);
    QCOMPARE(f.address()->text(), keys == QKeySequence("Ctrl+H") ? "http://home/" : "typed");
}

void tst_Window::enterInAddressBoxGoes()
{
    writeFile("home.ad", "h\r\n");
    WindowFixture f;
    QVERIFY(f.startShown());
    f.address()->setFocus();
    f.address()->setText(" not an address ");
    f.log.calls.clear();
    QTest::keyClick(f.address(), Qt::Key_Return);
    QCOMPARE(f.log.calls, (QStringList{"Offline=false", "RegisterAsBrowser=true",
                                       "Navigate( not an address )"}));
    QCOMPARE(f.address()->text(), " not an address ");
}

void tst_Window::exitEndsTheEventLoopWithStatusZero()
{
    writeFile("home.ad", "h\r\n");
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

void tst_Window::failureAfterStartUpKeepsWindowRunning()
{
    writeFile("home.ad", "http://home/\r\n");
    WindowFixture f;
    QVERIFY(f.startShown());
    QVERIFY(QFile::remove("home.ad"));

    f.log.calls.clear();
    f.item("mnuHome")->trigger();
    QCOMPARE(f.dialogs->errors.size(), 1);
    QVERIFY2(f.dialogs->errors.first().startsWith(QLatin1String("home.ad")),
             qPrintable(f.dialogs->errors.first()));
    QVERIFY(f.window->isVisible());
    f.item("mnuBack")->trigger();
    QCOMPARE(f.log.calls.last(), QStringLiteral("GoBack"));
}

CORVANE_TEST_MAIN(tst_Window)
#include "tst_window.moc"
