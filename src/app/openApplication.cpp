#include "openApplication.h"

#include <QByteArray>
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

// Names the display Qt was to open, from the variable its platform reads.
QByteArray displayName()
{
    const char *variable =
        qgetenv("QT_QPA_PLATFORM").startsWith("wayland") ? "WAYLAND_DISPLAY" : "DISPLAY";
    const QByteArray display = qgetenv(variable);
    if (display.isEmpty())
        return QByteArray(": ") + variable + " is not set";
    return " \"" + display + '"';
}

void holdOrEnd(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "corvane: cannot open the display%s\n", displayName().constData());
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
