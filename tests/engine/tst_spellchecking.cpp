#include "engine/SpellChecking.h"

#include <QLocale>
#include <QTest>

class tst_SpellChecking : public QObject {
    Q_OBJECT

private slots:
    void languageFitsTheLocale_data();
    void languageFitsTheLocale();
};

void tst_SpellChecking::languageFitsTheLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("dictionaries");
    QTest::addColumn<QString>("language");
    const QStringList some = {"de-CH", "de-DE", "en-GB", "en-US", "fr-FR"};
    QTest::newRow("the locale's own") << "en_GB" << some << "en-GB";
    QTest::newRow("the language's main country") << "de_AT" << some << "de-DE";
    QTest::newRow("the only one of the language") << "de_AT" << QStringList{"de-CH"} << "de-CH";
    QTest::newRow("no dictionary of the language") << "nl_NL" << some << "en-US";
    QTest::newRow("no dictionary at all") << "fr_FR" << QStringList() << "en-US";
    QTest::newRow("the C locale") << "C" << some << "en-US";
}

void tst_SpellChecking::languageFitsTheLocale()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, dictionaries);
    QFETCH(QString, language);
    QCOMPARE(spellCheckLanguage(QLocale(locale), dictionaries), language);
}

QTEST_APPLESS_MAIN(tst_SpellChecking)
#include "tst_spellchecking.moc"
