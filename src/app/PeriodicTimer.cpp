#include "PeriodicTimer.h"

#include <QAbstractEventDispatcher>

PeriodicTimer::PeriodicTimer(int interval, QObject *parent)
    : QObject(parent)
    , m_interval(interval)
{
    if (m_interval <= 0)
        return;
    // Before the thread waits, and also on a pass that does not wait: a loop
    // that pumps events with processEvents() never blocks.
    const QAbstractEventDispatcher *loop = QAbstractEventDispatcher::instance();
    connect(loop, &QAbstractEventDispatcher::aboutToBlock, this, &PeriodicTimer::tick);
    connect(loop, &QAbstractEventDispatcher::awake, this, &PeriodicTimer::tick);
}
