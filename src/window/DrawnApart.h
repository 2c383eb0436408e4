#pragma once

#include <QWidget>

#include <memory>

// Holds the place of a widget whose repaints are flushed onto the screen
// alone, not with the top level the page's view is drawn in through OpenGL.
// Qt 6.8 does so for a child window. Qt 6.4 flushes every window of that top
// level through OpenGL, a painted child window too, which costs a context
// switch and a swap for a few labels; there the widget is drawn into a
// backing store of its own, in a window inside the holder's top level. For
// assistive technologies the content stays the holder's child.
class DrawnApart : public QWidget {
    Q_OBJECT

public:
    // Takes content, which must have no parent.
    DrawnApart(QWidget *content, QWidget *parent);
    ~DrawnApart() override;

    QWidget *content() const { return m_content.get(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Destroyed before the container, which would otherwise delete the
    // content's window under it.
    std::unique_ptr<QWidget> m_content;
    // The container of the content's window, or the content itself.
    QWidget *m_shown;
};
