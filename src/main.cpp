#include "app/Dialogs.h"
#include "app/FileOpenDialog.h"
#include "app/frmExplorer.h"
#include "engine/EngineProcess.h"
#include "engine/WebEngineBrowser.h"
#include "tray/SystemTray.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    prepareEngineProcess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("corvane"));
    QApplication::setDesktopFileName(QStringLiteral("corvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/corvane.png")));

    frmExplorer window(new WebEngineBrowser, new CommonDialog, new SystemTray,
                       std::make_unique<StandardDialogs>());
    if (!window.start())
        return 1;
    window.show();
    return QApplication::exec();
}
