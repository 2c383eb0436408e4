#pragma once

#include <QObject>

class QWidget;
class RenderWidgets;

// Chromium learns where a page is on the screen when the widget it renders
// into is moved, resized or shown, or when the window moves. Moving a widget
// that holds it inside the window moves it on the screen as well, but Qt
// sends a move event only to the widget that moved, so select lists, context
// menus, tooltips, the input method and the accessibility extents would stay
// where the page was. This relays such moves to the render widgets. Qt
// WebEngine 6.4 and 6.8 both need it: their render widget tells Chromium its
// place only on events of its own.
class ScreenMoveRelay : public QObject {
public:
    // Watches holder and its ancestors below the window, and relays their
    // moves to the render widgets.
    ScreenMoveRelay(QWidget *holder, const RenderWidgets *renderWidgets);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watchAncestors();
    void relay();

    QWidget *m_holder;
    const RenderWidgets *m_renderWidgets;
};
