#pragma once

#include <QEvent>
#include <QObject>

#include <functional>

// Calls onEvent for each event of one type that watched receives, before
// watched handles it, for as long as the watcher lives.
class EventWatcher : public QObject {
public:
    EventWatcher(QObject *watched, QEvent::Type type, std::function<void()> onEvent)
        : m_type(type)
        , m_onEvent(std::move(onEvent))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            m_onEvent();
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_onEvent;
};
