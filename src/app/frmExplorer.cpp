#include "frmExplorer.h"

#include "Dialogs.h"
#include "EventLoopTicker.h"
#include "FileOpenDialog.h"
#include "LayoutRules.h"
#include "MenuShortcutPriority.h"
#include "PanelStatusBar.h"
#include "RunTimeError.h"
#include "Twips.h"
#include "engine/BrowserEngine.h"
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
    m_addressPlacement = std::make_unique<TwipsPlacement>(txtAddress, 0, 0, 5535, 285);

    CommonDialog1->setParent(this);
    CommonDialog1->setObjectName(QStringLiteral("CommonDialog1"));

    SystemTrayIcon->setParent(this);
    SystemTrayIcon->setObjectName(QStringLiteral("SystemTrayIcon"));
    connect(SystemTrayIcon, &TrayComponent::activated, this,
            [this] { runGuarded(&frmExplorer::restoreFromTray); });

    WebBrowser1->setParent(client);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setAccessibleName(QStringLiteral("Page"));
    m_enginePlacement = std::make_unique<TwipsPlacement>(WebBrowser1, 0, 360, 6015, 3615);
    // Queued: the window changes its state once the engine has answered the page.
    connect(
        WebBrowser1, &BrowserEngine::fullScreenChanged, this,
        [this] { runGuarded(&frmExplorer::followFullScreen); }, Qt::QueuedConnection);

    cmdGo = new QPushButton(QStringLiteral("Go"), client);
    cmdGo->setObjectName(QStringLiteral("cmdGo"));
    cmdGo->setDefault(true);
    m_goPlacement = std::make_unique<TwipsPlacement>(cmdGo, 5640, 0, 375, 255);
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

    setTabOrder(WebBrowser1, cmdGo);
    setTabOrder(cmdGo, txtAddress);
    WebBrowser1->setFocus();
}

QAction *frmExplorer::addItem(QMenu *menu, const char *name, const QString &caption,
                              const QKeySequence &shortcut)
{
    QAction *item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    item->setShortcut(shortcut);
    return item;
}

void frmExplorer::createMenus()
{
    QMenuBar *bar = menuBar();

    mnuFile = bar->addMenu(QStringLiteral("File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuGoTo = addItem(mnuFile, "mnuGoTo", QStringLiteral("Go to address..."), Qt::CTRL | Qt::Key_G);
    mnuOpenFile = addItem(mnuFile, "mnuOpenFile", QStringLiteral("Open File..."));
    mnuOffline =
        addItem(mnuFile, "mnuOffline", QStringLiteral("Work Offline"), Qt::CTRL | Qt::Key_O);
    mnuHide = addItem(mnuFile, "mnuHide", QStringLiteral("Hide..."));
    mnuExit = addItem(mnuFile, "mnuExit", QStringLiteral("Exit"), Qt::CTRL | Qt::Key_E);
    // Also from a box a page has open, which may be the next of many.
    mnuExit->setShortcutContext(Qt::ApplicationShortcut);

    mnuGo = bar->addMenu(QStringLiteral("Go"));
    mnuGo->setObjectName(QStringLiteral("mnuGo"));
    mnuBack = addItem(mnuGo, "mnuBack", QStringLiteral("Back"), Qt::ALT | Qt::Key_Backspace);
    mnuForward = addItem(mnuGo, "mnuForward", QStringLiteral("Forward"), Qt::CTRL | Qt::Key_F);
    mnuStop = addItem(mnuGo, "mnuStop", QStringLiteral("Stop"), Qt::CTRL | Qt::Key_S);
    mnuRefresh = addItem(mnuGo, "mnuRefresh", QStringLiteral("Refresh"), Qt::Key_F5);
    mnuHome = addItem(mnuGo, "mnuHome", QStringLiteral("Home"), Qt::CTRL | Qt::Key_H);

    mnuView = bar->addMenu(QStringLiteral("View"));
    mnuView->setObjectName(QStringLiteral("mnuView"));
    mnuToolbars = mnuView->addMenu(QStringLiteral("Toolbars"));
    mnuToolbars->setObjectName(QStringLiteral("mnuToolbars"));
    mnuViewStatus = addItem(mnuToolbars, "mnuViewStatus", QStringLiteral("Status Bar"));
    mnuViewStatus->setCheckable(true);
    mnuViewStatus->setChecked(true);
    mnuMaxView =
        addItem(mnuView, "mnuMaxView", QStringLiteral("Maximize View"), Qt::CTRL | Qt::Key_M);

    mnuOptions = bar->addMenu(QStringLiteral("Options"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    mnuSetHome =
        addItem(mnuOptions, "mnuSetHome", QStringLiteral("Set Home Address"), Qt::CTRL | Qt::Key_N);
    mnuStartMax = addItem(mnuOptions, "mnuStartMax", QStringLiteral("Start Up Maximised"));
    mnuStartMax->setCheckable(true);
    mnuSilent = addItem(mnuOptions, "mnuSilent", QStringLiteral("Silent"));
    mnuSilent->setCheckable(true);

    onTriggered(mnuGoTo, &frmExplorer::goToAddress);
    onTriggered(mnuOpenFile, &frmExplorer::openFile);
    onTriggered(mnuOffline, &frmExplorer::workOffline);
    onTriggered(mnuHide, &frmExplorer::hideToTray);
    onTriggered(mnuExit, &frmExplorer::exitProgram);
    onTriggered(mnuBack, &frmExplorer::back);
    onTriggered(mnuForward, &frmExplorer::forward);
    onTriggered(mnuStop, &frmExplorer::stop);
    onTriggered(mnuRefresh, &frmExplorer::refresh);
    onTriggered(mnuHome, &frmExplorer::home);
    onTriggered(mnuViewStatus, &frmExplorer::toggleStatusBar);
    onTriggered(mnuMaxView, &frmExplorer::toggleMaxView);
    onTriggered(mnuSetHome, &frmExplorer::setHomeAddress);
    onTriggered(mnuStartMax, &frmExplorer::toggleStartMaximised);
    onTriggered(mnuSilent, &frmExplorer::toggleSilent);
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

float frmExplorer::windowWidth() const
{
    return float(frameGeometry().width()) * Twips::perPixelX(this);
}

float frmExplorer::windowHeight() const
{
    return float(frameGeometry().height()) * Twips::perPixelY(this) + unseenFrameHeight();
}

float frmExplorer::unseenFrameHeight() const
{
    // A Wayland compositor that draws the frame itself (server-side
    // decorations: sway, KWin) tells no client how tall it is, so Qt reports
    // no frame. Counting none, the height margin would take the title bar
    // out of a window that does not include it, and the page would end a
    // title bar's height short of the status bar. Where Qt draws the frame
    // (client-side decorations), it knows the frame and reports it.
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")) ||
        frameGeometry() != geometry() || isFullScreen())
        return 0;
    const float y = Twips::perPixelY(this);
    return LayoutRules::frameHeightTheMarginsFit(float(menuBar()->sizeHint().height()) * y,
                                                 float(StatusBar1->sizeHint().height()) * y);
}

void frmExplorer::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    // The window manager frames the window after it is first shown (and may
    // change the frame later): the outer size changes with no resize event,
    // and Qt reports only the move of the client area inside the new frame.
    if (frameGeometry().size() != m_laidOutSize)
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
