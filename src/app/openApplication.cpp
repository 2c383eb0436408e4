#include "openApplication.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QList>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

QList<HeldMessage> heldMessages;

// Names the displays Qt was to open, from the variables its platforms read.
QByteArray displayNames()
{
    QByteArrayList names;
    for (const QByteArray &platform : qgetenv("QT_QPA_PLATFORM").split(';')) {
        const char *variable = platform.startsWith("wayland") ? "WAYLAND_DISPLAY" : "DISPLAY";
        const QByteArray display = qgetenv(variable);
        names += variable + (display.isEmpty() ? QByteArray(" not set") : " \"" + display + '"');
    }
    return names.join(", ");
}

// Qt goes to Wayland only when XDG_SESSION_TYPE says "wayland", and then not
// on GNOME; a compositor started from a console leaves it at "tty". Wherever
// the session has a Wayland display, Wayland comes first here, and X (Xwayland,
// or where Qt's Wayland plugin is not installed) after it. A platform the user
// names is left as named.
QByteArray platformsToOpen()
{
    const QByteArray session = qgetenv("XDG_SESSION_TYPE");
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || session == "x11" ||
        (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && session != "wayland"))
        return {};
    return "wayland;xcb";
}

void holdOrEnd(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "corvane: cannot open the display (%s)\n", displayNames().constData());
        std::_Exit(1);
    }
    heldMessages.append({type, context.category, text});
}

} // namespace

std::unique_ptr<QApplication> openApplication(int &argc, char **argv)
{
    const QByteArray platforms = platformsToOpen();
    if (!platforms.isEmpty())
        qputenv("QT_QPA_PLATFORM", platforms);
    const QtMessageHandler passOn = qInstallMessageHandler(holdOrEnd);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(passOn);
    // What the program starts chooses its own platform.
    if (!platforms.isEmpty())
        qunsetenv("QT_QPA_PLATFORM");
    for (const HeldMessage &message : std::exchange(heldMessages, {})) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        passOn(message.type, context, message.text);
    }
    return application;
}
