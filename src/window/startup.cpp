#include "frmExplorer.h"

#include "engine/BrowserEngine.h"
#include "settings/SettingsFiles.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>

void frmExplorer::load()
{
    SettingsFiles::RemoveStaleTemporaries();
    QString homeAddress;
    if (SettingsFiles::HomeAddressFileExists()) {
        homeAddress = SettingsFiles::ReadHomeAddress();
    } else {
        homeAddress = QString::fromLatin1(SettingsFiles::DefaultHomeAddress);
        SettingsFiles::WriteHomeAddress(homeAddress);
    }
    WebBrowser1->Navigate(homeAddress);
    txtAddress->setText(homeAddress);
    if (SettingsFiles::StartMaxMarkerExists()) {
        m_layout->setWindowState(Qt::WindowMaximized);
        mnuStartMax->setChecked(true);
    } else {
        m_layout->setWindowState(Qt::WindowNoState);
        mnuStartMax->setChecked(false);
    }
}

void frmExplorer::exitProgram()
{
    QCoreApplication::exit(0);
}
