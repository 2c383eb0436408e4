#pragma once

#include <QStringList>

// The engine's temporary files that would outlive it. A download starts
// before the user has said where to save it, into a temporary file of the
// engine's (in the data folder, under X11). When the download is cancelled,
// as when the program ends with the save dialog open, the engine removes the
// file on its download queue; but ending the engine drops what that queue
// has not started yet, and while data still arrives the queue is busy for up
// to a second at a time, longer than the end takes, so the file would stay.
// Hence the temporary files this process holds open as the event loop ends
// are noted, and those still there once the engine has ended are removed.
class EngineTemporaries {
public:
    EngineTemporaries() = default;
    // Removes the files noted that are still there: to be destroyed only
    // after the application, with which the engine ends.
    ~EngineTemporaries();
    EngineTemporaries(const EngineTemporaries &) = delete;
    EngineTemporaries &operator=(const EngineTemporaries &) = delete;

    // Notes the engine's temporary files that this process holds open.
    void noteOpen();

private:
    QStringList m_noted;
};
