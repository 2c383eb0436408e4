#include "OncePerFrame.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

#include <cmath>
#include <utility>

OncePerFrame::OncePerFrame(QWidget *parent, std::function<void()> action)
    : QObject(parent)
    , m_parent(parent)
    , m_action(std::move(action))
{
    m_frameEnd.setSingleShot(true);
    // Never early: a coarse timer may fire before the frame is over.
    m_frameEnd.setTimerType(Qt::PreciseTimer);
    connect(&m_frameEnd, &QTimer::timeout, this, &OncePerFrame::run);
}

void OncePerFrame::request()
{
    if (m_frameEnd.isActive())
        return;
    // Never at once, so that all that is asked for in one pass of the event
    // loop is done in one run.
    const double frameNs = 1e9 / m_parent->screen()->refreshRate();
    const double sinceNs = m_sinceShown.isValid() ? double(m_sinceShown.nsecsElapsed()) : frameNs;
    m_frameEnd.start(sinceNs >= frameNs ? 0 : int(std::ceil((frameNs - sinceNs) / 1e6)));
}

void OncePerFrame::watchPaintsOf(QWidget *widget)
{
    widget->installEventFilter(this);
}

bool OncePerFrame::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        m_sinceShown.start();
        // The first paint after a run shows what it changed; asked for again
        // before that paint came, the next run waits a frame from it, or it
        // could be shown within a frame of this one. Only that paint: others,
        // as while the window is resized, must not put the run off.
        if (std::exchange(m_runUnpainted, false) && m_frameEnd.isActive()) {
            m_frameEnd.stop();
            request();
        }
    }
    return false;
}

void OncePerFrame::run()
{
    m_sinceShown.start();
    m_runUnpainted = true;
    m_action();
}
