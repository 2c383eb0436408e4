#include "DesktopColorScheme.h"
#include "EngineProcess.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QStyleHints>
#include <QtGlobal>

namespace {

// A portal answers at once, and the bus says at once that none is there; the
// bound is for a portal that hangs.
constexpr int PortalTimeoutMs = 250;

// The color-scheme of a desktop that prefers dark; 2 prefers light, 0 neither.
constexpr uint PrefersDark = 1;

// The desktop's color-scheme, as its settings portal tells it; 0 when no
// portal answers.
uint portalColorScheme()
{
    QDBusMessage read = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"),
        QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("Read"));
    read << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme");
    const QDBusMessage reply =
        QDBusConnection::sessionBus().call(read, QDBus::Block, PortalTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    // Read wraps the value in one variant more than its signature says.
    QVariant value = reply.arguments().constFirst();
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value.metaType() == QMetaType::fromType<uint>() ? value.toUInt() : 0;
}

} // namespace

void followDesktopColorScheme()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
    // From Qt 6.7 on the engine follows Qt's own colour scheme, live, and a
    // platform theme that knows the desktop's (Qt's GNOME and KDE ones) sets it.
    if (QGuiApplication::styleHints()->colorScheme() != Qt::ColorScheme::Unknown)
        return;
#endif
    if (portalColorScheme() == PrefersDark)
        preferDarkPages();
}
