#pragma once

#include "Fakes.h"
#include "TempWorkingDir.h"
#include "window/PanelStatusBar.h"
#include "window/frmExplorer.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <memory>

// A window built on fakes, with its parts reached by their names as a user
// would reach them by sight.
struct WindowFixture {
    CallLog log;
    FakeEngine *engine = new FakeEngine(log);
    FakeFileOpenDialog *fileDialog = new FakeFileOpenDialog(log);
    FakeTray *tray = new FakeTray(log);
    FakeDialogs *dialogs = new FakeDialogs(log);
    std::unique_ptr<frmExplorer> window =
        std::make_unique<frmExplorer>(engine, fileDialog, tray, std::unique_ptr<Dialogs>(dialogs));

    // Starts the window as the program does, then shows it with the focus in
    // it, the log left with what comes after start-up only.
    bool startShown()
    {
        if (!window->start())
            return false;
        window->show();
        log.calls.clear();
        return QTest::qWaitForWindowActive(window.get());
    }

    QAction *item(const char *name) const { return window->findChild<QAction *>(name); }
    QMenu *menu(const char *name) const { return window->findChild<QMenu *>(name); }
    QLineEdit *address() const { return window->findChild<QLineEdit *>("txtAddress"); }
    QPushButton *go() const { return window->findChild<QPushButton *>("cmdGo"); }
    PanelStatusBar *statusBar() const { return window->findChild<PanelStatusBar *>("StatusBar1"); }
    const TwipsPlacement &view() const { return window->windowLayout().enginePlacement(); }
};

// A window test case: each test function runs in a fresh current directory
// holding homeFile as "home.ad".
class WindowTestCase : public QObject {
    Q_OBJECT

protected:
    QByteArray homeFile = "http://home/\r\n";

private slots:
    void init()
    {
        m_dir = std::make_unique<TempWorkingDir>();
        QVERIFY(m_dir->isValid());
        writeFile("home.ad", homeFile);
    }
    void cleanup() { m_dir.reset(); }

private:
    std::unique_ptr<TempWorkingDir> m_dir;
};
