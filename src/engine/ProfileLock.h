#pragma once

#include <QLockFile>
#include <QString>

// The engine's profile folder: cookies, sign-ins and site storage, in the
// application's standard data location (so the application's name must be set
// first), never in the current directory.
QString profileFolder();

// Claims the profile folder for this process, before any engine uses it: two
// processes sharing it would each keep their own view of its storage and
// overwrite each other's. The lock file names its holder, so one that crashed
// leaves no stale lock behind. Held until this is destroyed.
class ProfileLock {
public:
    enum class State { Held, HeldByAnother, Unwritable };

    ProfileLock();

    State state() const { return m_state; }

private:
    QLockFile m_lockFile;
    State m_state;
};
