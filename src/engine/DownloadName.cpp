#include "DownloadName.h"

#include "MisleadingCharacters.h"

#include <QList>
#include <QStringView>

#include <algorithm>

QString downloadName(const QString &given)
{
    // '\\' ends a folder's name on the systems the file may be copied to.
    const qsizetype folderEnd = std::max(given.lastIndexOf('/'), given.lastIndexOf('\\'));
    QString name;
    for (const char32_t c : QStringView(given).mid(folderEnd + 1).toUcs4())
        name += QChar::fromUcs4(misleadsTheReader(c) ? U'_' : c);
    name = name.trimmed();
    while (name.startsWith('.'))
        name.remove(0, 1);
    return name.isEmpty() ? QStringLiteral("download") : name;
}
