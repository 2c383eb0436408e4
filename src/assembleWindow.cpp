#include "assembleWindow.h"

#include "engine/WebEngineBrowser.h"
#include "tray/SystemTray.h"
#include "window/Dialogs.h"
#include "window/FileOpenDialog.h"

AssembledWindow assembleWindow()
{
    auto *engine = new WebEngineBrowser;
    return {std::make_unique<frmExplorer>(engine, new CommonDialog, new SystemTray,
                                          std::make_unique<StandardDialogs>()),
            engine};
}
