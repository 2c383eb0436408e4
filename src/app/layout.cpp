#include "frmExplorer.h"

#include "LayoutRules.h"
#include "PanelStatusBar.h"
#include "Twips.h"
#include "engine/BrowserEngine.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>

using namespace LayoutRules;

void frmExplorer::layoutControls()
{
    if (windowState() & Qt::WindowMinimized)
        return;
    const Fitted fitted = fit(windowWidth(), windowHeight(), m_goPlacement->Width());
    WebBrowser1->setWidth(fitted.engineWidth);
    WebBrowser1->setHeight(fitted.engineHeight);
    m_goPlacement->setLeft(fitted.goLeft);
    m_addressPlacement->setLeft(fitted.addressLeft);
    m_addressPlacement->setWidth(fitted.addressWidth);
}

void frmExplorer::toggleMaxView()
{
    if (!isMaxView(WebBrowser1->Height(), windowHeight())) {
        setWindowStateNow(Qt::WindowMaximized);
        WebBrowser1->setTop(EngineTopMaxView);
        WebBrowser1->setHeight(windowHeight() - EngineHeightMarginMaxView);
        mnuMaxView->setText(QStringLiteral("Normal View"));
    } else {
        setWindowStateNow(Qt::WindowNoState);
        WebBrowser1->setTop(EngineTopNormal);
        WebBrowser1->setWidth(windowWidth() - EngineWidthMargin);
        WebBrowser1->setHeight(windowHeight() - EngineHeightMarginNormal);
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
    const QSize sizeBefore = frameGeometry().size();
    setWindowState(state);
    if (!isVisible() || before == state)
        return;
    // A window manager applies the new state and size a little later; wait for
    // it (bounded) so that the layout runs now, inside this call, on the new
    // size, and the caller reads the new window size right after.
    const QDeadlineTimer deadline(400);
    while (frameGeometry().size() == sizeBefore && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    layoutControls();
}
