#include "frmExplorer.h"

#include "PanelStatusBar.h"
#include "engine/BrowserEngine.h"

void frmExplorer::updateStatus()
{
    StatusBar1->setPanelText(2, WebBrowser1->Busy() ? QStringLiteral("Opening...")
                                                    : QStringLiteral("Ready"));
    StatusBar1->setPanelText(3, WebBrowser1->LocationURL());
}
