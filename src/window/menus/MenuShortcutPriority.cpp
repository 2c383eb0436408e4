#include "MenuShortcutPriority.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

MenuShortcutPriority::MenuShortcutPriority(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    qApp->installEventFilter(this);
}

bool MenuShortcutPriority::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    const auto *target = qobject_cast<QWidget *>(watched);
    if (!target)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (!isMenuShortcut(QKeySequence(key->keyCombination()), target->window() == m_window))
        return false;
    // Left unaccepted, the key goes on to the shortcut map and so to the menu item.
    event->ignore();
    return true;
}

bool MenuShortcutPriority::isMenuShortcut(const QKeySequence &keys, bool inWindow) const
{
    const QList<QAction *> actions = m_window->findChildren<QAction *>();
    return std::any_of(actions.cbegin(), actions.cend(), [&](const QAction *action) {
        return action->shortcut() == keys &&
               (inWindow || action->shortcutContext() == Qt::ApplicationShortcut);
    });
}
