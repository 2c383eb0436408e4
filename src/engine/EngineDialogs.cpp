#include "EngineDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QProgressDialog>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>

namespace {

// Names the site a box comes from, so a page cannot pass its words off as
// another's.
QString siteName(const QUrl &url)
{
    if (url.host().isEmpty())
        return QStringLiteral("Local page");
    return url.toDisplayString(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery |
                               QUrl::RemoveFragment);
}

QString featureRequest(QWebEnginePage::Feature feature)
{
    switch (feature) {
    case QWebEnginePage::Notifications:
        return QStringLiteral("show you notifications");
    case QWebEnginePage::Geolocation:
        return QStringLiteral("know your location");
    case QWebEnginePage::MediaAudioCapture:
        return QStringLiteral("use your microphone");
    case QWebEnginePage::MediaVideoCapture:
        return QStringLiteral("use your camera");
    case QWebEnginePage::MediaAudioVideoCapture:
        return QStringLiteral("use your camera and microphone");
    case QWebEnginePage::MouseLock:
        return QStringLiteral("take over the mouse pointer");
    case QWebEnginePage::DesktopVideoCapture:
        return QStringLiteral("record your screen");
    case QWebEnginePage::DesktopAudioVideoCapture:
        return QStringLiteral("record your screen and its sound");
    }
    return QStringLiteral("use feature %1").arg(int(feature));
}

int showMessage(QWidget *owner, QMessageBox::Icon icon, const QUrl &origin, const QString &text,
                QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, siteName(origin), text, buttons, owner);
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

// A download's share received, in percent of a known size; the progress
// dialog's range is an int, too small for the bytes of a large file.
void showShareReceived(QProgressDialog *progress, const QWebEngineDownloadRequest *download)
{
    if (download->totalBytes() <= 0)
        return;
    progress->setRange(0, 100);
    progress->setValue(int(download->receivedBytes() * 100 / download->totalBytes()));
}

// A message in plain text that stays while the window goes on working.
void showNotice(QWidget *owner, QMessageBox::Icon icon, const QString &title,
                const QString &message)
{
    auto *box = new QMessageBox(icon, title, message, QMessageBox::Ok, owner);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

// A message in plain text above a few labelled text fields, with OK and Cancel.
class FormDialog : public QDialog {
public:
    FormDialog(QWidget *owner, const QString &title, const QString &message)
        : QDialog(owner)
        , m_fields(new QFormLayout)
    {
        setWindowTitle(title);
        auto *text = new QLabel(message);
        text->setTextFormat(Qt::PlainText);
        text->setWordWrap(true);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

        auto *layout = new QVBoxLayout(this);
        layout->addWidget(text);
        layout->addLayout(m_fields);
        layout->addWidget(buttons);
    }

    QLineEdit *addField(const QString &label, const QString &text,
                        QLineEdit::EchoMode echo = QLineEdit::Normal)
    {
        auto *field = new QLineEdit(text);
        field->setEchoMode(echo);
        m_fields->addRow(label, field);
        return field;
    }

private:
    QFormLayout *m_fields;
};

} // namespace

void StandardEngineDialogs::alert(QWidget *owner, const QUrl &origin, const QString &message)
{
    showMessage(owner, QMessageBox::Information, origin, message, QMessageBox::Ok);
}

bool StandardEngineDialogs::confirm(QWidget *owner, const QUrl &origin, const QString &message)
{
    return showMessage(owner, QMessageBox::Question, origin, message,
                       QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

std::optional<QString> StandardEngineDialogs::prompt(QWidget *owner, const QUrl &origin,
                                                     const QString &message,
                                                     const QString &defaultText)
{
    FormDialog dialog(owner, siteName(origin), message);
    const QLineEdit *answer = dialog.addField(QString(), defaultText);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return answer->text();
}

std::optional<EngineDialogs::Credentials>
StandardEngineDialogs::askCredentials(QWidget *owner, const QUrl &url, const QString &realm)
{
    const QString site = siteName(url);
    FormDialog dialog(owner, QStringLiteral("Sign in"),
                      realm.isEmpty()
                          ? QStringLiteral("%1 asks you to sign in.").arg(site)
                          : QStringLiteral("%1 asks you to sign in to \"%2\".").arg(site, realm));
    const QLineEdit *user = dialog.addField(QStringLiteral("User name:"), QString());
    const QLineEdit *password =
        dialog.addField(QStringLiteral("Password:"), QString(), QLineEdit::Password);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return Credentials{user->text(), password->text()};
}

bool StandardEngineDialogs::allowFeature(QWidget *owner, const QUrl &origin,
                                         QWebEnginePage::Feature feature)
{
    const QString question =
        QStringLiteral("%1 asks to %2. Allow it?").arg(siteName(origin), featureRequest(feature));
    return showMessage(owner, QMessageBox::Question, origin, question,
                       QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> StandardEngineDialogs::saveDownloadAs(QWidget *owner,
                                                             const QString &proposedPath)
{
    const QString path =
        QFileDialog::getSaveFileName(owner, QStringLiteral("Save download as"), proposedPath);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

void StandardEngineDialogs::showDownloadProgress(QWidget *owner,
                                                 QWebEngineDownloadRequest *download)
{
    // Shows itself only for a download still running after a few seconds.
    auto *progress =
        new QProgressDialog(QStringLiteral("Saving %1").arg(download->downloadFileName()),
                            QStringLiteral("Cancel"), 0, 0, owner);
    progress->setWindowTitle(QStringLiteral("Download"));
    progress->setWindowModality(Qt::NonModal);
    QObject::connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, progress,
                     [progress, download] { showShareReceived(progress, download); });
    QObject::connect(progress, &QProgressDialog::canceled, download,
                     &QWebEngineDownloadRequest::cancel);
    QObject::connect(download, &QWebEngineDownloadRequest::isFinishedChanged, progress,
                     &QObject::deleteLater);
}

void StandardEngineDialogs::downloadEnded(QWidget *owner, bool succeeded, const QString &message)
{
    showNotice(owner, succeeded ? QMessageBox::Information : QMessageBox::Warning,
               QStringLiteral("Download"), message);
}

bool StandardEngineDialogs::choosePrinter(QWidget *owner, QPrinter &printer)
{
    QPrintDialog dialog(&printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

void StandardEngineDialogs::printFailed(QWidget *owner, const QString &message)
{
    showNotice(owner, QMessageBox::Warning, QStringLiteral("Print"), message);
}
