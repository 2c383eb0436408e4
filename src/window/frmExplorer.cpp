#include "frmExplorer.h"

#include "Dialogs.h"
#include "EventLoopTicker.h"
#include "FileOpenDialog.h"
#include "PanelStatusBar.h"
#include "RunTimeError.h"
#include "engine/BrowserEngine.h"
#include "layout/Twips.h"
#include "menus/MenuShortcutPriority.h"
#include "settings/SettingsFiles.h"
#include "tray/TrayComponent.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>

#include <cmath>
#include <iterator>
#include <limits>

namespace {

// The window's client area at creation, in twips.
constexpr float ClientWidth = 6030;
constexpr float ClientHeight = 4275;

} // namespace

frmExplorer::frmExplorer(BrowserEngine *webBrowser, FileOpenDialog *commonDialog,
                         TrayComponent *systemTrayIcon, std::unique_ptr<Dialogs> dialogs,
                         QWidget *parent)
    : QMainWindow(parent)
    , m_dialogs(std::move(dialogs))
    , CommonDialog1(commonDialog)
    , SystemTrayIcon(systemTrayIcon)
    , WebBrowser1(webBrowser)
{
    setObjectName(QStringLiteral("frmExplorer"));
    setWindowTitle(QStringLiteral("Corvane"));
    createControls();
    createMenus();
    new MenuShortcutPriority(this);

    const float x = Twips::perPixelX(this);
    const float y = Twips::perPixelY(this);
    resize(int(std::lround(ClientWidth / x)),
           int(std::lround(ClientHeight / y)) + menuBar()->sizeHint().height());
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect centred = rect();
        centred.moveCenter(screen->availableGeometry().center());
        move(centred.topLeft());
    }
}

frmExplorer::~frmExplorer() = default;

void frmExplorer::createControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client);

    tmrAddress = new EventLoopTicker(0, this);
    tmrAddress->setObjectName(QStringLiteral("tmrAddress"));

    txtAddress = new QLineEdit(QString::fromLatin1(SettingsFiles::DefaultHomeAddress), client);
    txtAddress->setObjectName(QStringLiteral("txtAddress"));
    txtAddress->setAccessibleName(QStringLiteral("Address"));
    txtAddress->setMaxLength(std::numeric_limits<int>::max());

    CommonDialog1->setParent(this);
    CommonDialog1->setObjectName(QStringLiteral("CommonDialog1"));

    SystemTrayIcon->setParent(this);
    SystemTrayIcon->setObjectName(QStringLiteral("SystemTrayIcon"));
    connect(SystemTrayIcon, &TrayComponent::activated, this,
            [this] { runGuarded(&frmExplorer::restoreFromTray); });

    WebBrowser1->setParent(client);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setAccessibleName(QStringLiteral("Page"));
    // Queued: the window changes its state once the engine has answered the page.
    connect(
        WebBrowser1, &BrowserEngine::fullScreenChanged, this,
        [this] { runGuarded(&frmExplorer::followFullScreen); }, Qt::QueuedConnection);

    cmdGo = new QPushButton(QStringLiteral("Go"), client);
    cmdGo->setObjectName(QStringLiteral("cmdGo"));
    cmdGo->setDefault(true);
    connect(cmdGo, &QPushButton::clicked, this, [this] { runGuarded(&frmExplorer::go); });
    // A main window has no default-button handling of its own: Enter in the
    // address box presses Go, as it would in a dialog.
    connect(txtAddress, &QLineEdit::returnPressed, cmdGo, &QPushButton::click);

    tmrStatus = new EventLoopTicker(1, this);
    tmrStatus->setObjectName(QStringLiteral("tmrStatus"));
    connect(tmrStatus, &EventLoopTicker::tick, this, &frmExplorer::tickStatus);

    StatusBar1 = new PanelStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setAccessibleName(QStringLiteral("Status bar"));
    setStatusBar(StatusBar1);

    m_layout = new WindowLayout({this, txtAddress, cmdGo, WebBrowser1, StatusBar1});

    setTabOrder(WebBrowser1, cmdGo);
    setTabOrder(cmdGo, txtAddress);
    WebBrowser1->setFocus();
}

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

bool frmExplorer::runGuarded(Handler handler)
{
    const std::optional<QString> failure = failureOf(handler);
    if (failure)
        report(*failure);
    return !failure;
}

std::optional<QString> frmExplorer::failureOf(Handler handler)
{
    try {
        (this->*handler)();
        return std::nullopt;
    } catch (const RunTimeError &error) {
        return error.message();
    } catch (const std::exception &error) {
        return QString::fromLocal8Bit(error.what());
    }
}

void frmExplorer::report(const QString &failure)
{
    tellUser(*m_dialogs, this, failure);
}

void frmExplorer::tickStatus()
{
    // The report's own event loop ticks too: without this, a failing tick
    // would open box after box inside each other.
    if (m_reportingStatusFailure)
        return;
    const std::optional<QString> failure = failureOf(&frmExplorer::updateStatus);
    if (failure && failure != m_statusFailure) {
        m_reportingStatusFailure = true;
        report(*failure);
        m_reportingStatusFailure = false;
    }
    m_statusFailure = failure;
}

bool frmExplorer::start()
{
    return runGuarded(&frmExplorer::load);
}

void frmExplorer::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    // The window manager frames the window after it is first shown (and may
    // change the frame later): the outer size changes with no resize event,
    // and Qt reports only the move of the client area inside the new frame.
    if (m_layout->frameChanged())
        runGuarded(&frmExplorer::layoutControls);
}

void frmExplorer::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    runGuarded(&frmExplorer::layoutControls);
}

void frmExplorer::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        runGuarded(&frmExplorer::layoutControls);
}
