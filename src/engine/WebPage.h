#pragma once

#include "EngineDialogs.h"

#include <QWebEnginePage>

#include <memory>

class DownloadSaver;
class PagePrinter;
class QAuthenticator;
class QWebEngineDownloadRequest;
class QWebEngineNewWindowRequest;

// The page's policy for everything that would open a box or another window:
// script dialogs, sign-in and permission requests, downloads, new windows,
// the page's own print() and broken certificates. While silent, no box is
// shown and each request is answered as if the user had cancelled or refused;
// otherwise the user is asked through dialogs. Its profile must be its own, as
// its downloads are taken for the page's.
class WebPage : public QWebEnginePage {
    Q_OBJECT

public:
    WebPage(QWebEngineProfile *profile, std::unique_ptr<EngineDialogs> dialogs, QObject *parent);

    bool isSilent() const { return m_silent; }
    void setSilent(bool silent) { m_silent = silent; }

    // Asks through the print dialog where to print the page, and prints it
    // there: the user's own request, so silent or not.
    void print();

protected:
    void javaScriptAlert(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &message,
                          const QString &defaultText, QString *result) override;

private:
    void answerAuthentication(const QUrl &requestUrl, QAuthenticator *authenticator);
    void answerFeatureRequest(const QUrl &securityOrigin, Feature feature);
    void answerDownload(QWebEngineDownloadRequest *download);
    void openNewWindowHere(QWebEngineNewWindowRequest &request);
    void answerPrintRequest();
    QWidget *dialogOwner() const;

    std::unique_ptr<EngineDialogs> m_dialogs;
    DownloadSaver *m_downloads;
    PagePrinter *m_printer;
    bool m_silent = false;
};
