#include "ProfileLock.h"

#include <QDir>
#include <QStandardPaths>

QString profileFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/profile";
}

namespace {

ProfileLock::State claim(QLockFile &lockFile)
{
    // The holder's age says nothing: a browser runs for days.
    lockFile.setStaleLockTime(0);
    if (!QDir().mkpath(profileFolder()))
        return ProfileLock::State::Unwritable;
    if (lockFile.tryLock(0))
        return ProfileLock::State::Held;
    return lockFile.error() == QLockFile::LockFailedError ? ProfileLock::State::HeldByAnother
                                                          : ProfileLock::State::Unwritable;
}

} // namespace

ProfileLock::ProfileLock()
    : m_lockFile(profileFolder() + "/corvane.lock")
    , m_state(claim(m_lockFile))
{}
