#include "WebPage.h"

#include "DownloadSaver.h"
#include "PagePrinter.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QHash>
#include <QMetaEnum>
#include <QScopeGuard>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// The engine asks whether to leave a page that wants to stay through the same
// call as a page's confirm(), with this text of its own: Qt WebEngine 6.4 and
// 6.8 give no other sign of it.
bool isLeavePageQuestion(const QString &message)
{
    return message == QCoreApplication::translate("QWebEnginePage",
                                                  "Are you sure you want to leave this page? "
                                                  "Changes that you made may not be saved.");
}

// What a page asks to do, in words. Qt 6.4's features and Qt 6.8's
// permissions give each the same name.
QString requestInWords(const char *name)
{
    static const QHash<QByteArray, QString> words = {
        {"Notifications", QStringLiteral("show you notifications")},
        {"Geolocation", QStringLiteral("know your location")},
        {"MediaAudioCapture", QStringLiteral("use your microphone")},
        {"MediaVideoCapture", QStringLiteral("use your camera")},
        {"MediaAudioVideoCapture", QStringLiteral("use your camera and microphone")},
        {"MouseLock", QStringLiteral("take over the mouse pointer")},
        {"DesktopVideoCapture", QStringLiteral("record your screen")},
        {"DesktopAudioVideoCapture", QStringLiteral("record your screen and its sound")},
        {"ClipboardReadWrite", QStringLiteral("read and change your clipboard")},
        {"LocalFontsAccess", QStringLiteral("see the fonts on your computer")}};
    return words.value(name, QStringLiteral("use %1").arg(QLatin1String(name)));
}

template <typename Type> QString requestInWords(Type type)
{
    return requestInWords(QMetaEnum::fromType<Type>().valueToKey(int(type)));
}

// There is no way past a broken certificate: the engine shows its own error
// page instead, and since nothing was allowed, nothing is remembered.
void refuseCertificate(QWebEngineCertificateError error)
{
    error.rejectCertificate();
}

} // namespace

WebPage::WebPage(QWebEngineProfile *profile, std::unique_ptr<EngineDialogs> dialogs,
                 QObject *parent)
    : QWebEnginePage(profile, parent)
    , m_dialogs(std::move(dialogs))
    , m_downloads(new DownloadSaver(*m_dialogs, this))
    , m_printer(new PagePrinter(*m_dialogs, this))
{
    // A page opened from disk must not read the user's other files, nor send
    // what it finds there to a server.
    settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // The engine's PDF viewer is a plugin: without plugins, a PDF is a file
    // to save.
    settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);

    // Qt shows no sign-in box of its own: without an answer here, no site
    // could ever be signed in to.
    connect(this, &QWebEnginePage::authenticationRequired, this, &WebPage::answerAuthentication);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Qt 6.8 answers a request again from what was decided before, and keeps
    // that on disk; Corvane asks each time, as with Qt 6.4, so that "Stop this
    // page from asking again" is the one lasting answer, and only until the
    // page is left.
    profile->setPersistentPermissionsPolicy(
        QWebEngineProfile::PersistentPermissionsPolicy::AskEveryTime);
    connect(this, &QWebEnginePage::permissionRequested, this, &WebPage::answerPermissionRequest);
#else
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            &WebPage::answerFeatureRequest);
#endif
    connect(this, &QWebEnginePage::certificateError, this, &refuseCertificate);
    connect(this, &QWebEnginePage::newWindowRequested, this, &WebPage::openNewWindowHere);
    // Without an answer, the engine drops every download.
    connect(profile, &QWebEngineProfile::downloadRequested, this, &WebPage::answerDownload);
    connect(this, &QWebEnginePage::loadingChanged, this, &WebPage::forgetBoxesOnLeaving);
    // A page's window.print() does nothing unless it is answered. Qt 6.8 tells
    // a frame's apart; the whole page is printed for it, as Qt 6.4 has it.
    connect(this, &QWebEnginePage::printRequested, this, &WebPage::answerPrintRequest);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    connect(this, &QWebEnginePage::printRequestedByFrame, this, &WebPage::answerPrintRequest);
#endif
}

QWidget *WebPage::dialogOwner() const
{
    return QWebEngineView::forPage(this);
}

template <typename ShowBox> auto WebPage::ask(ShowBox showBox)
{
    m_askingPage = url().adjusted(QUrl::RemoveFragment);
    ++m_boxesShown;
    ++m_boxesOpen;
    const auto closed = qScopeGuard([this] { --m_boxesOpen; });
    // From the second box on: a page that asks again and again would
    // otherwise leave the user nothing but box after box.
    return showBox(m_boxesShown > 1 ? &m_stoppedAsking : nullptr);
}

void WebPage::forgetBoxesOnLeaving(const QWebEngineLoadingInfo &loading)
{
    // A reload is the same page, which would otherwise ask all over again.
    if (loading.status() == QWebEngineLoadingInfo::LoadStartedStatus &&
        loading.url().adjusted(QUrl::RemoveFragment) != m_askingPage) {
        m_boxesShown = 0;
        m_stoppedAsking = false;
    }
}

void WebPage::javaScriptAlert(const QUrl &securityOrigin, const QString &message)
{
    if (mayAsk())
        ask([&](bool *stopAsking) {
            m_dialogs->alert(dialogOwner(), securityOrigin, message, stopAsking);
        });
}

bool WebPage::javaScriptConfirm(const QUrl &securityOrigin, const QString &message)
{
    // A silent "no" to the leave question would keep the user on the page they
    // asked to leave, with no word why.
    if (!mayAsk())
        return isLeavePageQuestion(message);
    return ask([&](bool *stopAsking) {
        return m_dialogs->confirm(dialogOwner(), securityOrigin, message, stopAsking);
    });
}

bool WebPage::javaScriptPrompt(const QUrl &securityOrigin, const QString &message,
                               const QString &defaultText, QString *result)
{
    if (!mayAsk())
        return false;
    const std::optional<QString> answer = ask([&](bool *stopAsking) {
        return m_dialogs->prompt(dialogOwner(), securityOrigin, message, defaultText, stopAsking);
    });
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

void WebPage::askPermission(const QUrl &origin, const QString &request,
                            const std::function<void(bool)> &answer)
{
    const std::pair question(origin, request);
    if (m_featuresAsked.contains(question))
        return;
    m_featuresAsked.append(question);
    const bool allowed =
        mayAsk() && ask([&](bool *stopAsking) {
            return m_dialogs->allowFeature(dialogOwner(), origin, request, stopAsking);
        });
    m_featuresAsked.removeOne(question);
    answer(allowed);
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
void WebPage::answerPermissionRequest(const QWebEnginePermission &permission)
{
    askPermission(
        permission.origin(), requestInWords(permission.permissionType()),
        [&permission](bool allowed) { allowed ? permission.grant() : permission.deny(); });
}
#else
void WebPage::answerFeatureRequest(const QUrl &securityOrigin, Feature feature)
{
    askPermission(securityOrigin, requestInWords(feature), [&](bool allowed) {
        setFeaturePermission(securityOrigin, feature,
                             allowed ? PermissionGrantedByUser : PermissionDeniedByUser);
    });
}
#endif

void WebPage::answerDownload(QWebEngineDownloadRequest *download)
{
    if (m_silent)
        download->cancel();
    else
        m_downloads->offer(download, dialogOwner());
}

void WebPage::openNewWindowHere(QWebEngineNewWindowRequest &request)
{
    // There is one window: what a page would open beside itself opens in its
    // place, a step that Back undoes. Only the user may ask for it, by a click
    // or a key, so that a page cannot take the window away.
    if (request.isUserInitiated())
        load(request.requestedUrl());
}

void WebPage::answerPrintRequest()
{
    // The page's print() returns at once, before its dialog is answered: what
    // it asks while a dialog is open or a job runs opens nothing and counts
    // for nothing.
    if (mayAsk() && !m_printer->isBusy())
        ask([this](bool *stopAsking) { m_printer->print(dialogOwner(), stopAsking); });
}

void WebPage::print()
{
    m_printer->print(dialogOwner());
}
