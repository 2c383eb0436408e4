#pragma once

#include "EngineDialogs.h"

#include <QWebEnginePage>

#include <memory>

class QAuthenticator;

// The page's policy for everything that would open a box: script dialogs,
// sign-in requests and permission requests. While silent, none is shown and
// each is answered as if the user had cancelled or refused; otherwise the user
// is asked through dialogs.
class WebPage : public QWebEnginePage {
    Q_OBJECT

public:
    WebPage(std::unique_ptr<EngineDialogs> dialogs, QObject *parent);

    bool isSilent() const { return m_silent; }
    void setSilent(bool silent) { m_silent = silent; }

protected:
    void javaScriptAlert(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &message,
                          const QString &defaultText, QString *result) override;

private:
    void answerAuthentication(const QUrl &requestUrl, QAuthenticator *authenticator);
    void answerFeatureRequest(const QUrl &securityOrigin, Feature feature);
    QWidget *dialogOwner() const;

    std::unique_ptr<EngineDialogs> m_dialogs;
    bool m_silent = false;
};
