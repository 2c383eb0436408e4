#include "assembleWindow.h"
#include "engine/WebEngineBrowser.h"
#include "process/DesktopColorScheme.h"
#include "process/EngineProcess.h"
#include "process/EngineTemporaries.h"
#include "process/ExitSignals.h"
#include "process/ProfileLock.h"
#include "process/openApplication.h"
#include "window/Dialogs.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    prepareEngineProcess();
    // Before the application, so that it acts after the engine has ended.
    EngineTemporaries leftByTheEngine;
    const std::unique_ptr<QApplication> app = openApplication(argc, argv);
    followDesktopColorScheme();
    QApplication::setApplicationName(QStringLiteral("corvane"));
    QApplication::setDesktopFileName(QStringLiteral("corvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/corvane.png")));

    StandardDialogs startDialogs;
    const ProfileLock profileLock;
    switch (profileLock.state()) {
    case ProfileLock::State::Held:
        break;
    case ProfileLock::State::HeldByAnother:
        tellUser(startDialogs, nullptr,
                 QStringLiteral("Corvane is already running; close it first"));
        return 1;
    case ProfileLock::State::Folder:
        tellUser(startDialogs, nullptr,
                 QStringLiteral("%1 is a folder, where Corvane keeps its lock file; move it away "
                                "to start Corvane")
                     .arg(ProfileLock::lockFilePath()));
        return 1;
    case ProfileLock::State::Unwritable:
        tellUser(startDialogs, nullptr,
                 QStringLiteral("%1 cannot be written: cookies and sign-ins will not be kept")
                     .arg(profileFolder()));
        break;
    }

    const ExitSignals exitSignals;
    const AssembledWindow assembled = assembleWindow();
    frmExplorer &window = *assembled.window;
    QObject::connect(&exitSignals, &ExitSignals::received, &window, &frmExplorer::exitProgram);
    if (!window.start())
        return 1;
    window.show();
    const int status = QApplication::exec();
    leftByTheEngine.note(assembled.engine->partialDownloads());
    return status;
}
