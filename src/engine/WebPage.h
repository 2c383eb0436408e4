#pragma once

#include "EngineDialogs.h"

#include <QWebEnginePage>
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEnginePermission>
#endif

#include <functional>
#include <memory>
#include <utility>

class DownloadSaver;
class PagePrinter;
class QAuthenticator;
class QWebEngineDownloadRequest;
class QWebEngineLoadingInfo;
class QWebEngineNewWindowRequest;

// The page's policy for everything that would open a box or another window:
// script dialogs, sign-in and permission requests, downloads, new windows,
// the page's own print() and broken certificates. While silent, no box is
// shown and each request is answered as if the user had cancelled or refused;
// otherwise the user is asked through dialogs. From a page's second script
// dialog, permission request or print request on, the box offers to stop the
// page asking: once taken, the page's further ones are answered as while
// silent, until a load of another page. Its profile must be its own, as its
// downloads are taken for the page's.
class WebPage : public QWebEnginePage {
    Q_OBJECT

public:
    WebPage(QWebEngineProfile *profile, std::unique_ptr<EngineDialogs> dialogs, QObject *parent);

    bool isSilent() const { return m_silent; }
    void setSilent(bool silent) { m_silent = silent; }
    // True while a box of the page's waits for the user.
    bool isAsking() const { return m_boxesOpen > 0; }
    DownloadSaver *downloads() const { return m_downloads; }

    // Asks through the print dialog where to print the page, and prints it
    // there: the user's own request, so silent or not.
    void print();

protected:
    void javaScriptAlert(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &message,
                          const QString &defaultText, QString *result) override;

private:
    // Whether the page's script dialogs, permission and print requests may be shown.
    bool mayAsk() const { return !m_silent && !m_stoppedAsking; }
    // Runs showBox, which takes the stop offer, counting the box as the page's.
    template <typename ShowBox> auto ask(ShowBox showBox);
    void forgetBoxesOnLeaving(const QWebEngineLoadingInfo &loading);
    void answerAuthentication(const QUrl &requestUrl, QAuthenticator *authenticator);
    // Asks whether origin may do what request says, unless silent; answer
    // takes the user's choice.
    void askPermission(const QUrl &origin, const QString &request,
                       const std::function<void(bool)> &answer);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    void answerPermissionRequest(const QWebEnginePermission &permission);
#else
    void answerFeatureRequest(const QUrl &securityOrigin, Feature feature);
#endif
    void answerDownload(QWebEngineDownloadRequest *download);
    void openNewWindowHere(QWebEngineNewWindowRequest &request);
    void answerPrintRequest();
    QWidget *dialogOwner() const;

    std::unique_ptr<EngineDialogs> m_dialogs;
    DownloadSaver *m_downloads;
    PagePrinter *m_printer;
    bool m_silent = false;
    int m_boxesOpen = 0;
    // Of the page last asking, since the last load of another page.
    QUrl m_askingPage;
    int m_boxesShown = 0;
    bool m_stoppedAsking = false;
    // Permission questions in a box now: the engine asks again and again while
    // one is open, and one answer settles them all.
    QList<std::pair<QUrl, QString>> m_featuresAsked;
};
