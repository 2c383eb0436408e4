#include "frmExplorer.h"

#include "PanelStatusBar.h"
#include "engine/BrowserEngine.h"

#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

void frmExplorer::followFullScreen()
{
    if (WebBrowser1->FullScreen() && !m_beforeFullScreen)
        enterFullScreen();
    else if (!WebBrowser1->FullScreen() && m_beforeFullScreen)
        leaveFullScreen();
}

void frmExplorer::enterFullScreen()
{
    m_beforeFullScreen = BeforeFullScreen{windowState(),
                                          size(),
                                          m_addressPlacement->values(),
                                          m_goPlacement->values(),
                                          m_enginePlacement->values(),
                                          !StatusBar1->isHidden()};
    menuBar()->hide();
    txtAddress->hide();
    cmdGo->hide();
    StatusBar1->hide();
    // Maximised stays set underneath, so that the window manager gives back
    // the maximised window, and the normal one its own place and size.
    setWindowStateNow(m_beforeFullScreen->state | Qt::WindowFullScreen);
}

void frmExplorer::leaveFullScreen()
{
    const BeforeFullScreen before = *m_beforeFullScreen;
    // The page keeps the whole window until the window manager has put it
    // back: no layout in between disturbs the maximised view. The state is
    // set whole, as a window manager may drop maximised while full screen;
    // only minimised stays as the user has it now, since a page may have
    // taken the screen while the window was minimised.
    setWindowStateNow((before.state & ~Qt::WindowMinimized) |
                      (windowState() & Qt::WindowMinimized));
    m_beforeFullScreen.reset();
    menuBar()->show();
    txtAddress->show();
    cmdGo->show();
    StatusBar1->setVisible(before.statusBarShown);
    if (size() != before.size) {
        // Put back elsewhere than it was: as after any resize.
        layoutControls();
        return;
    }
    m_addressPlacement->restore(before.address);
    m_goPlacement->restore(before.go);
    m_enginePlacement->restore(before.engine);
}
