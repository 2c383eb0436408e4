#pragma once

#include <QString>
#include <QStringList>

class QLocale;
class QWebEngineProfile;

// The language to check spelling in, of the dictionaries there are (named as
// the engine names languages, "en-US"): the locale's own, else one of its
// language, that of the language's main country first, else English (United
// States).
QString spellCheckLanguage(const QLocale &locale, const QStringList &dictionaries);

// The folder the engine will read its dictionaries from, empty when Corvane
// has none of its own. The engine is pointed at Corvane's, as it would not
// look there; so this must come before the engine starts, that is, before the
// first profile.
QString spellingDictionariesFolder();

// Underlines misspelt words as the user types in profile's pages, with one of
// the dictionaries in folder, picked for the user's locale.
void checkSpelling(QWebEngineProfile &profile, const QString &folder);
