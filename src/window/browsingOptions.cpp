#include "frmExplorer.h"

#include "engine/BrowserEngine.h"

#include <QAction>

void frmExplorer::toggleSilent()
{
    const bool silent = !mnuSilent->isChecked();
    WebBrowser1->setSilent(silent);
    mnuSilent->setChecked(silent);
}

void frmExplorer::workOffline()
{
    WebBrowser1->setOffline(true);
}
