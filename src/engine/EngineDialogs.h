#pragma once

#include <QString>
#include <QUrl>

#include <optional>

class QPrinter;
class QWebEngineDownloadRequest;
class QWidget;

// The boxes a page can make the engine open, behind an interface so that engine
// tests can answer them without a person. Each opens over owner. Those that ask
// a question wait for the answer, but leave the window in reach: whatever a
// page has open, the user can still leave the program, and the wait ends
// unanswered when the program ends.
//
// A page's script dialogs, permission requests and print requests take
// stopAsking: when it is not null, the box offers "Stop this page from asking
// again" and sets *stopAsking to true when the user takes that offer.
class EngineDialogs {
public:
    struct Credentials {
        QString user;
        QString password;
    };

    virtual ~EngineDialogs() = default;

    // A page's alert(): the message, until the user closes the box.
    virtual void alert(QWidget *owner, const QUrl &origin, const QString &message,
                       bool *stopAsking) = 0;
    // A page's confirm(): true when the user said OK.
    virtual bool confirm(QWidget *owner, const QUrl &origin, const QString &message,
                         bool *stopAsking) = 0;
    // A page's prompt(): the text confirmed with OK; nothing when cancelled.
    virtual std::optional<QString> prompt(QWidget *owner, const QUrl &origin,
                                          const QString &message, const QString &defaultText,
                                          bool *stopAsking) = 0;
    // A server's request for a user name and password; nothing when cancelled.
    virtual std::optional<Credentials> askCredentials(QWidget *owner, const QUrl &url,
                                                      const QString &realm) = 0;
    // A page's request to do something ("know your location"): true when the
    // user allows it.
    virtual bool allowFeature(QWidget *owner, const QUrl &origin, const QString &request,
                              bool *stopAsking) = 0;
    // Where to save a download, proposedPath offered; nothing when cancelled.
    virtual std::optional<QString> saveDownloadAs(QWidget *owner, const QString &proposedPath) = 0;
    // Follows an accepted download while the window goes on working; the user
    // may cancel it there.
    virtual void showDownloadProgress(QWidget *owner, QWebEngineDownloadRequest *download) = 0;
    // Says how a download ended, without waiting for the user.
    virtual void downloadEnded(QWidget *owner, bool succeeded, const QString &message) = 0;
    // Where and how to print the page: true, printer set up, when the user chose to print.
    virtual bool choosePrinter(QWidget *owner, QPrinter &printer, bool *stopAsking) = 0;
    // Says that printing failed, without waiting for the user.
    virtual void printFailed(QWidget *owner, const QString &message) = 0;
};

// The platform's standard message boxes and input dialogs. A page's text is
// shown as plain text, never as markup, so it cannot dress itself up as the
// program's own.
class StandardEngineDialogs : public EngineDialogs {
public:
    void alert(QWidget *owner, const QUrl &origin, const QString &message,
               bool *stopAsking) override;
    bool confirm(QWidget *owner, const QUrl &origin, const QString &message,
                 bool *stopAsking) override;
    std::optional<QString> prompt(QWidget *owner, const QUrl &origin, const QString &message,
                                  const QString &defaultText, bool *stopAsking) override;
    std::optional<Credentials> askCredentials(QWidget *owner, const QUrl &url,
                                              const QString &realm) override;
    bool allowFeature(QWidget *owner, const QUrl &origin, const QString &request,
                      bool *stopAsking) override;
    std::optional<QString> saveDownloadAs(QWidget *owner, const QString &proposedPath) override;
    void showDownloadProgress(QWidget *owner, QWebEngineDownloadRequest *download) override;
    void downloadEnded(QWidget *owner, bool succeeded, const QString &message) override;
    bool choosePrinter(QWidget *owner, QPrinter &printer, bool *stopAsking) override;
    void printFailed(QWidget *owner, const QString &message) override;
};
