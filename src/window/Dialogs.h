#pragma once

#include <QString>

#include <optional>

class QWidget;

// The modal dialogs the window opens, behind an interface so that window
// tests can answer them without a person.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The text confirmed with OK; nothing when the dialog was cancelled or closed.
    virtual std::optional<QString> askText(QWidget *owner, const QString &title,
                                           const QString &prompt) = 0;
    // The run-time error report: a modal box naming the error.
    virtual void reportError(QWidget *owner, const QString &message) = 0;
};

// Says message on stderr, after the program's name, and in the error report.
void tellUser(Dialogs &dialogs, QWidget *owner, const QString &message);

// The platform's standard input dialog and message box.
class StandardDialogs : public Dialogs {
public:
    std::optional<QString> askText(QWidget *owner, const QString &title,
                                   const QString &prompt) override;
    void reportError(QWidget *owner, const QString &message) override;
};
