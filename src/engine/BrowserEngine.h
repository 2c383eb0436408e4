#pragma once

#include <QString>
#include <QWidget>

// What the window asks of the browser engine: it is the engine view itself,
// placed by the window, and it is driven and polled. It is listened to for one
// thing only, a page's wish to have the whole screen. The keys beyond the
// window's menus (print, zoom, find) are the engine's own.
class BrowserEngine : public QWidget {
    Q_OBJECT

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

    // True while a page shows itself full screen, at its own request (on a
    // click or key of the user's); the window then shows nothing but the page.
    // It ends on Escape, at the page's wish, or when the page goes away.
    virtual bool FullScreen() const = 0;

signals:
    void fullScreenChanged();
};
