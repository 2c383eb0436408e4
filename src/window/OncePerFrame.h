#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class QWidget;

// Runs an action that changes what some widgets show when asked, but at most
// once per frame of the screen its parent is on: no sooner than a frame after
// it last ran or one of those widgets was last painted, and otherwise at the
// end of the event loop's pass. It runs once however often it was asked in
// between; nothing asked for is dropped, and nothing runs while nothing is
// asked for.
class OncePerFrame : public QObject {
public:
    OncePerFrame(QWidget *parent, std::function<void()> action);

    void request();
    // Counts frames from this widget's paints too: a widget paints some time
    // after it changed, when its event loop gets to it.
    void watchPaintsOf(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void run();

    QWidget *m_parent;
    std::function<void()> m_action;
    QTimer m_frameEnd;
    QElapsedTimer m_sinceShown;
    bool m_runUnpainted = false;
};
