#include "SpellChecking.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QWebEngineProfile>

namespace {

constexpr char FolderVariable[] = "QTWEBENGINE_DICTIONARIES_PATH";

QString besideTheProgram(const QString &path)
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + u'/' + path);
}

// Chromium names a language as BCP 47 does, "en-US"; QLocale as "en_US".
QString languageName(const QLocale &locale)
{
    return locale.name().replace(u'_', u'-');
}

} // namespace

QString spellCheckLanguage(const QLocale &locale, const QStringList &dictionaries)
{
    const QString own = languageName(locale);
    if (dictionaries.contains(own))
        return own;
    // Austrian German is spelt as Germany's, not as Switzerland's.
    const QString mainCountry = languageName(QLocale(locale.language()));
    if (dictionaries.contains(mainCountry))
        return mainCountry;
    const QString language = own.section(u'-', 0, 0);
    for (const QString &dictionary : dictionaries) {
        if (dictionary.section(u'-', 0, 0) == language)
            return dictionary;
    }
    return QStringLiteral("en-US");
}

QString spellingDictionariesFolder()
{
    // When the variable is set, the engine looks there alone.
    const QString set = qEnvironmentVariable(FolderVariable);
    if (!set.isEmpty())
        return set;
    // Named even when beside the program: Debian's Qt 6.8 looks in
    // /usr/share/hunspell-bdic before it. Installed, the program is in bin/
    // and its dictionaries in share/.
    for (const char *path :
         {"qtwebengine_dictionaries", "../share/corvane/qtwebengine_dictionaries"}) {
        const QString folder = besideTheProgram(QString::fromLatin1(path));
        if (QFileInfo::exists(folder)) {
            qputenv(FolderVariable, QFile::encodeName(folder));
            return folder;
        }
    }
    // None of Corvane's own: the engine looks in places of its release's
    // choosing, and finds en-US there or checks nothing.
    return {};
}

void checkSpelling(QWebEngineProfile &profile, const QString &folder)
{
    // An empty folder is none, not the current directory.
    QStringList dictionaries;
    const QFileInfoList files =
        folder.isEmpty() ? QFileInfoList()
                         : QDir(folder).entryInfoList({QStringLiteral("*.bdic")}, QDir::Files);
    for (const QFileInfo &file : files)
        dictionaries << file.completeBaseName();
    profile.setSpellCheckLanguages({spellCheckLanguage(QLocale::system(), dictionaries)});
    profile.setSpellCheckEnabled(true);
}
