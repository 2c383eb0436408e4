#include "frmExplorer.h"

#include "Dialogs.h"
#include "settings/SettingsFiles.h"

#include <QAction>

void frmExplorer::setHomeAddress()
{
    // Cancel keeps the stored address: only a confirmed reply is written.
    const std::optional<QString> reply = m_dialogs->askText(
        this, QStringLiteral("Home Address"), QStringLiteral("What would you like it to be?"));
    if (reply)
        SettingsFiles::WriteHomeAddress(*reply);
}

void frmExplorer::toggleStartMaximised()
{
    if (SettingsFiles::StartMaxMarkerExists())
        SettingsFiles::DeleteStartMaxMarker();
    else
        SettingsFiles::CreateStartMaxMarker();
    const bool startMaximised = SettingsFiles::StartMaxMarkerExists();
    m_layout->setWindowState(startMaximised ? Qt::WindowMaximized : Qt::WindowNoState);
    mnuStartMax->setChecked(startMaximised);
}
