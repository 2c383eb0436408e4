#pragma once

#include "engine/EngineDialogs.h"

#include <QPrinter>
#include <QStringList>
#include <QWebEngineDownloadRequest>

#include <optional>

// Answers the engine's boxes instead of a person, and notes each box shown.
class FakeEngineDialogs : public EngineDialogs {
public:
    void alert(QWidget *, const QUrl &, const QString &message, bool *stopAsking) override
    {
        shown << "alert " + message;
        answerStopOffer(stopAsking);
    }
    bool confirm(QWidget *, const QUrl &, const QString &message, bool *stopAsking) override
    {
        shown << "confirm " + message;
        answerStopOffer(stopAsking);
        return confirmAnswer;
    }
    std::optional<QString> prompt(QWidget *, const QUrl &, const QString &message,
                                  const QString &defaultText, bool *stopAsking) override
    {
        shown << QStringLiteral("prompt %1 [%2]").arg(message, defaultText);
        answerStopOffer(stopAsking);
        return promptAnswer;
    }
    std::optional<Credentials> askCredentials(QWidget *, const QUrl &url,
                                              const QString &realm) override
    {
        shown << QStringLiteral("sign in to %1 at %2").arg(realm, url.toString());
        return credentials;
    }
    bool allowFeature(QWidget *, const QUrl &origin, const QString &request,
                      bool *stopAsking) override
    {
        shown << QStringLiteral("allow to %1 for %2").arg(request, origin.toString());
        answerStopOffer(stopAsking);
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
    bool choosePrinter(QWidget *, QPrinter &printer, bool *stopAsking) override
    {
        shown << QStringLiteral("print");
        answerStopOffer(stopAsking);
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
    // For each box shown, whether it offered to stop the page asking.
    QList<bool> stopOffered;
    // Taken at the first offer.
    bool takeStopOffer = false;
    bool confirmAnswer = true;
    std::optional<QString> promptAnswer;
    std::optional<Credentials> credentials;
    bool allowFeatures = true;
    std::optional<QString> savePath;
    // The PDF file that print is sent to; nothing means Cancel.
    std::optional<QString> printTo;

private:
    void answerStopOffer(bool *stopAsking)
    {
        stopOffered << (stopAsking != nullptr);
        if (stopAsking && takeStopOffer)
            *stopAsking = true;
    }
};
