#include "RenderWidgets.h"

#include <QChildEvent>
#include <QWidget>

RenderWidgets::RenderWidgets(QWidget *view)
    : QObject(view)
    , m_view(view)
{
    view->installEventFilter(this);
}

QList<QWidget *> RenderWidgets::current() const
{
    return m_view->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
}

bool RenderWidgets::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::ChildAdded)
        emit added(static_cast<QChildEvent *>(event)->child());
    return false;
}
