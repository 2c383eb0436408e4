#pragma once

#include "TrayComponent.h"

#include <QSystemTrayIcon>

// The tray icon on the platform's notification area. Its tooltip is the
// program's name and its icon the program's own until an icon file is given.
// The user asks for the window back with what the tray host offers: a
// double-click on an XEmbed tray; a click on a StatusNotifierItem host, which
// reports clicks and never a double-click.
class SystemTray : public TrayComponent {
    Q_OBJECT

public:
    explicit SystemTray(QObject *parent = nullptr);

    void showIcon() override;
    void setIconFile(const QString &fileName) override;
    void removeIcon() override;

private:
    QSystemTrayIcon *m_icon;
    QSystemTrayIcon::ActivationReason m_askedBack;
};
