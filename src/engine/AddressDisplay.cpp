#include "AddressDisplay.h"

#include "MisleadingCharacters.h"

#include <QStringList>
#include <QUrl>

#include <unicode/uspoof.h>

#include <memory>

namespace {

bool isLatinAlikeCyrillic(char32_t c)
{
    static const QString letters = QStringLiteral(u"асԁеһіјӏорԗԛѕԝхуъЬҽпгѵѡ");
    return letters.contains(QString::fromUcs4(&c, 1));
}

// A label whose Cyrillic letters all look like Latin ones, as "аррӏе".
bool isMadeOfLatinAlikeCyrillic(const QString &label)
{
    bool anyCyrillic = false;
    for (const char32_t c : label.toUcs4()) {
        if (QChar::script(c) != QChar::Script_Cyrillic)
            continue;
        if (!isLatinAlikeCyrillic(c))
            return false;
        anyCyrillic = true;
    }
    return anyCyrillic;
}

bool hasLatinBeyondAscii(const QString &label)
{
    for (const char32_t c : label.toUcs4()) {
        if (c > 0x7f && QChar::script(c) == QChar::Script_Latin)
            return true;
    }
    return false;
}

// Sharp s, final sigma and the zero-width joiners: the two IDNA versions
// read them differently, so one name can lead to two hosts.
bool hasDeviationCharacter(const QString &label)
{
    return label.contains(u'\u00df') || label.contains(u'\u03c2') || label.contains(u'\u200c') ||
           label.contains(u'\u200d');
}

class SpoofChecker {
public:
    SpoofChecker()
    {
        UErrorCode status = U_ZERO_ERROR;
        m_checker.reset(uspoof_open(&status));
        uspoof_setRestrictionLevel(m_checker.get(), USPOOF_HIGHLY_RESTRICTIVE);
        const std::unique_ptr<USet, decltype(&uset_close)> allowed(uset_openEmpty(), &uset_close);
        uset_addAll(allowed.get(), uspoof_getRecommendedSet(&status));
        uset_addAll(allowed.get(), uspoof_getInclusionSet(&status));
        // A long solidus overlay can pass for a slash, a hyphen and a
        // hyphenation point for ASCII punctuation.
        for (const UChar32 lookalike : {0x338, 0x2010, 0x2027})
            uset_remove(allowed.get(), lookalike);
        uspoof_setAllowedChars(m_checker.get(), allowed.get(), &status);
        m_ready = U_SUCCESS(status);
    }

    // Whether a label, in Unicode, is safe to read. A failure of the checker
    // counts as unsafe.
    bool isSafe(const QString &label, bool asciiTopLevelDomain) const
    {
        if (!m_ready)
            return false;
        UErrorCode status = U_ZERO_ERROR;
        const std::unique_ptr<USpoofCheckResult, decltype(&uspoof_closeCheckResult)> result(
            uspoof_openCheckResult(&status), &uspoof_closeCheckResult);
        const int32_t failed = uspoof_check2UTF8(m_checker.get(), label.toUtf8().constData(), -1,
                                                 result.get(), &status);
        const URestrictionLevel level =
            uspoof_getCheckResultRestrictionLevel(result.get(), &status);
        if (U_FAILURE(status) || failed != 0 || hasDeviationCharacter(label))
            return false;
        if (level <= USPOOF_SINGLE_SCRIPT_RESTRICTIVE)
            return !(asciiTopLevelDomain && isMadeOfLatinAlikeCyrillic(label));
        // Latin beside Chinese, Japanese or Korean: only its ASCII letters.
        return !hasLatinBeyondAscii(label);
    }

private:
    std::unique_ptr<USpoofChecker, decltype(&uspoof_close)> m_checker{nullptr, &uspoof_close};
    bool m_ready = false;
};

bool isSafeToRead(const QString &asciiHost)
{
    static const SpoofChecker checker;
    const QStringList labels = asciiHost.split(u'.');
    const bool asciiTopLevelDomain = !labels.last().startsWith(QLatin1String("xn--"));
    for (const QString &label : labels) {
        const QString unicode = QUrl::fromAce(label.toLatin1(), QUrl::IgnoreIDNWhitelist);
        if (unicode != label && !checker.isSafe(unicode, asciiTopLevelDomain))
            return false;
    }
    return true;
}

// As in Chromium's address bar, characters that would make one address read
// as another ("/\u202egpj.exe" reads as "exe.jpg") stay percent-encoded.
QString withMisleadingCharactersEncoded(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        // Not QString::fromUcs4(), which takes U+FEFF for a byte order mark.
        const QString character = QStringView(QChar::fromUcs4(c)).toString();
        shown += misleadsTheReader(c) ? QString::fromLatin1(character.toUtf8().toPercentEncoding())
                                      : character;
    }
    return shown;
}

} // namespace

QString addressForDisplay(const QUrl &url)
{
    // A user name and password are never shown: they would put a password on
    // the screen, and let "www.bank.example:x@" stand before the real host.
    const QUrl::FormattingOptions withoutUserInfo = QUrl::RemoveUserInfo;
    const QString site =
        url.toString(withoutUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
    const QString rest =
        withMisleadingCharactersEncoded(url.toString(withoutUserInfo).mid(site.size()));
    const QString host = url.host();
    const QString asciiHost = url.host(QUrl::EncodeUnicode);
    // Qt's own choice, by a list of top-level domains, is not the one made here.
    const QString readable = isSafeToRead(asciiHost)
                                 ? QUrl::fromAce(asciiHost.toLatin1(), QUrl::IgnoreIDNWhitelist)
                                 : asciiHost;
    if (readable == host)
        return site + rest;
    // The host is the last thing of its text in the site, before any port.
    const qsizetype at = site.lastIndexOf(host);
    return site.left(at) + readable + site.mid(at + host.size()) + rest;
}
