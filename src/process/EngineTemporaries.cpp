#include "EngineTemporaries.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {

// How Chromium names its temporary files on Linux.
constexpr QLatin1StringView TemporaryPrefix(".org.chromium.Chromium.");

} // namespace

void EngineTemporaries::note(const QStringList &partialDownloads)
{
    m_noted = partialDownloads;
    QDirIterator descriptors(QStringLiteral("/proc/self/fd"), QDir::Files | QDir::System);
    while (descriptors.hasNext()) {
        // The file a descriptor is open on, as a link; one already removed
        // is no file any more.
        const QFileInfo file(descriptors.nextFileInfo().symLinkTarget());
        if (file.fileName().startsWith(TemporaryPrefix) && file.isFile())
            m_noted.append(file.absoluteFilePath());
    }
    m_noted.removeDuplicates();
}

EngineTemporaries::~EngineTemporaries()
{
    for (const QString &path : std::as_const(m_noted))
        QFile::remove(path);
}
