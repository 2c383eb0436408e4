#include "SiteZoom.h"

#include "RenderWidgets.h"

#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Chromium's zoom steps, as its browser offers them.
constexpr std::array<double, 17> Steps = {0.25, 1 / 3.0, 0.5,  2 / 3.0, 0.75, 0.8, 0.9, 1.0, 1.1,
                                          1.25, 1.5,     1.75, 2.0,     2.5,  3.0, 4.0, 5.0};
// The engine hands a factor back with float rounding.
constexpr double Tolerance = 0.001;

} // namespace

SiteZoom::SiteZoom(QWebEngineView *view, const RenderWidgets *renderWidgets)
    : QObject(view)
    , m_view(view)
{
    // The engine keeps one zoom for the page across every site it shows, and a
    // new renderer, as another site gets, starts at the engine's own default.
    connect(view, &QWebEngineView::urlChanged, this, &SiteZoom::followSite);
    connect(view->page(), &QWebEnginePage::renderProcessPidChanged, this,
            &SiteZoom::showSiteFactor);
    connect(view, &QWebEngineView::loadFinished, this, &SiteZoom::showSiteFactor);
    // The engine zooms on Ctrl+wheel by tenths of its own: the wheel is taken
    // from every render widget first.
    for (QWidget *renderWidget : renderWidgets->current())
        renderWidget->installEventFilter(this);
    connect(renderWidgets, &RenderWidgets::added, this,
            [this](QObject *renderWidget) { renderWidget->installEventFilter(this); });
}

void SiteZoom::zoomIn()
{
    const double now = m_view->zoomFactor();
    const auto *next =
        std::find_if(Steps.begin(), Steps.end(), [now](double s) { return s > now + Tolerance; });
    if (next != Steps.end())
        setFactor(*next);
}

void SiteZoom::zoomOut()
{
    const double now = m_view->zoomFactor();
    const auto previous =
        std::find_if(Steps.rbegin(), Steps.rend(), [now](double s) { return s < now - Tolerance; });
    if (previous != Steps.rend())
        setFactor(*previous);
}

void SiteZoom::setFactor(double factor)
{
    m_factors.insert(m_host, factor);
    m_view->setZoomFactor(factor);
}

void SiteZoom::followSite(const QUrl &url)
{
    if (url.host() == m_host)
        return;
    m_host = url.host();
    showSiteFactor();
}

void SiteZoom::showSiteFactor()
{
    // Until a site is zoomed, every page is at the engine's own 100%.
    if (m_factors.isEmpty())
        return;
    const double factor = m_factors.value(m_host, 1.0);
    // The engine keeps a zoom for each of its renderer views and sends it
    // only when it changes; a view it takes up again for a new document may
    // hold the site's zoom while the document shows another. A change too
    // small to see makes it send the zoom again. So Qt WebEngine 6.4 and 6.8
    // both do.
    if (std::abs(m_view->zoomFactor() - factor) < Tolerance)
        m_view->setZoomFactor(factor * (1 + Tolerance));
    m_view->setZoomFactor(factor);
}

bool SiteZoom::eventFilter(QObject *, QEvent *event)
{
    if (event->type() != QEvent::Wheel)
        return false;
    const auto *wheel = static_cast<QWheelEvent *>(event);
    if (!(wheel->modifiers() & Qt::ControlModifier))
        return false;
    // A touchpad turns in small parts of a notch: a step per whole notch.
    m_wheelTurn += wheel->angleDelta().y();
    for (; m_wheelTurn >= QWheelEvent::DefaultDeltasPerStep;
         m_wheelTurn -= QWheelEvent::DefaultDeltasPerStep)
        zoomIn();
    for (; m_wheelTurn <= -QWheelEvent::DefaultDeltasPerStep;
         m_wheelTurn += QWheelEvent::DefaultDeltasPerStep)
        zoomOut();
    return true;
}
