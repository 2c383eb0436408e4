#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class EngineDialogs;
class QWebEngineDownloadRequest;

// Saves what the engine cannot show where the user chooses, proposing the
// download folder and the server's file name, and says how each download
// ended. The engine downloads on its own threads; nothing here waits.
class DownloadSaver : public QObject {
    Q_OBJECT

public:
    DownloadSaver(EngineDialogs &dialogs, QObject *parent);

    // Asks where to save download, over owner; accepts it there, or cancels it.
    void offer(QWebEngineDownloadRequest *download, QWidget *owner);
    // Ends every download not finished as failed, leaving nothing of it on
    // disk, for the profile's connections are about to be cut: the engine
    // would not notice that a download's connection is gone, and would keep
    // it waiting for ever.
    void failAllForOffline();
    // The files that downloads under way are being written to.
    QStringList partialFiles() const;

private:
    struct UnderWay {
        QWebEngineDownloadRequest *download;
        QPointer<QWidget> owner;
    };

    void reportEnd(QWebEngineDownloadRequest *download, QWidget *owner);

    EngineDialogs &m_dialogs;
    // Offered and not finished.
    QList<UnderWay> m_underWay;
};
