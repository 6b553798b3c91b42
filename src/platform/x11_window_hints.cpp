#include "platform/x11_window_hints.h"

#include <QGuiApplication>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

namespace X11WindowHints {
namespace {

xcb_connection_t* connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
    if (!reply)
        return XCB_ATOM_NONE;
    return reply->atom;
}

std::vector<xcb_atom_t> currentStates(xcb_connection_t* c, xcb_window_t window,
                                      xcb_atom_t stateAtom) {
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(c, 0, window, stateAtom, XCB_ATOM_ATOM, 0, 1024);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(c, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_ATOM)
        return {};
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
    return std::vector<xcb_atom_t>(atoms, atoms + count);
}

constexpr uint32_t kAllDesktops = 0xFFFFFFFF;
constexpr const char* kFloatingStates[] = {"_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR",
                                           "_NET_WM_STATE_SKIP_PAGER"};

// Areas the window gains when it grows are cleared by the X server to the background; with no
// background they keep whatever was there (often opaque white) until the first paint. Pixel 0
// of a 32-bit visual is fully transparent; in any other visual it would be black, so those
// windows are left as they are.
void clearToTransparent(xcb_connection_t* c, xcb_window_t id) {
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr), &std::free);
    if (!geometry || geometry->depth != 32)
        return;
    const uint32_t transparent = 0;
    xcb_change_window_attributes(c, id, XCB_CW_BACK_PIXEL, &transparent);
}

void setRole(xcb_connection_t* c, xcb_window_t id, const QByteArray& role) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, internAtom(c, "WM_WINDOW_ROLE"),
                        XCB_ATOM_STRING, 8, static_cast<uint32_t>(role.size()), role.constData());
}

// A request about a managed window, sent to its root window where the window manager listens.
void sendToRoot(xcb_connection_t* c, xcb_window_t root, xcb_window_t id, xcb_atom_t type,
                std::initializer_list<uint32_t> data) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = id;
    event.type = type;
    std::copy(data.begin(), data.end(), event.data.data32);
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

} // namespace

void prepareFloatingWindow(QWindow* window, const QByteArray& role) {
    xcb_connection_t* c = connection();
    if (!c || !window)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());

    const xcb_atom_t state = internAtom(c, "_NET_WM_STATE");
    std::vector<xcb_atom_t> states = currentStates(c, id, state);
    for (const char* name : kFloatingStates) {
        const xcb_atom_t atom = internAtom(c, name);
        if (atom != XCB_ATOM_NONE && std::find(states.begin(), states.end(), atom) == states.end())
            states.push_back(atom);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(states.size()), states.data());

    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, internAtom(c, "_NET_WM_DESKTOP"),
                        XCB_ATOM_CARDINAL, 32, 1, &kAllDesktops);
    setRole(c, id, role);
    clearToTransparent(c, id);
    xcb_flush(c);
}

void announceFloatingWindow(QWindow* window, const QByteArray& role) {
    xcb_connection_t* c = connection();
    if (!c || !window)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr), &std::free);
    if (!geometry)
        return;

    // _NET_WM_STATE: action 1 adds, source 1 is an application; two states per request.
    const xcb_atom_t state = internAtom(c, "_NET_WM_STATE");
    const uint32_t add = 1, application = 1;
    sendToRoot(c, geometry->root, id, state,
               {add, internAtom(c, kFloatingStates[1]), internAtom(c, kFloatingStates[2]),
                application, 0});
    sendToRoot(c, geometry->root, id, state,
               {add, internAtom(c, kFloatingStates[0]), XCB_ATOM_NONE, application, 0});
    sendToRoot(c, geometry->root, id, internAtom(c, "_NET_WM_DESKTOP"),
               {kAllDesktops, application, 0, 0, 0});
    setRole(c, id, role);
    clearToTransparent(c, id);
    xcb_flush(c);
}

} // namespace X11WindowHints

namespace X11WindowHints {

void allowOnlyMoveAndClose(QWindow* window) {
    xcb_connection_t* c = connection();
    if (!c || !window)
        return;
    // _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
    constexpr uint32_t kFunctionsAndDecorations = 0x1 | 0x2;
    constexpr uint32_t kMoveAndClose = 0x4 | 0x20;
    constexpr uint32_t kBorderTitleAndMenu = 0x2 | 0x8 | 0x10;
    const uint32_t hints[] = {kFunctionsAndDecorations, kMoveAndClose, kBorderTitleAndMenu, 0, 0};
    const xcb_atom_t atom = internAtom(c, "_MOTIF_WM_HINTS");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()), atom,
                        atom, 32, 5, hints);
    xcb_flush(c);
}

} // namespace X11WindowHints
