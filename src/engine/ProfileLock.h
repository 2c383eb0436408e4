#pragma once

#include <QLockFile>
#include <QString>

// The engine's profile folder: cookies, sign-ins and site storage, in the
// application's standard data location (so the application's name must be set
// first), never in the current directory.
QString profileFolder();

// Claims the profile folder for this process, before any engine uses it: two
// processes sharing it would each keep their own view of its storage and
// overwrite each other's. Only a running Corvane holds the lock: whatever one
// that crashed left behind is taken over. Held until this is destroyed.
class ProfileLock {
public:
    // Folder: a folder with something in it where the lock file belongs.
    enum class State { Held, HeldByAnother, Unwritable, Folder };

    ProfileLock();

    State state() const { return m_state; }
    static QString lockFilePath();

private:
    QLockFile m_lockFile;
    State m_state;
};
