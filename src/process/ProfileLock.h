#pragma once

#include <QLockFile>
#include <QString>

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
