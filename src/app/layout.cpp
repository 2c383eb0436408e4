#include "frmExplorer.h"

#include "LayoutRules.h"
#include "PanelStatusBar.h"
#include "Twips.h"
#include "engine/BrowserEngine.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

using namespace LayoutRules;

namespace {

// How long the window manager gets to apply a new window state in all.
constexpr int StateChangeLimitMs = 400;
// How long the size must hold still after a change to count as final.
constexpr int StateChangeStillMs = 60;
// How often the wait looks at the size while no event comes.
constexpr int StateChangePollMs = 5;

} // namespace

void frmExplorer::layoutControls()
{
    // A window hidden after it was shown has no frame: its outer size reads
    // as its inner size, and controls fitted to that would stay short when it
    // comes back (a page's full screen keeps them as they are for its return).
    // The layout that showing it brings runs, as it is no longer hidden then.
    // Before its first show it is laid out all the same, so that the home page
    // starts at its size and not at a new widget's.
    const bool hiddenAfterShown = testAttribute(Qt::WA_WState_ExplicitShowHide) && isHidden();
    if ((windowState() & Qt::WindowMinimized) || hiddenAfterShown)
        return;
    // While a page is full screen it has the whole window; the placements are
    // left as they were, for its return.
    if (m_beforeFullScreen) {
        WebBrowser1->setGeometry(rect());
        return;
    }
    m_laidOutSize = frameGeometry().size();
    const Fitted fitted = fit(windowWidth(), windowHeight(), m_goPlacement->Width());
    m_enginePlacement->setWidth(fitted.engineWidth);
    m_enginePlacement->setHeight(fitted.engineHeight);
    m_goPlacement->setLeft(fitted.goLeft);
    m_addressPlacement->setLeft(fitted.addressLeft);
    m_addressPlacement->setWidth(fitted.addressWidth);
}

void frmExplorer::toggleMaxView()
{
    if (!isMaxView(m_enginePlacement->Height(), windowHeight())) {
        setWindowStateNow(Qt::WindowMaximized);
        m_enginePlacement->setTop(EngineTopMaxView);
        m_enginePlacement->setHeight(windowHeight() - EngineHeightMarginMaxView);
        mnuMaxView->setText(QStringLiteral("Normal View"));
    } else {
        setWindowStateNow(Qt::WindowNoState);
        m_enginePlacement->setTop(EngineTopNormal);
        m_enginePlacement->setWidth(windowWidth() - EngineWidthMargin);
        m_enginePlacement->setHeight(windowHeight() - EngineHeightMarginNormal);
        mnuMaxView->setText(QStringLiteral("Maximize View"));
    }
}

void frmExplorer::toggleStatusBar()
{
    const bool visible = StatusBar1->isHidden();
    StatusBar1->setVisible(visible);
    mnuViewStatus->setChecked(visible);
}

void frmExplorer::setWindowStateNow(Qt::WindowStates state)
{
    const Qt::WindowStates before = windowState();
    QSize size = frameGeometry().size();
    // Full screen may keep the outer size and drop only the frame.
    QSize inner = this->size();
    setWindowState(state);
    if (!isVisible() || before == state)
        return;
    // A window manager applies the new state and size a little later, and may
    // redraw the frame around it a moment after that: wait (bounded) until the
    // size has changed and then held still, so that the layout runs now,
    // inside this call, on the final size, and the caller reads that size.
    const QDeadlineTimer deadline(StateChangeLimitMs);
    QDeadlineTimer still(QDeadlineTimer::Forever);
    QTimer wake;
    wake.start(StateChangePollMs);
    while (!deadline.hasExpired() && !still.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
        if (frameGeometry().size() != size || this->size() != inner) {
            size = frameGeometry().size();
            inner = this->size();
            still.setRemainingTime(StateChangeStillMs);
        }
    }
    layoutControls();
}
