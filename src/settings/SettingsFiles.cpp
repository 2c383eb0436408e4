#include "SettingsFiles.h"

#include "RunTimeError.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SettingsFiles {

namespace {

constexpr char StartMaxMarkerText[] = "Maximised on start-up";
constexpr qsizetype ReadChunkBytes = 64 * 1024;

// A directory deleted while it is current has no links left; every file
// operation in it fails, with reasons that do not say why.
bool currentDirectoryIsGone()
{
    struct stat status;
    return ::stat(".", &status) == 0 && status.st_nlink == 0;
}

[[noreturn]] void fail(const char *fileName, const QString &reason)
{
    throw RunTimeError(QString::fromLatin1(fileName) + QStringLiteral(": ") +
                       (currentDirectoryIsGone()
                            ? QStringLiteral("the current directory has been deleted")
                            : reason));
}

// The existence test: an entry of exactly that name in the current directory
// that is a regular file, or a symlink to one. Only stat()ed, never opened.
bool isRegularFile(const char *fileName)
{
    struct stat status;
    return ::stat(fileName, &status) == 0 && S_ISREG(status.st_mode);
}

// Opens fileName for reading, refusing anything but a regular file without
// blocking on it: the type is checked before the open, and O_NONBLOCK plus a
// second check on the open descriptor cover an entry replaced in between.
void openRegularFileForReading(const char *fileName, QFile &file)
{
    struct stat status;
    if (::stat(fileName, &status) == 0 && !S_ISREG(status.st_mode))
        fail(fileName, QStringLiteral("not a regular file"));

    int fd;
    do {
        fd = ::open(fileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        fail(fileName, qt_error_string(errno));

    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        fail(fileName, QStringLiteral("not a regular file"));
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        fail(fileName, file.errorString());
    }
}

// The bytes of the first line: everything before the first CR, or before EOF
// when there is no CR. Reads no more than MaxLineBytes + 1 bytes.
QByteArray readFirstLine(const char *fileName)
{
    QFile file;
    openRegularFileForReading(fileName, file);

    QByteArray bytes;
    for (;;) {
        const qsizetype wanted = qMin(ReadChunkBytes, MaxLineBytes + 1 - bytes.size());
        const qsizetype before = bytes.size();
        bytes.resize(before + wanted);
        const qint64 got = file.read(bytes.data() + before, wanted);
        if (got < 0)
            fail(fileName, file.errorString());
        bytes.resize(before + got);

        const qsizetype cr = bytes.indexOf('\r', before);
        if (cr >= 0) {
            if (cr > MaxLineBytes)
                break;
            bytes.truncate(cr);
            return bytes;
        }
        if (bytes.size() > MaxLineBytes)
            break;
        if (got == 0) {
            if (bytes.isEmpty())
                fail(fileName, QStringLiteral("the file is empty, it holds no line"));
            return bytes;
        }
    }
    fail(fileName, QStringLiteral("the first line is longer than %1 bytes").arg(MaxLineBytes));
}

// Where a write of fileName may go: fileName itself when it is absent or a
// regular file; when it is a symbolic link, the regular file the link ends at,
// by a path without links, so the link stays a link. Anything else (a device,
// a FIFO, a directory, a link to one or to nothing) is refused: the write
// would replace it with a regular file, wherever it is.
QString writablePath(const char *fileName)
{
    struct stat status;
    if (::lstat(fileName, &status) != 0) {
        if (errno == ENOENT)
            return QString::fromLatin1(fileName);
        fail(fileName, qt_error_string(errno));
    }
    if (S_ISREG(status.st_mode))
        return QString::fromLatin1(fileName);
    if (!S_ISLNK(status.st_mode))
        fail(fileName, QStringLiteral("not a regular file"));

    char *target = ::realpath(fileName, nullptr);
    if (!target)
        fail(fileName, errno == ENOENT ? QStringLiteral("a link to a file that does not exist")
                                       : qt_error_string(errno));
    const QString path = QFile::decodeName(target);
    const bool regular = ::stat(target, &status) == 0 && S_ISREG(status.st_mode);
    ::free(target);
    if (!regular)
        fail(fileName, QStringLiteral("not a regular file"));
    return path;
}

// Creates or replaces fileName so that it holds exactly text and CR LF. The
// old file stays intact unless the whole new content is committed.
void writeOneLine(const char *fileName, const QString &text)
{
    QSaveFile file(writablePath(fileName));
    if (!file.open(QIODevice::WriteOnly))
        fail(fileName, file.errorString());

    // The buffer is flushed, and checked, before commit(): Qt 6.4's commit()
    // loses an error of the flush it does itself and renames the truncated file
    // over the old one.
    const QByteArray bytes = text.toLocal8Bit() + QByteArrayLiteral("\r\n");
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        fail(fileName, reason);
    }
    if (!file.commit())
        fail(fileName, file.errorString());
}

} // namespace

bool HomeAddressFileExists()
{
    return isRegularFile(HomeAddressFileName);
}

QString ReadHomeAddress()
{
    return QString::fromLocal8Bit(readFirstLine(HomeAddressFileName));
}

void WriteHomeAddress(const QString &address)
{
    writeOneLine(HomeAddressFileName, address);
}

bool StartMaxMarkerExists()
{
    return isRegularFile(StartMaxMarkerFileName);
}

void CreateStartMaxMarker()
{
    writeOneLine(StartMaxMarkerFileName, QString::fromLatin1(StartMaxMarkerText));
}

void DeleteStartMaxMarker()
{
    QFile file(QString::fromLatin1(StartMaxMarkerFileName));
    if (!file.remove())
        fail(StartMaxMarkerFileName, file.errorString());
}

void RemoveStaleTemporaries()
{
    // QSaveFile's own pattern: the file's name, a dot and six random letters.
    static const QRegularExpression temporary(
        QStringLiteral("^(%1|%2)\\.[A-Za-z]{6}$")
            .arg(QRegularExpression::escape(QString::fromLatin1(HomeAddressFileName)),
                 QRegularExpression::escape(QString::fromLatin1(StartMaxMarkerFileName))));
    QDir here(QStringLiteral("."));
    for (const QString &name : here.entryList(QDir::Files | QDir::NoSymLinks)) {
        // Best effort: one that cannot be removed harms nothing.
        if (temporary.match(name).hasMatch())
            here.remove(name);
    }
}

} // namespace SettingsFiles
