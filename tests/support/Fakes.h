#pragma once

#include "engine/BrowserEngine.h"
#include "tray/TrayComponent.h"
#include "window/Dialogs.h"
#include "window/FileOpenDialog.h"

#include "RunTimeError.h"

#include <QQueue>
#include <QStringList>

#include <functional>

// Stand-ins for the window's components. Each records what the window asked
// of it, in order, into one log shared by all of them, so that tests can check
// the order of calls across components.
struct CallLog {
    QStringList calls;
};

class FakeEngine : public BrowserEngine {
public:
    explicit FakeEngine(CallLog &log)
        : m_log(log)
    {}

    void Navigate(const QString &address) override
    {
        m_log.calls << QStringLiteral("Navigate(%1)").arg(address);
        if (onNavigate)
            onNavigate(address);
    }
    void GoBack() override { m_log.calls << QStringLiteral("GoBack"); }
    void GoForward() override { m_log.calls << QStringLiteral("GoForward"); }
    void Stop() override { m_log.calls << QStringLiteral("Stop"); }
    void Refresh() override { m_log.calls << QStringLiteral("Refresh"); }

    bool Busy() const override
    {
        if (onBusy)
            onBusy();
        return busy;
    }
    QString LocationURL() const override
    {
        if (onLocationURL)
            onLocationURL();
        return location;
    }

    void setOffline(bool on) override { record(QStringLiteral("Offline"), on); }
    void setSilent(bool on) override { record(QStringLiteral("Silent"), on); }
    void setRegisterAsBrowser(bool on) override { record(QStringLiteral("RegisterAsBrowser"), on); }
    bool FullScreen() const override { return fullScreen; }

    // As a page asks for the whole screen, or gives it back.
    void askFullScreen(bool on)
    {
        fullScreen = on;
        emit fullScreenChanged();
    }

    bool busy = false;
    bool fullScreen = false;
    QString location;
    bool refuseSilent = false;
    std::function<void(const QString &)> onNavigate;
    std::function<void()> onBusy;
    std::function<void()> onLocationURL;

private:
    void record(const QString &property, bool on)
    {
        if (property == QLatin1String("Silent") && refuseSilent)
            throw RunTimeError(QStringLiteral("the engine refused Silent"));
        m_log.calls << QStringLiteral("%1=%2").arg(property, on ? "true" : "false");
    }

    CallLog &m_log;
};

// Answers the modal dialogs from a script instead of a person.
class FakeDialogs : public Dialogs {
public:
    explicit FakeDialogs(CallLog &log)
        : m_log(log)
    {}

    std::optional<QString> askText(QWidget *, const QString &title, const QString &prompt) override
    {
        m_log.calls << QStringLiteral("askText(%1|%2)").arg(title, prompt);
        return replies.isEmpty() ? std::nullopt : replies.dequeue();
    }
    void reportError(QWidget *, const QString &message) override
    {
        m_log.calls << QStringLiteral("error(%1)").arg(message);
        errors << message;
        if (whileReporting)
            whileReporting();
    }

    QQueue<std::optional<QString>> replies;
    QStringList errors;
    // Runs while an error is being reported, as a real box's own event loop would.
    std::function<void()> whileReporting;

private:
    CallLog &m_log;
};

class FakeFileOpenDialog : public FileOpenDialog {
public:
    explicit FakeFileOpenDialog(CallLog &log)
        : m_log(log)
    {}

    bool ShowOpen() override
    {
        m_log.calls << QStringLiteral("ShowOpen");
        if (choices.isEmpty())
            return false;
        m_fileName = choices.dequeue();
        return true;
    }
    QString FileName() const override { return m_fileName; }

    // Each entry is a file the user picks; an empty queue means Cancel.
    QQueue<QString> choices;

private:
    CallLog &m_log;
    QString m_fileName;
};

class FakeTray : public TrayComponent {
public:
    explicit FakeTray(CallLog &log)
        : m_log(log)
    {}

    void showIcon() override { record(QStringLiteral("showIcon")); }
    void setIconFile(const QString &fileName) override
    {
        record(QStringLiteral("setIconFile(%1)").arg(fileName));
    }
    void removeIcon() override { record(QStringLiteral("removeIcon")); }

    void doubleClick() { emit activated(); }

    // Called with each call as it is recorded, to note the state around it.
    std::function<void(const QString &)> onCall;

private:
    void record(const QString &call)
    {
        m_log.calls << call;
        if (onCall)
            onCall(call);
    }

    CallLog &m_log;
};
