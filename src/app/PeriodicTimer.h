#pragma once

#include <QObject>

// A periodic timer that keeps its interval as stored but ticks once per pass of
// the UI thread's event loop instead of by a clock. What its ticks read changes
// only while that thread handles events, so a tick at the end of each pass
// shows every change at once, and a thread with nothing to do is never woken
// for it. A stored interval of 0 never ticks.
class PeriodicTimer : public QObject {
    Q_OBJECT

public:
    PeriodicTimer(int interval, QObject *parent);

    int interval() const { return m_interval; }
    bool isEnabled() const { return true; }

signals:
    void tick();

private:
    int m_interval;
};
