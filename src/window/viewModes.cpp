#include "frmExplorer.h"

#include "PanelStatusBar.h"
#include "engine/BrowserEngine.h"

#include <QAction>

void frmExplorer::layoutControls()
{
    m_layout->layout();
}

void frmExplorer::toggleMaxView()
{
    if (!m_layout->isMaxView()) {
        m_layout->showMaxView();
        mnuMaxView->setText(QStringLiteral("Normal View"));
    } else {
        m_layout->showNormalView();
        mnuMaxView->setText(QStringLiteral("Maximize View"));
    }
}

void frmExplorer::toggleStatusBar()
{
    const bool visible = StatusBar1->isHidden();
    StatusBar1->setVisible(visible);
    mnuViewStatus->setChecked(visible);
}

void frmExplorer::followFullScreen()
{
    if (WebBrowser1->FullScreen())
        m_layout->enterFullScreen();
    else
        m_layout->leaveFullScreen();
}
