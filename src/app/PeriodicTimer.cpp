#include "PeriodicTimer.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

int displayFramePeriod()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal hertz = screen && screen->refreshRate() > 0 ? screen->refreshRate() : 60.0;
    // Rounded down, so that a change is never shown later than one frame after it.
    return std::max(1, int(1000.0 / hertz));
}

} // namespace

PeriodicTimer::PeriodicTimer(int interval, QObject *parent)
    : QObject(parent)
    , m_interval(interval)
{
    if (m_interval <= 0)
        return;
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(std::max(m_interval, displayFramePeriod()));
    connect(&m_timer, &QTimer::timeout, this, &PeriodicTimer::tick);
    m_timer.start();
}
