#include "frmExplorer.h"

#include "FileOpenDialog.h"
#include "engine/BrowserEngine.h"
#include "settings/SettingsFiles.h"

#include <QLineEdit>
#include <QPushButton>

void frmExplorer::go()
{
    WebBrowser1->setOffline(false);
    WebBrowser1->setRegisterAsBrowser(true);
    WebBrowser1->Navigate(txtAddress->text());
}

void frmExplorer::goToAddress()
{
    cmdGo->click();
}

void frmExplorer::openFile()
{
    // A cancelled dialog is no choice: the page shown stays.
    if (CommonDialog1->ShowOpen())
        WebBrowser1->Navigate(CommonDialog1->FileName());
}

void frmExplorer::back()
{
    WebBrowser1->GoBack();
}

void frmExplorer::forward()
{
    WebBrowser1->GoForward();
}

void frmExplorer::stop()
{
    WebBrowser1->Stop();
}

void frmExplorer::refresh()
{
    WebBrowser1->Refresh();
}

void frmExplorer::home()
{
    const QString homeAddress = SettingsFiles::ReadHomeAddress();
    WebBrowser1->Navigate(homeAddress);
    txtAddress->setText(homeAddress);
}
