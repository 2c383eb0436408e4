#pragma once

#include "engine/EngineDialogs.h"

#include <QPrinter>
#include <QStringList>
#include <QWebEngineDownloadRequest>

#include <optional>

// Answers the engine's boxes instead of a person, and notes each box shown.
class FakeEngineDialogs : public EngineDialogs {
public:
    void alert(QWidget *, const QUrl &, const QString &message, bool *) override
    {
        shown << "alert " + message;
    }
    bool confirm(QWidget *, const QUrl &, const QString &message, bool *) override
    {
        shown << "confirm " + message;
        return confirmAnswer;
    }
    std::optional<QString> prompt(QWidget *, const QUrl &, const QString &message,
                                  const QString &defaultText, bool *) override
    {
        shown << QStringLiteral("prompt %1 [%2]").arg(message, defaultText);
        return promptAnswer;
    }
    std::optional<Credentials> askCredentials(QWidget *, const QUrl &url,
                                              const QString &realm) override
    {
        shown << QStringLiteral("sign in to %1 at %2").arg(realm, url.toString());
        return credentials;
    }
    bool allowFeature(QWidget *, const QUrl &origin, const QString &request, bool *) override
    {
        shown << QStringLiteral("allow to %1 for %2").arg(request, origin.toString());
        return allowFeatures;
    }
    std::optional<QString> saveDownloadAs(QWidget *, const QString &proposedPath) override
    {
        shown << "save as " + proposedPath;
        return savePath;
    }
    void showDownloadProgress(QWidget *, QWebEngineDownloadRequest *download) override
    {
        shown << "progress " + download->downloadFileName();
    }
    void downloadEnded(QWidget *, bool succeeded, const QString &message) override
    {
        shown << (succeeded ? "succeeded: " : "failed: ") + message;
    }
    bool choosePrinter(QWidget *, QPrinter &printer, bool *) override
    {
        shown << QStringLiteral("print");
        if (printTo) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(*printTo);
        }
        return printTo.has_value();
    }
    void printFailed(QWidget *, const QString &message) override
    {
        shown << "print failed: " + message;
    }

    QStringList shown;
    bool confirmAnswer = true;
    std::optional<QString> promptAnswer;
    std::optional<Credentials> credentials;
    bool allowFeatures = true;
    std::optional<QString> savePath;
    // The PDF file that print is sent to; nothing means Cancel.
    std::optional<QString> printTo;
};
