#include "ProfileLock.h"

#include "engine/WebEngineBrowser.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A lock file is a plain file. Anything else there (a link, even one that
// leads nowhere, a pipe, which would hang the reading of it, an empty folder)
// holds nothing and goes; a folder with something in it is not ours to take.
bool clearAnythingButAFile(const QString &path)
{
    const QFileInfo found(path);
    if (found.isSymLink() || (found.exists() && !found.isFile() && !found.isDir()))
        return QFile::remove(path);
    if (found.isDir())
        return QDir().rmdir(path);
    return true;
}

ProfileLock::State claim(QLockFile &lockFile, const QString &path)
{
    // The holder's age says nothing: a browser runs for days.
    lockFile.setStaleLockTime(0);
    if (!QDir().mkpath(profileFolder()))
        return ProfileLock::State::Unwritable;
    if (!clearAnythingButAFile(path))
        return QFileInfo(path).isDir() ? ProfileLock::State::Folder
                                       : ProfileLock::State::Unwritable;
    if (lockFile.tryLock(0))
        return ProfileLock::State::Held;
    if (lockFile.error() != QLockFile::LockFailedError)
        return ProfileLock::State::Unwritable;
    // A running Corvane keeps its lock file locked. One no process keeps
    // locked is what a crash left, however little it holds (an empty file,
    // from a crash between making and writing it, or garbage): taken over.
    lockFile.removeStaleLockFile();
    if (lockFile.tryLock(0))
        return ProfileLock::State::Held;
    return lockFile.error() == QLockFile::LockFailedError ? ProfileLock::State::HeldByAnother
                                                          : ProfileLock::State::Unwritable;
}

} // namespace

ProfileLock::ProfileLock()
    : m_lockFile(lockFilePath())
    , m_state(claim(m_lockFile, lockFilePath()))
{}

QString ProfileLock::lockFilePath()
{
    return profileFolder() + "/corvane.lock";
}
