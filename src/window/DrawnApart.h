#pragma once

#include <QWidget>

#include <memory>

// Holds the place of a widget drawn into a backing store of its own, in a
// window of its own inside the holder's top level. Its repaints are flushed
// alone: while the page's view is in the top level, Qt 6.4 flushes every
// window of that top level through OpenGL, a painted child window too, which
// costs a context switch and a swap for a few labels. For assistive
// technologies the content stays the holder's child.
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
