#include "DownloadSaver.h"

#include "DownloadName.h"
#include "EngineDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWidget>

#include <utility>

namespace {

// The download folder, made at its first use, or else the home folder: the
// file dialog, given a folder that does not exist, would propose the path
// relative to the current directory, and save it there.
QString downloadFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return QDir().mkpath(folder) ? folder : QDir::homePath();
}

QString proposedPath(const QWebEngineDownloadRequest &download)
{
    return QDir(downloadFolder()).filePath(downloadName(download.suggestedFileName()));
}

QString savedPath(const QWebEngineDownloadRequest &download)
{
    return QDir(download.downloadDirectory()).filePath(download.downloadFileName());
}

// A page is saved as one MHTML file; a name chosen without an ending gets
// that file's, as the engine tells a local file's kind by its ending alone.
QString withPageEnding(const QString &path)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".mhtml") : path;
}

QString failure(const QString &path, const QString &reason)
{
    return QStringLiteral("The download of %1 failed: %2").arg(path, reason);
}

QString failureOffline(const QString &path)
{
    return failure(path, QStringLiteral("Work Offline closed its connection"));
}

} // namespace

DownloadSaver::DownloadSaver(EngineDialogs &dialogs, QObject *parent)
    : QObject(parent)
    , m_dialogs(dialogs)
{}

void DownloadSaver::offer(QWebEngineDownloadRequest *download, QWidget *owner)
{
    m_underWay.append({download, owner});
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, download] {
        m_underWay.removeIf([download](const UnderWay &each) { return each.download == download; });
    });
    const std::optional<QString> path = m_dialogs.saveDownloadAs(owner, proposedPath(*download));
    if (!path) {
        download->cancel();
        return;
    }
    const QFileInfo target(download->isSavePageDownload() ? withPageEnding(*path) : *path);
    // Only going offline ends a download while the user chooses.
    if (download->isFinished()) {
        m_dialogs.downloadEnded(owner, false, failureOffline(target.absoluteFilePath()));
        return;
    }
    // The engine would make the folder too, but would drop the download
    // without a word if it could not.
    if (!QDir().mkpath(target.absolutePath())) {
        download->cancel();
        m_dialogs.downloadEnded(
            owner, false,
            failure(target.absoluteFilePath(), QStringLiteral("its folder cannot be made")));
        return;
    }
    // One file that opens again as it was, whatever the engine's default.
    if (download->isSavePageDownload())
        download->setSavePageFormat(QWebEngineDownloadRequest::MimeHtmlSaveFormat);
    // The name first: given the folder alone, the engine would put a name of
    // its own in it, made from the server's.
    download->setDownloadFileName(target.fileName());
    download->setDownloadDirectory(target.absolutePath());
    // The window that asked may be gone by the time the download ends.
    connect(download, &QWebEngineDownloadRequest::stateChanged, this,
            [this, download, owner = QPointer<QWidget>(owner)] { reportEnd(download, owner); });
    download->accept();
    m_dialogs.showDownloadProgress(owner, download);
}

void DownloadSaver::failAllForOffline()
{
    for (const UnderWay &each : std::exchange(m_underWay, {})) {
        // One the user is still choosing a place for fails once chosen.
        if (each.download->state() == QWebEngineDownloadRequest::DownloadInProgress)
            m_dialogs.downloadEnded(each.owner, false, failureOffline(savedPath(*each.download)));
        each.download->cancel();
    }
}

QStringList DownloadSaver::partialFiles() const
{
    QStringList files;
    for (const UnderWay &each : m_underWay) {
        // The engine's name for it; a page is written at once, where chosen.
        if (each.download->state() == QWebEngineDownloadRequest::DownloadInProgress &&
            !each.download->isSavePageDownload())
            files << savedPath(*each.download) + QStringLiteral(".download");
    }
    return files;
}

void DownloadSaver::reportEnd(QWebEngineDownloadRequest *download, QWidget *owner)
{
    switch (download->state()) {
    case QWebEngineDownloadRequest::DownloadCompleted:
        m_dialogs.downloadEnded(owner, true,
                                QStringLiteral("Downloaded %1").arg(savedPath(*download)));
        break;
    case QWebEngineDownloadRequest::DownloadInterrupted:
        // The engine has already retried what can be retried; with no way to
        // resume it here, the part received is of no use.
        m_dialogs.downloadEnded(owner, false,
                                failure(savedPath(*download), download->interruptReasonString()));
        download->cancel();
        break;
    default:
        // Still running, or cancelled by the user, who needs no word about it.
        break;
    }
}
