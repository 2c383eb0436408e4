#include "EventLoopTicker.h"

#include <QAbstractEventDispatcher>

EventLoopTicker::EventLoopTicker(int interval, QObject *parent)
    : QObject(parent)
    , m_interval(interval)
{
    if (m_interval <= 0)
        return;
    // Before the thread waits, and also on a pass that does not wait: a loop
    // that only pumps the pending events, as a nested one may, never blocks.
    const QAbstractEventDispatcher *loop = QAbstractEventDispatcher::instance();
    connect(loop, &QAbstractEventDispatcher::aboutToBlock, this, &EventLoopTicker::tick);
    connect(loop, &QAbstractEventDispatcher::awake, this, &EventLoopTicker::tick);
}
