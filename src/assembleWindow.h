#pragma once

#include "window/frmExplorer.h"

#include <memory>

class WebEngineBrowser;

// The window as users get it: Chromium's engine, the desktop's own dialogs
// and its tray. The window owns the engine; engine names it for those who
// watch it.
struct AssembledWindow {
    std::unique_ptr<frmExplorer> window;
    WebEngineBrowser *engine;
};

AssembledWindow assembleWindow();
