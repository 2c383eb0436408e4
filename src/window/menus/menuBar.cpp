#include "window/frmExplorer.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>

void frmExplorer::createMenus()
{
    struct Menu {
        const char *name;
        const char *caption;
        const char *in;
    };
    static const Menu menus[] = {
        {"mnuFile", "File", nullptr},       {"mnuGo", "Go", nullptr},
        {"mnuView", "View", nullptr},       {"mnuToolbars", "Toolbars", "mnuView"},
        {"mnuOptions", "Options", nullptr},
    };
    struct Item {
        const char *menu;
        const char *name;
        const char *caption;
        QKeySequence keys;
        bool checkable;
        Handler handler;
    };
    using W = frmExplorer;
    static const Item items[] = {
        {"mnuFile", "mnuGoTo", "Go to address...", Qt::CTRL | Qt::Key_G, false, &W::goToAddress},
        {"mnuFile", "mnuOpenFile", "Open File...", {}, false, &W::openFile},
        {"mnuFile", "mnuOffline", "Work Offline", Qt::CTRL | Qt::Key_O, false, &W::workOffline},
        {"mnuFile", "mnuHide", "Hide...", {}, false, &W::hideToTray},
        {"mnuFile", "mnuExit", "Exit", Qt::CTRL | Qt::Key_E, false, &W::exitProgram},
        {"mnuGo", "mnuBack", "Back", Qt::ALT | Qt::Key_Backspace, false, &W::back},
        {"mnuGo", "mnuForward", "Forward", Qt::CTRL | Qt::Key_F, false, &W::forward},
        {"mnuGo", "mnuStop", "Stop", Qt::CTRL | Qt::Key_S, false, &W::stop},
        {"mnuGo", "mnuRefresh", "Refresh", Qt::Key_F5, false, &W::refresh},
        {"mnuGo", "mnuHome", "Home", Qt::CTRL | Qt::Key_H, false, &W::home},
        {"mnuToolbars", "mnuViewStatus", "Status Bar", {}, true, &W::toggleStatusBar},
        {"mnuView", "mnuMaxView", "Maximize View", Qt::CTRL | Qt::Key_M, false, &W::toggleMaxView},
        {"mnuOptions", "mnuSetHome", "Set Home Address", Qt::CTRL | Qt::Key_N, false,
         &W::setHomeAddress},
        {"mnuOptions", "mnuStartMax", "Start Up Maximised", {}, true, &W::toggleStartMaximised},
        {"mnuOptions", "mnuSilent", "Silent", {}, true, &W::toggleSilent},
    };

    for (const Menu &entry : menus) {
        QMenu *menu = entry.in ? findChild<QMenu *>(entry.in)->addMenu(entry.caption)
                               : menuBar()->addMenu(entry.caption);
        menu->setObjectName(QString::fromLatin1(entry.name));
    }
    for (const Item &entry : items) {
        QAction *item = findChild<QMenu *>(entry.menu)->addAction(entry.caption);
        item->setObjectName(QString::fromLatin1(entry.name));
        item->setShortcut(entry.keys);
        item->setCheckable(entry.checkable);
        onTriggered(item, entry.handler);
    }
    mnuViewStatus = findChild<QAction *>(QStringLiteral("mnuViewStatus"));
    mnuViewStatus->setChecked(true);
    mnuMaxView = findChild<QAction *>(QStringLiteral("mnuMaxView"));
    mnuStartMax = findChild<QAction *>(QStringLiteral("mnuStartMax"));
    mnuSilent = findChild<QAction *>(QStringLiteral("mnuSilent"));
    // Also from a box a page has open, which may be the next of many.
    findChild<QAction *>(QStringLiteral("mnuExit"))->setShortcutContext(Qt::ApplicationShortcut);
}

void frmExplorer::onTriggered(QAction *item, Handler handler)
{
    connect(item, &QAction::triggered, this, [this, item, handler] {
        // Qt flips a checkable item's mark before it reports the click; the
        // handler sets the mark itself, after the thing the mark stands for.
        if (item->isCheckable()) {
            const QSignalBlocker quiet(item);
            item->setChecked(!item->isChecked());
        }
        runGuarded(handler);
    });
}
