#pragma once

#include "Twips.h"

#include <QObject>
#include <QRect>
#include <QSize>
#include <QTimer>

#include <functional>
#include <optional>

class QMainWindow;
class QWidget;

// Where the window's controls are: their placements, the fixed rule that fits
// them to the window's outer size, the two view modes, and what a page's full
// screen puts aside and gives back.
//
// A window manager applies a new window state later, in one or more resizes
// and frame changes, and never within a known time. So nothing here waits for
// it: a state change lays out at once on the size Qt knows, and what the
// command sets beyond the layout is set again after each later layout, for as
// long as the window keeps the state the command asked for.
class WindowLayout : public QObject {
public:
    struct Controls {
        QMainWindow *window;
        QWidget *address;
        QWidget *go;
        QWidget *engine;
        QWidget *statusBar;
    };

    explicit WindowLayout(const Controls &controls);

    // Window Width and Height in twips: the outer size, frame and menu bar
    // included. A frame whose height no one tells counts as the one the
    // layout's margins leave room for.
    float windowWidth() const;
    float windowHeight() const;

    // Where the engine view is placed, in twips, exactly as last set.
    const TwipsPlacement &enginePlacement() const { return m_engine; }

    // Fits the controls to the window; the page alone while it has the screen.
    void layout();
    // Whether the outer size differs from the one last laid out, as after a
    // new frame, which comes with a move and no resize.
    bool frameChanged() const;

    // Sets the window state; the layout runs at once if the state changes.
    void setWindowState(Qt::WindowStates state);

    // The view mode is not stored: the engine view's height tells it.
    bool isMaxView() const;
    void showMaxView();
    void showNormalView();

    // A page takes the whole screen, or gives it back.
    void enterFullScreen();
    void leaveFullScreen();

private:
    using Finish = std::function<void()>;

    void changeWindowState(Qt::WindowStates state, const Finish &finish);
    void finishStateChange();
    // Whether it laid out, as the frame had changed.
    bool layoutIfFrameChanged();
    QRect outerGeometry() const;
    float unseenFrameHeight() const;

    QMainWindow *m_window;
    QWidget *m_address;
    QWidget *m_go;
    QWidget *m_engineView;
    QWidget *m_statusBar;
    TwipsPlacement m_addressPlacement;
    TwipsPlacement m_goPlacement;
    TwipsPlacement m_engine;
    // The outer size that the layout last fitted the controls to.
    QSize m_laidOutSize;

    // What the last state change set beyond the layout, kept while the window
    // stays in the state asked for; whether the window manager may still be
    // answering, and the outer and inner sizes the window had when asked,
    // which its answer changes.
    Finish m_finish;
    Qt::WindowStates m_stateAsked;
    bool m_answering = false;
    QSize m_outerAsked;
    QSize m_innerAsked;
    QTimer m_answerSettled;

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
};
