#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP as a request to exit: the signal handler only
// writes a byte to a pipe, and the event loop, whichever is running, even a
// box's, hears it and emits received(). Ending through Exit lets the engine
// write its profile out and remove its temporary files. A second signal of the
// same kind ends the program at once, should that ever hang.
class ExitSignals : public QObject {
    Q_OBJECT

public:
    explicit ExitSignals(QObject *parent = nullptr);
    ~ExitSignals() override;

signals:
    void received();

private:
    QSocketNotifier *m_notifier = nullptr;
};
