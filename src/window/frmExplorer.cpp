#include "frmExplorer.h"

#include "Dialogs.h"
#include "EventLoopTicker.h"
#include "FileOpenDialog.h"
#include "FlushAlone.h"
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

    CommonDialog1->setParent(this);
    CommonDialog1->setObjectName(QStringLiteral("CommonDialog1"));

    SystemTrayIcon->setParent(this);
    SystemTrayIcon->setObjectName(QStringLiteral("SystemTrayIcon"));
    connect(SystemTrayIcon, &TrayComponent::activated, this,
            [this] { runGuarded(&frmExplorer::restoreFromTray); });

    WebBrowser1->setParent(client);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setAccessibleName(QStringLiteral("Page"));
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // The page in a window of its own, Qt draws the top level from memory and
    // the page alone through OpenGL. Qt 6.4 draws the whole top level through
    // OpenGL however its children are made: there it would only cost a window
    // to make at start.
    flushAlone(WebBrowser1, WindowDrawing::ThroughOpenGL);
#endif
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
