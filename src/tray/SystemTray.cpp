#include "SystemTray.h"

#include "RunTimeError.h"

#include <QDBusInterface>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>

namespace {

// Qt shows the icon through a StatusNotifierItem host over D-Bus when, as
// the icon is made, the session bus has a watcher with a host registered;
// through an XEmbed tray otherwise. Asked the same way, right after Qt asked.
bool statusNotifierHostRegistered()
{
    QDBusInterface watcher(QStringLiteral("org.kde.StatusNotifierWatcher"),
                           QStringLiteral("/StatusNotifierWatcher"),
                           QStringLiteral("org.kde.StatusNotifierWatcher"));
    return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

} // namespace

SystemTray::SystemTray(QObject *parent)
    : TrayComponent(parent)
    , m_icon(new QSystemTrayIcon(QGuiApplication::windowIcon(), this))
    , m_askedBack(statusNotifierHostRegistered() ? QSystemTrayIcon::Trigger
                                                 : QSystemTrayIcon::DoubleClick)
{
    m_icon->setToolTip(QStringLiteral("Corvane"));
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == m_askedBack)
                    emit activated();
            });
}

void SystemTray::showIcon()
{
    // Hiding the window with nowhere to show the icon would leave it unreachable.
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        throw RunTimeError(QStringLiteral("no notification area is available"));
    m_icon->show();
}

void SystemTray::setIconFile(const QString &fileName)
{
    // A missing or unreadable file leaves the program's own icon in place, and
    // so does anything but a regular file: reading a FIFO would hang the window.
    const QIcon icon(QFileInfo(fileName).isFile() ? fileName : QString());
    m_icon->setIcon(icon.availableSizes().isEmpty() ? QGuiApplication::windowIcon() : icon);
}

void SystemTray::removeIcon()
{
    m_icon->hide();
}
