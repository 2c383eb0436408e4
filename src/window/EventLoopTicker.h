#pragma once

#include <QObject>

// Always enabled: ticks once per pass of the UI thread's event loop, keeping the interval it
// was given only as a stored value. What its ticks read changes only while
// that thread handles events, so a tick at the end of each pass shows every
// change at once, and a thread with nothing to do is never woken for it. A
// stored interval of 0 never ticks.
class EventLoopTicker : public QObject {
    Q_OBJECT

public:
    EventLoopTicker(int interval, QObject *parent);

    int interval() const { return m_interval; }

signals:
    void tick();

private:
    int m_interval;
};
