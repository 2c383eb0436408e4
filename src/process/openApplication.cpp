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

// Qt 6 opens Wayland first wherever WAYLAND_DISPLAY is set or XDG_SESSION_TYPE
// says "wayland", then X where DISPLAY is set; a platform named in
// QT_QPA_PLATFORM is the only one it opens.
QByteArrayList platformsTried()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return qgetenv("QT_QPA_PLATFORM").split(';');
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland")
        return {"wayland", "xcb"};
    return {"xcb"};
}

// Names the displays Qt was to open, from the variables its platforms read.
QByteArray displayNames()
{
    QByteArrayList names;
    for (const QByteArray &platform : platformsTried()) {
        const char *variable = platform.startsWith("wayland") ? "WAYLAND_DISPLAY" : "DISPLAY";
        const QByteArray display = qgetenv(variable);
        names += variable + (display.isEmpty() ? QByteArray(" not set") : " \"" + display + '"');
    }
    return names.join(", ");
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
    const QtMessageHandler passOn = qInstallMessageHandler(holdOrEnd);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(passOn);
    for (const HeldMessage &message : std::exchange(heldMessages, {})) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        passOn(message.type, context, message.text);
    }
    return application;
}
