#include "platform/x11_screen_saver_watch.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdlib>
#include <memory>
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

X11ScreenSaverWatch::X11ScreenSaverWatch(QObject* parent)
    : QObject(parent) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_screensaver_id);
    if (!extension || !extension->present)
        return;
    m_firstEvent = extension->first_event;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_screensaver_select_input(c, root, XCB_SCREENSAVER_EVENT_NOTIFY_MASK);
    std::unique_ptr<xcb_screensaver_query_info_reply_t, decltype(&std::free)> info(
        xcb_screensaver_query_info_reply(c, xcb_screensaver_query_info(c, root), nullptr),
        &std::free);
    if (info)
        m_active = info->state == XCB_SCREENSAVER_STATE_ON;
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11ScreenSaverWatch::~X11ScreenSaverWatch() {
    if (m_firstEvent && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool X11ScreenSaverWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != m_firstEvent + XCB_SCREENSAVER_NOTIFY)
        return false;
    const auto* notify = static_cast<const xcb_screensaver_notify_event_t*>(message);
    setActive(notify->state == XCB_SCREENSAVER_STATE_ON ||
              notify->state == XCB_SCREENSAVER_STATE_CYCLE);
    return false;
}

void X11ScreenSaverWatch::setActive(bool active) {
    if (active == m_active)
        return;
    m_active = active;
    emit activeChanged(active);
}
