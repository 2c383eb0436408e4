#pragma once

#include <QString>

#include <exception>

// The one exception type of the program. Its message names the failure
// (a file name and the system's reason, or what a component refused) and is
// shown unchanged by the run-time error report.
class RunTimeError : public std::exception {
public:
    explicit RunTimeError(QString message)
        : m_message(std::move(message))
        , m_utf8(m_message.toUtf8())
    {}

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
