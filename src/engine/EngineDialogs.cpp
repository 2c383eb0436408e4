#include "EngineDialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QProgressDialog>
#include <QPushButton>
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

// Shows box and waits for the user's answer without blocking the window: a
// page that opens box after box must not keep the user from Exit or the
// window's close box. Ending the program ends the wait, the box unanswered.
void waitForAnswer(QDialog &box)
{
    QEventLoop wait;
    QObject::connect(&box, &QDialog::finished, &wait, &QEventLoop::quit);
    // A message box makes itself modal unless told otherwise.
    box.setWindowModality(Qt::NonModal);
    box.show();
    wait.exec();
}

// The offer to stop the page asking, when the box is to make it.
QCheckBox *stopOffer(const bool *stopAsking)
{
    return stopAsking ? new QCheckBox(QStringLiteral("&Stop this page from asking again"))
                      : nullptr;
}

void keepStopChoice(const QCheckBox *offer, bool *stopAsking)
{
    if (offer && offer->isChecked())
        *stopAsking = true;
}

// The button the user chose; NoButton when the box went unanswered.
QMessageBox::StandardButton askInBox(QWidget *owner, QMessageBox::Icon icon, const QUrl &origin,
                                     const QString &text, QMessageBox::StandardButtons buttons,
                                     bool *stopAsking)
{
    QMessageBox box(icon, siteName(origin), text, buttons, owner);
    box.setTextFormat(Qt::PlainText);
    box.setCheckBox(stopOffer(stopAsking));
    waitForAnswer(box);
    keepStopChoice(box.checkBox(), stopAsking);
    return box.standardButton(box.clickedButton());
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
    FormDialog(QWidget *owner, const QString &title, const QString &message,
               QCheckBox *stopOffer = nullptr)
        : QDialog(owner)
        , m_fields(new QFormLayout)
    {
        setWindowTitle(title);
        auto *text = new QLabel(message);
        text->setTextFormat(Qt::PlainText);
        text->setWordWrap(true);
        connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

        auto *layout = new QVBoxLayout(this);
        layout->addWidget(text);
        layout->addLayout(m_fields);
        if (stopOffer)
            layout->addWidget(stopOffer);
        layout->addWidget(m_buttons);
    }

    // Shows the form and waits: true when the user confirmed it with OK.
    bool confirmedByUser()
    {
        waitForAnswer(*this);
        return result() == QDialog::Accepted;
    }

    // Typing goes to the first field, replacing any text it was given; Tab runs
    // through the fields in order and then to OK and Cancel; Enter in a field
    // is OK.
    QLineEdit *addField(const QString &label, const QString &text,
                        QLineEdit::EchoMode echo = QLineEdit::Normal)
    {
        auto *field = new QLineEdit(text);
        field->setEchoMode(echo);
        field->selectAll();
        m_fields->addRow(label, field);
        QWidget::setTabOrder(field, m_buttons->button(QDialogButtonBox::Ok));
        QWidget::setTabOrder(m_buttons->button(QDialogButtonBox::Ok),
                             m_buttons->button(QDialogButtonBox::Cancel));
        if (m_fields->rowCount() == 1)
            field->setFocus();
        return field;
    }

private:
    QFormLayout *m_fields;
    QDialogButtonBox *m_buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
};

} // namespace

void StandardEngineDialogs::alert(QWidget *owner, const QUrl &origin, const QString &message,
                                  bool *stopAsking)
{
    askInBox(owner, QMessageBox::Information, origin, message, QMessageBox::Ok, stopAsking);
}

bool StandardEngineDialogs::confirm(QWidget *owner, const QUrl &origin, const QString &message,
                                    bool *stopAsking)
{
    return askInBox(owner, QMessageBox::Question, origin, message,
                    QMessageBox::Ok | QMessageBox::Cancel, stopAsking) == QMessageBox::Ok;
}

std::optional<QString> StandardEngineDialogs::prompt(QWidget *owner, const QUrl &origin,
                                                     const QString &message,
                                                     const QString &defaultText, bool *stopAsking)
{
    QCheckBox *offer = stopOffer(stopAsking);
    FormDialog dialog(owner, siteName(origin), message, offer);
    const QLineEdit *answer = dialog.addField(QString(), defaultText);
    const bool accepted = dialog.confirmedByUser();
    keepStopChoice(offer, stopAsking);
    if (!accepted)
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
    if (!dialog.confirmedByUser())
        return std::nullopt;
    return Credentials{user->text(), password->text()};
}

bool StandardEngineDialogs::allowFeature(QWidget *owner, const QUrl &origin, const QString &request,
                                         bool *stopAsking)
{
    const QString question =
        QStringLiteral("%1 asks to %2. Allow it?").arg(siteName(origin), request);
    return askInBox(owner, QMessageBox::Question, origin, question,
                    QMessageBox::Yes | QMessageBox::No, stopAsking) == QMessageBox::Yes;
}

std::optional<QString> StandardEngineDialogs::saveDownloadAs(QWidget *owner,
                                                             const QString &proposedPath)
{
    QFileDialog dialog(owner, QStringLiteral("Save download as"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(proposedPath);
    waitForAnswer(dialog);
    if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
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

bool StandardEngineDialogs::choosePrinter(QWidget *owner, QPrinter &printer, bool *stopAsking)
{
    QPrintDialog dialog(&printer, owner);
    QCheckBox *offer = stopOffer(stopAsking);
    // The print dialog has no place for it of its own: it goes above the buttons.
    if (auto *layout = qobject_cast<QBoxLayout *>(dialog.layout()); layout && offer)
        layout->insertWidget(layout->indexOf(dialog.findChild<QDialogButtonBox *>()), offer);
    waitForAnswer(dialog);
    keepStopChoice(offer, stopAsking);
    return dialog.result() == QDialog::Accepted;
}

void StandardEngineDialogs::printFailed(QWidget *owner, const QString &message)
{
    showNotice(owner, QMessageBox::Warning, QStringLiteral("Print"), message);
}
