#pragma once

#include <QObject>

class QWidget;

// Lets the window's menu shortcuts, and the engine's keys beyond the menus
// (actions of the window's too), win over the key bindings of whatever has
// the focus. A line edit, for instance, claims Ctrl+E and Ctrl+H for editing
// before the menu ever sees them. In other windows, such as a page's boxes,
// only the application-wide ones win.
class MenuShortcutPriority : public QObject {
    Q_OBJECT

public:
    // Watches every key event of the application on behalf of window's menus.
    explicit MenuShortcutPriority(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isMenuShortcut(const QKeySequence &keys, bool inWindow) const;

    QWidget *m_window;
};
