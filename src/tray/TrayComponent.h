#pragma once

#include <QObject>
#include <QString>

// The notification-area icon, as the window uses it: show it, give it an icon
// file, remove it, and hear the user ask for the window back through it.
class TrayComponent : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void showIcon() = 0;
    // A bare file name, resolved against the current directory.
    virtual void setIconFile(const QString &fileName) = 0;
    virtual void removeIcon() = 0;

signals:
    void activated();
};
