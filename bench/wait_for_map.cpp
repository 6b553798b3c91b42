// Starts a program and prints how long it took until a window of that name was mapped, timed
// by the X server's own MapNotify event (no polling that competes with the program for the
// processor), then its process id. The program is left running.
//   wait_for_map WINDOW_NAME COMMAND [ARGUMENT...]   prints "MILLISECONDS PID"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

std::string windowName(xcb_connection_t* x, xcb_window_t window) {
    const auto cookie =
        xcb_get_property(x, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(x, cookie, nullptr);
    std::string name;
    if (reply) {
        name.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                    std::size_t(xcb_get_property_value_length(reply)));
        std::free(reply);
    }
    return name;
}

void listen(xcb_connection_t* x, xcb_window_t window, uint32_t events) {
    xcb_change_window_attributes(x, window, XCB_CW_EVENT_MASK, &events);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fputs("usage: wait_for_map WINDOW_NAME COMMAND [ARGUMENT...]\n", stderr);
        return 2;
    }
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fputs("wait_for_map: no X display\n", stderr);
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    // Every top-level window created from now on is reported, and then listened to.
    listen(x, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
    xcb_flush(x);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        std::perror("wait_for_map: exec");
        _exit(127);
    }
    while (xcb_generic_event_t* event = xcb_wait_for_event(x)) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
            listen(x, created->window, XCB_EVENT_MASK_STRUCTURE_NOTIFY);
            xcb_flush(x);
        } else if (type == XCB_MAP_NOTIFY) {
            const auto* mapped = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (windowName(x, mapped->window) == argv[1]) {
                const auto ms = std::chrono::duration<double, std::milli>(
                                    std::chrono::steady_clock::now() - start)
                                    .count();
                std::printf("%.1f %d\n", ms, int(child));
                std::free(event);
                xcb_disconnect(x);
                return 0;
            }
        }
        std::free(event);
    }
    std::fputs("wait_for_map: the X connection closed\n", stderr);
    return 1;
}
