#include "ScreenMoveRelay.h"

#include <QCoreApplication>
#include <QMoveEvent>
#include <QWidget>

ScreenMoveRelay::ScreenMoveRelay(QWidget *holder, QWidget *view)
    : QObject(holder)
    , m_holder(holder)
    , m_view(view)
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
    // The render widget is made anew with each renderer, so it is looked up.
    for (QWidget *renderWidget : m_view->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        QMoveEvent moved(renderWidget->pos(), renderWidget->pos());
        QCoreApplication::sendEvent(renderWidget, &moved);
    }
}
