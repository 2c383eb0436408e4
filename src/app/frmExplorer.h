#pragma once

#include <QMainWindow>

#include <memory>

class BrowserEngine;
class Dialogs;
class FileOpenDialog;
class PanelStatusBar;
class PeriodicTimer;
class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class TrayComponent;
class TwipsPlacement;

// The one window. Each handled event has one slot; the slot bodies live with
// their concern: start-up, layout, navigation and status in src/app, the
// settings commands and browsing options in src/settings, hide and restore in
// src/tray. Every slot runs inside the one error boundary, runGuarded().
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

    // Window Width and Height in twips: the outer size, frame and menu bar included.
    float windowWidth() const;
    float windowHeight() const;

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private slots:
    // src/app/startup.cpp
    void load();
    void exitProgram();
    // src/app/layout.cpp
    void layoutControls();
    void toggleMaxView();
    void toggleStatusBar();
    // src/app/navigation.cpp
    void go();
    void goToAddress();
    void openFile();
    void back();
    void forward();
    void stop();
    void refresh();
    void home();
    // src/app/status.cpp
    void updateStatus();
    // src/settings/settingsCommands.cpp
    void setHomeAddress();
    void toggleStartMaximised();
    // src/settings/browsingOptions.cpp
    void toggleSilent();
    void workOffline();
    // src/tray/hideRestore.cpp
    void hideToTray();
    void restoreFromTray();

private:
    using Handler = void (frmExplorer::*)();

    bool runGuarded(Handler handler);
    void onTriggered(QAction *item, Handler handler);
    void createControls();
    void createMenus();
    void setWindowStateNow(Qt::WindowStates state);
    QAction *addItem(QMenu *menu, const char *name, const QString &caption,
                     const QKeySequence &shortcut = {});

    std::unique_ptr<Dialogs> m_dialogs;

    // The controls, in creation order.
    PeriodicTimer *tmrAddress = nullptr;
    QLineEdit *txtAddress = nullptr;
    FileOpenDialog *CommonDialog1 = nullptr;
    TrayComponent *SystemTrayIcon = nullptr;
    BrowserEngine *WebBrowser1 = nullptr;
    QPushButton *cmdGo = nullptr;
    PeriodicTimer *tmrStatus = nullptr;
    PanelStatusBar *StatusBar1 = nullptr;

    std::unique_ptr<TwipsPlacement> m_addressPlacement;
    std::unique_ptr<TwipsPlacement> m_goPlacement;

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
