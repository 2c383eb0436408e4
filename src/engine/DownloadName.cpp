#include "DownloadName.h"

#include <QList>
#include <QStringView>

#include <algorithm>

namespace {

// Blanks and fillers that Unicode does not class as format characters.
constexpr char32_t InvisibleLetters[] = {
    0x034F,                         // combining grapheme joiner
    0x115F, 0x1160, 0x3164, 0xFFA0, // Hangul fillers
    0x17B4, 0x17B5,                 // Khmer inherent vowels
};

bool misleads(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        break;
    }
    // Variation selectors change how the letter before them looks.
    if ((c >= 0x180B && c <= 0x180F) || (c >= 0xFE00 && c <= 0xFE0F) ||
        (c >= 0xE0100 && c <= 0xE01EF))
        return true;
    return std::find(std::begin(InvisibleLetters), std::end(InvisibleLetters), c) !=
           std::end(InvisibleLetters);
}

} // namespace

QString downloadName(const QString &given)
{
    // '\\' ends a folder's name on the systems the file may be copied to.
    const qsizetype folderEnd = std::max(given.lastIndexOf('/'), given.lastIndexOf('\\'));
    QString name;
    for (const char32_t c : QStringView(given).mid(folderEnd + 1).toUcs4())
        name += QChar::fromUcs4(misleads(c) ? U'_' : c);
    name = name.trimmed();
    while (name.startsWith('.'))
        name.remove(0, 1);
    return name.isEmpty() ? QStringLiteral("download") : name;
}
