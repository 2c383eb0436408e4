#pragma once

#include "layout/WindowLayout.h"

#include <QMainWindow>

#include <memory>
#include <optional>

class BrowserEngine;
class Dialogs;
class FileOpenDialog;
class EventLoopTicker;
class PanelStatusBar;
class QAction;
class QLineEdit;
class QPushButton;
class TrayComponent;

// The one window: its controls, one slot per handled event, and the one error
// boundary, runGuarded(), that every slot runs inside. The slot bodies live in
// one file per concern beside this one; each is a short sequence over the
// controls and the parts that hold the state: WindowLayout (layout/) for
// where the controls are, the menu table (menus/) for the menu bar.
class frmExplorer : public QMainWindow {
    Q_OBJECT

public:
    // The window takes ownership of every component it is given.
    frmExplorer(BrowserEngine *webBrowser, FileOpenDialog *commonDialog,
                TrayComponent *systemTrayIcon, std::unique_ptr<Dialogs> dialogs,
                QWidget *parent = nullptr);
    ~frmExplorer() override;

    // Runs the load handler; false when it failed and the failure was reported,
    // in which case the program must end with status 1.
    bool start();

    const WindowLayout &windowLayout() const { return *m_layout; }

public slots:
    // File, Exit: ends the program.
    void exitProgram();

protected:
    void changeEvent(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private slots:
    // Start-up and exit
    void load();
    // Layout and view modes
    void layoutControls();
    void toggleMaxView();
    void toggleStatusBar();
    // Navigation
    void go();
    void goToAddress();
    void openFile();
    void back();
    void forward();
    void stop();
    void refresh();
    void home();
    // Status
    void updateStatus();
    // Settings commands
    void setHomeAddress();
    void toggleStartMaximised();
    // Browsing options
    void toggleSilent();
    void workOffline();
    // Hide and restore
    void hideToTray();
    void restoreFromTray();
    // A page's full screen
    void followFullScreen();

private:
    using Handler = void (frmExplorer::*)();

    bool runGuarded(Handler handler);
    std::optional<QString> failureOf(Handler handler);
    void report(const QString &failure);
    void tickStatus();
    void onTriggered(QAction *item, Handler handler);
    void createControls();
    void createMenus();

    std::unique_ptr<Dialogs> m_dialogs;

    // The controls, in creation order.
    EventLoopTicker *tmrAddress = nullptr;
    QLineEdit *txtAddress = nullptr;
    FileOpenDialog *CommonDialog1 = nullptr;
    TrayComponent *SystemTrayIcon = nullptr;
    BrowserEngine *WebBrowser1 = nullptr;
    QPushButton *cmdGo = nullptr;
    EventLoopTicker *tmrStatus = nullptr;
    PanelStatusBar *StatusBar1 = nullptr;

    WindowLayout *m_layout = nullptr;
    // The status tick's failure last reported, so that a lasting one is
    // reported once, not at every pass of the event loop.
    std::optional<QString> m_statusFailure;
    bool m_reportingStatusFailure = false;

    // The menu items whose caption or check mark a handler sets.
    QAction *mnuViewStatus = nullptr;
    QAction *mnuMaxView = nullptr;
    QAction *mnuStartMax = nullptr;
    QAction *mnuSilent = nullptr;
};
