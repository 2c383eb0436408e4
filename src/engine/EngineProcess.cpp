#include "EngineProcess.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <cstdio>
#include <unistd.h>

void prepareEngineProcess()
{
    // Qt WebEngine shares OpenGL contexts with the widgets; it must be asked for
    // before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("corvane: running as root, so Chromium's sandbox is switched off\n", stderr);
    }
}
