#pragma once

#include "TrayComponent.h"

class QSystemTrayIcon;

// The tray icon on the platform's notification area. Its tooltip is the
// program's name and its icon the program's own until an icon file is given.
class SystemTray : public TrayComponent {
    Q_OBJECT

public:
    explicit SystemTray(QObject *parent = nullptr);

    void showIcon() override;
    void setIconFile(const QString &fileName) override;
    void removeIcon() override;

private:
    QSystemTrayIcon *m_icon;
};
