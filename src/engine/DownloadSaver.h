#pragma once

#include <QObject>

class EngineDialogs;
class QWebEngineDownloadRequest;
class QWidget;

// Saves what the engine cannot show where the user chooses, proposing the
// download folder and the server's file name, and says how each download
// ended. The engine downloads on its own threads; nothing here waits.
class DownloadSaver : public QObject {
    Q_OBJECT

public:
    DownloadSaver(EngineDialogs &dialogs, QObject *parent);

    // Asks where to save download, over owner; accepts it there, or cancels it.
    void offer(QWebEngineDownloadRequest *download, QWidget *owner);

private:
    void reportEnd(QWebEngineDownloadRequest *download, QWidget *owner);

    EngineDialogs &m_dialogs;
};
