#pragma once

#include <QString>
#include <QWidget>

// What the window asks of the browser engine: it is the engine view itself,
// placed by the window, and it is driven and polled, never listened to.
class BrowserEngine : public QWidget {
public:
    using QWidget::QWidget;

    // The address exactly as the user, a dialog or the home address file gave it.
    virtual void Navigate(const QString &address) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Stop() = 0;
    virtual void Refresh() = 0;

    // True from the start of a load until it finishes, fails or is stopped.
    virtual bool Busy() const = 0;
    // The address shown or being loaded; empty before anything has loaded.
    virtual QString LocationURL() const = 0;

    virtual void setOffline(bool offline) = 0;
    virtual void setSilent(bool silent) = 0;
    virtual void setRegisterAsBrowser(bool registerAsBrowser) = 0;
};
