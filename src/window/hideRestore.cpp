#include "frmExplorer.h"

#include "tray/TrayComponent.h"

void frmExplorer::hideToTray()
{
    SystemTrayIcon->showIcon();
    SystemTrayIcon->setIconFile(QStringLiteral("Icon.ico"));
    hide();
}

void frmExplorer::restoreFromTray()
{
    show();
    SystemTrayIcon->removeIcon();
}
