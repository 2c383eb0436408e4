#pragma once

#include <QObject>
#include <QTimer>

// A periodic timer that keeps its interval as stored but never ticks faster
// than the screen can show a change: at most once per display frame. A stored
// interval of 0 never ticks (a QTimer of interval 0 would fire on every pass
// of the event loop), so such a timer is never started.
class PeriodicTimer : public QObject {
    Q_OBJECT

public:
    PeriodicTimer(int interval, QObject *parent);

    int interval() const { return m_interval; }
    bool isEnabled() const { return true; }
    // The period the ticks really come at, in milliseconds; 0 when it never ticks.
    int tickPeriod() const { return m_timer.isActive() ? m_timer.interval() : 0; }

signals:
    void tick();

private:
    int m_interval;
    QTimer m_timer;
};
