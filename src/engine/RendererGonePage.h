#pragma once

#include <QLabel>
#include <QWebEnginePage>

// What the engine view shows instead of a page whose renderer process ended
// (crashed, killed, out of memory): what happened, to which address, and that
// Refresh brings it back. It is no page of the engine's, so it takes no place
// in the history and Refresh reloads the page that died.
class RendererGonePage : public QLabel {
    Q_OBJECT

public:
    explicit RendererGonePage(QWidget *parent);

    void describe(QWebEnginePage::RenderProcessTerminationStatus status, const QString &address);
    // The renderer was ended because the page no longer answered.
    void describeUnanswered(const QString &address);

private:
    void setDescription(const QString &cause, const QString &address);
};
