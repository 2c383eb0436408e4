#pragma once

#include <QList>
#include <QObject>

class QWidget;

// The widgets Chromium renders a page into and takes its input from: those
// directly inside the engine's view. Qt WebEngine makes one anew with each
// renderer, so whoever needs them follows them here.
class RenderWidgets : public QObject {
    Q_OBJECT

public:
    explicit RenderWidgets(QWidget *view);

    QList<QWidget *> current() const;

signals:
    // Each one as it comes, still being made: only its QObject part is there.
    void added(QObject *renderWidget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_view;
};
