#include "FrameExtentsWatch.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>

FrameExtentsWatch::FrameExtentsWatch(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    // The offscreen platform answers too, with no connection.
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    static constexpr char name[] = "_NET_FRAME_EXTENTS";
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, false, sizeof name - 1, name), nullptr);
    if (!reply)
        return;
    m_frameExtentsAtom = reply->atom;
    std::free(reply);
    qGuiApp->installNativeEventFilter(this);
}

FrameExtentsWatch::~FrameExtentsWatch()
{
    qGuiApp->removeNativeEventFilter(this);
}

bool FrameExtentsWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & ~0x80) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto *change = static_cast<const xcb_property_notify_event_t *>(message);
    if (change->atom == m_frameExtentsAtom && change->window == m_window->internalWinId()) {
        // Queued: Qt marks its frame as out of date only after the filters.
        QMetaObject::invokeMethod(this, &FrameExtentsWatch::frameAnnounced, Qt::QueuedConnection);
    }
    return false;
}
