#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

class QWidget;

// Tells when an X11 window manager announces a new frame for the window
// (_NET_FRAME_EXTENTS), which it may do after the resize that goes with it, or
// with none at all, as a maximised frame losing its borders does. Qt then
// knows the new frame but reports nothing. Elsewhere it never signals.
class FrameExtentsWatch : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    explicit FrameExtentsWatch(QWidget *window);
    ~FrameExtentsWatch() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override;

signals:
    // Emitted once Qt has taken in the new frame.
    void frameAnnounced();

private:
    QWidget *m_window;
    quint32 m_frameExtentsAtom = 0;
};
