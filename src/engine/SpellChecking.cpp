#include "SpellChecking.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
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
    // As Qt WebEngine 6.4 and 6.8 look, taking the first folder that exists:
    // the variable's alone when it is set, else the one beside the program,
    // else Qt's own.
    const QString set = qEnvironmentVariable(FolderVariable);
    if (!set.isEmpty())
        return set;
    // Set even for the folder beside the program: Debian's Qt 6.8 looks in
    // /usr/share/hunspell-bdic before it, unless told.
    const QString beside = besideTheProgram(QStringLiteral("qtwebengine_dictionaries"));
    if (QFileInfo::exists(beside)) {
        qputenv(FolderVariable, QFile::encodeName(beside));
        return beside;
    }
    // Installed, the program is in bin/ and its dictionaries in share/.
    const QString installed =
        besideTheProgram(QStringLiteral("../share/corvane/qtwebengine_dictionaries"));
    if (QFileInfo::exists(installed)) {
        qputenv(FolderVariable, QFile::encodeName(installed));
        return installed;
    }
    return QLibraryInfo::path(QLibraryInfo::DataPath) + QStringLiteral("/qtwebengine_dictionaries");
}

void checkSpelling(QWebEngineProfile &profile, const QString &folder)
{
    QStringList dictionaries;
    for (const QFileInfo &file :
         QDir(folder).entryInfoList({QStringLiteral("*.bdic")}, QDir::Files))
        dictionaries << file.completeBaseName();
    profile.setSpellCheckLanguages({spellCheckLanguage(QLocale::system(), dictionaries)});
    profile.setSpellCheckEnabled(true);
}
