#include "ScreenMoveRelay.h"

#include "RenderWidgets.h"

#include <QCoreApplication>
#include <QMoveEvent>
#include <QWidget>

ScreenMoveRelay::ScreenMoveRelay(QWidget *holder, const RenderWidgets *renderWidgets)
    : QObject(holder)
    , m_holder(holder)
    , m_renderWidgets(renderWidgets)
{
    m_holder->installEventFilter(this);
    watchAncestors();
}

void ScreenMoveRelay::watchAncestors()
{
    // A window's own moves reach the render widgets without help.
    for (QWidget *widget = m_holder->parentWidget(); widget && !widget->isWindow();
         widget = widget->parentWidget())
        widget->installEventFilter(this);
}

bool ScreenMoveRelay::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Move)
        relay();
    else if (watched == m_holder && event->type() == QEvent::ParentChange)
        watchAncestors();
    return false;
}

void ScreenMoveRelay::relay()
{
    for (QWidget *renderWidget : m_renderWidgets->current()) {
        QMoveEvent moved(renderWidget->pos(), renderWidget->pos());
        QCoreApplication::sendEvent(renderWidget, &moved);
    }
}
