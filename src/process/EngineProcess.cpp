#include "EngineProcess.h"

#include <QByteArrayList>
#include <QCoreApplication>
#include <QLoggingCategory>
#include <QtGlobal>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr char ChromiumFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";
#if QT_VERSION < QT_VERSION_CHECK(6, 6, 0)
constexpr char PageAccessibilityVariable[] = "QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY";
#endif

// Splits Chromium flags the way Qt WebEngine reads the variable: at spaces,
// with double quotes grouping and then dropped.
QByteArrayList splitFlags(const QByteArray &flags)
{
    QByteArrayList split;
    QByteArray flag;
    bool quoted = false;
    for (const char c : flags) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ' ' && !quoted) {
            if (!flag.isEmpty())
                split.append(flag);
            flag.clear();
        } else {
            flag += c;
        }
    }
    if (!flag.isEmpty())
        split.append(flag);
    return split;
}

// Chromium takes a switch with one dash or two.
QByteArray withoutDashes(QByteArray flag)
{
    while (flag.startsWith('-'))
        flag.remove(0, 1);
    return flag;
}

// Its names are case-sensitive; ignoring case here only errs on the safe side.
bool opensRemoteDebugging(const QByteArray &flag)
{
    return withoutDashes(flag).toLower().startsWith("remote-debugging");
}

// Chromium reads only the last flag of a name, so an item of a flag that takes
// a list is added to the one the user gives, if any.
QByteArrayList withListItem(QByteArrayList flags, const QByteArray &name, const QByteArray &item)
{
    const QByteArray prefix = name + '=';
    for (QByteArray &flag : flags) {
        if (withoutDashes(flag).startsWith(prefix)) {
            flag += ',' + item;
            return flags;
        }
    }
    flags.append("--" + prefix + item);
    return flags;
}

QByteArray joinedFlags(QByteArrayList flags)
{
    for (QByteArray &flag : flags) {
        if (flag.contains(' '))
            flag = '"' + flag + '"';
    }
    return flags.join(' ');
}

} // namespace

QByteArray engineFlags(const QByteArray &flags)
{
    QByteArrayList kept;
    for (const QByteArray &flag : splitFlags(flags)) {
        if (!opensRemoteDebugging(flag))
            kept.append(flag);
    }
#if QT_VERSION < QT_VERSION_CHECK(6, 6, 0)
    // WebTransport reaches the network past the profile's requests, so neither
    // Work Offline nor the rule for local pages could hold it back: it is
    // switched off. Qt 6.6 and later put a --disable-blink-features of their
    // own after all of these (Qt's changes "Disable EyeDropperAPI" and "Disable
    // blink WebOTP feature"), which replaces it; there the profile takes
    // WebTransport from its pages instead (WebEngineBrowser).
    kept = withListItem(kept, "disable-blink-features", "WebTransport");
#endif
    return joinedFlags(kept);
}

void prepareEngineProcess()
{
    // Qt WebEngine shares OpenGL contexts with the widgets; it must be asked for
    // before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    // The engine reports its GL set-up and Chromium's flags at info level on
    // every start. Rules the user sets in QT_LOGGING_RULES still win.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));

    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("corvane: running as root, so Chromium's sandbox is switched off\n", stderr);
    }

    // The engine opens a debugging port for this variable, and for a flag in
    // its own variable or on the command line. While its variable is set at
    // all, the engine reads no flags from the command line.
    qunsetenv("QTWEBENGINE_REMOTE_DEBUGGING");
    qputenv(ChromiumFlagsVariable, engineFlags(qgetenv(ChromiumFlagsVariable)));

#if QT_VERSION < QT_VERSION_CHECK(6, 6, 0)
    // Before Qt 6.6 the engine hands a page's contents to the Linux accessibility
    // bus only while this variable is set at all; 6.6 and later do by default,
    // and take 0 to mean off. It costs nothing until a screen reader switches
    // accessibility on. Here it means what it means on the later releases.
    if (qEnvironmentVariable(PageAccessibilityVariable, QStringLiteral("1")) == u"1")
        qputenv(PageAccessibilityVariable, "1");
    else
        qunsetenv(PageAccessibilityVariable);
#endif
}

void preferDarkPages()
{
    // Blink's own setting, which it applies over the preference the engine
    // hands it whenever a page's preferences change. The engine's follows
    // Chromium's theme before Qt 6.7 and Qt's colour scheme from 6.7 on, and a
    // program can make neither dark under Qt's generic platform theme. 0 is dark.
    qputenv(ChromiumFlagsVariable,
            joinedFlags(withListItem(splitFlags(qgetenv(ChromiumFlagsVariable)), "blink-settings",
                                     "preferredColorScheme=0")));
}
