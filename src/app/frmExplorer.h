#pragma once

#include "Twips.h"

#include <QMainWindow>
#include <QSize>

#include <memory>
#include <optional>

class BrowserEngine;
class Dialogs;
class FileOpenDialog;
class EventLoopTicker;
class PanelStatusBar;
class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class TrayComponent;

// The one window. Each handled event has one slot, and the slot bodies live
// in one file per concern beside this one. Every slot runs inside the one
// error boundary, runGuarded().
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

public slots:
    // File, Exit: ends the program.
    void exitProgram();

public:
    // Window Width and Height in twips: the outer size, frame and menu bar
    // included. A frame whose height no one tells counts as the one the
    // layout's margins leave room for.
    float windowWidth() const;
    float windowHeight() const;

    // Where the engine view is placed, in twips, exactly as last set.
    const TwipsPlacement &enginePlacement() const { return *m_enginePlacement; }

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
    void setWindowStateNow(Qt::WindowStates state);
    // The frame height, in twips, that the window's outer size lacks because
    // no one tells it to Qt; 0 where Qt knows the frame.
    float unseenFrameHeight() const;
    QAction *addItem(QMenu *menu, const char *name, const QString &caption,
                     const QKeySequence &shortcut = {});
    void enterFullScreen();
    void leaveFullScreen();

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

    std::unique_ptr<TwipsPlacement> m_addressPlacement;
    std::unique_ptr<TwipsPlacement> m_goPlacement;
    std::unique_ptr<TwipsPlacement> m_enginePlacement;
    // The outer size, in pixels, that the layout last fitted the controls to.
    QSize m_laidOutSize;
    // The status tick's failure last reported, so that a lasting one is
    // reported once, not at every pass of the event loop.
    std::optional<QString> m_statusFailure;
    bool m_reportingStatusFailure = false;

    // What a page's full screen puts out of sight or moves, kept while it
    // lasts so that all of it comes back exactly as it was.
    struct BeforeFullScreen {
        Qt::WindowStates state;
        QSize size;
        TwipsPlacement::Values address;
        TwipsPlacement::Values go;
        TwipsPlacement::Values engine;
        bool statusBarShown;
    };
    std::optional<BeforeFullScreen> m_beforeFullScreen;

    QMenu *mnuFile = nullptr;
    QAction *mnuGoTo = nullptr;
    QAction *mnuOpenFile = nullptr;
    QAction *mnuOffline = nullptr;
    QAction *mnuHide = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuGo = nullptr;
    QAction *mnuBack = nullptr;
    QAction *mnuForward = nullptr;
    QAction *mnuStop = nullptr;
    QAction *mnuRefresh = nullptr;
    QAction *mnuHome = nullptr;
    QMenu *mnuView = nullptr;
    QMenu *mnuToolbars = nullptr;
    QAction *mnuViewStatus = nullptr;
    QAction *mnuMaxView = nullptr;
    QMenu *mnuOptions = nullptr;
    QAction *mnuSetHome = nullptr;
    QAction *mnuStartMax = nullptr;
    QAction *mnuSilent = nullptr;
};
