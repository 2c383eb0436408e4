#include "app/Dialogs.h"
#include "app/ExitSignals.h"
#include "app/FileOpenDialog.h"
#include "app/frmExplorer.h"
#include "app/openApplication.h"
#include "engine/EngineProcess.h"
#include "engine/EngineTemporaries.h"
#include "engine/ProfileLock.h"
#include "engine/WebEngineBrowser.h"
#include "tray/SystemTray.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    prepareEngineProcess();
    // Before the application, so that it acts after the engine has ended.
    EngineTemporaries leftByTheEngine;
    const std::unique_ptr<QApplication> app = openApplication(argc, argv);
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
    auto *engine = new WebEngineBrowser;
    frmExplorer window(engine, new CommonDialog, new SystemTray,
                       std::make_unique<StandardDialogs>());
    QObject::connect(&exitSignals, &ExitSignals::received, &window, &frmExplorer::exitProgram);
    if (!window.start())
        return 1;
    window.show();
    const int status = QApplication::exec();
    leftByTheEngine.note(engine->partialDownloads());
    return status;
}
