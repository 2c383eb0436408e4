#pragma once

#include <QStringList>

// The engine's download files that would outlive it. A download starts before
// the user has said where to save it, into a temporary file of the engine's
// (in the data folder, under X11), and once accepted is written to the name
// chosen with ".download" added. The engine removes these files on its
// download queue when the download is cancelled, as every one still running
// is when the program ends; but ending the engine drops what that queue has
// not started yet, and while data still arrives the queue is busy for up to a
// second at a time, longer than the end takes, so the files could stay. Hence
// those this process is writing as the event loop ends are noted, and those
// still there once the engine has ended are removed.
class EngineTemporaries {
public:
    EngineTemporaries() = default;
    // Removes the files noted that are still there: to be destroyed only
    // after the application, with which the engine ends.
    ~EngineTemporaries();
    EngineTemporaries(const EngineTemporaries &) = delete;
    EngineTemporaries &operator=(const EngineTemporaries &) = delete;

    // Notes partialDownloads and the engine's temporary files that this
    // process holds open.
    void note(const QStringList &partialDownloads);

private:
    QStringList m_noted;
};
