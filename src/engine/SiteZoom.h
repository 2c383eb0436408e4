#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QUrl;
class RenderWidgets;
class QWebEngineView;

// Zooms a view in Chromium's own steps, from 25% to 500%, and keeps each
// site's zoom for the session: a page of the same host keeps it, another host
// starts at 100%, and returning finds it again. Ctrl+wheel steps the same way.
class SiteZoom : public QObject {
    Q_OBJECT

public:
    SiteZoom(QWebEngineView *view, const RenderWidgets *renderWidgets);

    void zoomIn();
    void zoomOut();
    void reset() { setFactor(1.0); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followSite(const QUrl &url);
    void showSiteFactor();
    void setFactor(double factor);

    QWebEngineView *m_view;
    QString m_host;
    QHash<QString, double> m_factors;
    // The wheel's turn not yet taken as a step, in eighths of a degree.
    int m_wheelTurn = 0;
};
