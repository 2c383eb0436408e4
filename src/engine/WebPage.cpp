#include "WebPage.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QWebEngineView>

namespace {

// The engine asks whether to leave a page that wants to stay through the same
// call as a page's confirm(), with this text of its own.
bool isLeavePageQuestion(const QString &message)
{
    return message == QCoreApplication::translate("QWebEnginePage",
                                                  "Are you sure you want to leave this page? "
                                                  "Changes that you made may not be saved.");
}

} // namespace

WebPage::WebPage(std::unique_ptr<EngineDialogs> dialogs, QObject *parent)
    : QWebEnginePage(parent)
    , m_dialogs(std::move(dialogs))
{
    // Qt shows no sign-in box of its own: without an answer here, no site
    // could ever be signed in to.
    connect(this, &QWebEnginePage::authenticationRequired, this, &WebPage::answerAuthentication);
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            &WebPage::answerFeatureRequest);
}

QWidget *WebPage::dialogOwner() const
{
    return QWebEngineView::forPage(this);
}

void WebPage::javaScriptAlert(const QUrl &securityOrigin, const QString &message)
{
    if (!m_silent)
        m_dialogs->alert(dialogOwner(), securityOrigin, message);
}

bool WebPage::javaScriptConfirm(const QUrl &securityOrigin, const QString &message)
{
    // A silent "no" to the leave question would keep the user on the page they
    // asked to leave, with no word why.
    if (m_silent)
        return isLeavePageQuestion(message);
    return m_dialogs->confirm(dialogOwner(), securityOrigin, message);
}

bool WebPage::javaScriptPrompt(const QUrl &securityOrigin, const QString &message,
                               const QString &defaultText, QString *result)
{
    if (m_silent)
        return false;
    const std::optional<QString> answer =
        m_dialogs->prompt(dialogOwner(), securityOrigin, message, defaultText);
    if (answer)
        *result = *answer;
    return answer.has_value();
}

void WebPage::answerAuthentication(const QUrl &requestUrl, QAuthenticator *authenticator)
{
    const std::optional<EngineDialogs::Credentials> credentials =
        m_silent ? std::nullopt
                 : m_dialogs->askCredentials(dialogOwner(), requestUrl, authenticator->realm());
    if (!credentials) {
        // A null authenticator is how the engine is told the user cancelled.
        *authenticator = QAuthenticator();
        return;
    }
    authenticator->setUser(credentials->user);
    authenticator->setPassword(credentials->password);
}

void WebPage::answerFeatureRequest(const QUrl &securityOrigin, Feature feature)
{
    const bool allowed =
        !m_silent && m_dialogs->allowFeature(dialogOwner(), securityOrigin, feature);
    setFeaturePermission(securityOrigin, feature,
                         allowed ? PermissionGrantedByUser : PermissionDeniedByUser);
}
