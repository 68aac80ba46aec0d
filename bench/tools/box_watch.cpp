// Benchmark helper for bench/punctuality.sh: watches the X display and prints
// the wall-clock time at which each new top-level window with one of the given
// titles is mapped, one line each, until SECONDS have passed:
//   tindora_box_watch SECONDS TITLE...
//   1765370000123.456 0x400012 managed 固定报时！
// (milliseconds since the epoch, CLOCK_REALTIME as read when the event
// arrives; the window; "managed" or "override-redirect"; the title.) A first
// line "# watching" says the watch is in place.
//
// It listens on the root window (SubstructureNotify), so it sees the Qt
// program's boxes and, under Wine with Managed=N, the override-redirect
// windows Wine maps for its message boxes. A window whose title is set only
// after it is mapped is reported when its title arrives (PropertyNotify), the
// moment it is both on screen and recognisable. Each window is reported once.
#include <xcb/xcb.h>

#include <poll.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>
#include <string>
#include <vector>

namespace {

double wallClockMillis()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

struct Atoms {
    xcb_atom_t netWmName;
    xcb_atom_t utf8String;
};

// The property's bytes when it holds text we can compare as bytes (UTF-8, or
// Latin-1 STRING, which our titles never are); empty otherwise.
std::string textProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, type, 0, 1024), nullptr);
    std::string text;
    if (reply && reply->format == 8 && reply->type == type)
        text.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                    static_cast<std::size_t>(xcb_get_property_value_length(reply)));
    std::free(reply);
    return text;
}

// _NET_WM_NAME (UTF-8) when set, else WM_NAME when it is UTF8_STRING.
std::string windowTitle(xcb_connection_t* connection, const Atoms& atoms, xcb_window_t window)
{
    std::string title = textProperty(connection, window, atoms.netWmName, atoms.utf8String);
    if (title.empty())
        title = textProperty(connection, window, XCB_ATOM_WM_NAME, atoms.utf8String);
    return title;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fputs("usage: tindora_box_watch SECONDS TITLE...\n", stderr);
        return 2;
    }
    const double endMillis = wallClockMillis() + std::atof(argv[1]) * 1000.0;
    const std::vector<std::string> titles(argv + 2, argv + argc);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fputs("box_watch: no X display\n", stderr);
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const Atoms atoms{internAtom(connection, "_NET_WM_NAME"), internAtom(connection, "UTF8_STRING")};
    const std::uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_void_cookie_t subscribed = xcb_change_window_attributes_checked(connection, screen->root, XCB_CW_EVENT_MASK,
                                                                        &rootMask);
    if (xcb_generic_error_t* error = xcb_request_check(connection, subscribed)) {
        std::fprintf(stderr, "box_watch: cannot watch the root window (X error %d)\n", error->error_code);
        std::free(error);
        return 1;
    }
    std::puts("# watching");

    std::set<xcb_window_t> mappedUnnamed; // mapped, title not (yet) one of ours
    std::set<xcb_window_t> reported;
    auto reportIfOurs = [&](xcb_window_t window, bool overrideRedirect, double millis) {
        const std::string title = windowTitle(connection, atoms, window);
        for (const std::string& wanted : titles)
            if (title == wanted) {
                std::printf("%.3f 0x%x %s %s\n", millis, window, overrideRedirect ? "override-redirect" : "managed",
                            title.c_str());
                reported.insert(window);
                return true;
            }
        return false;
    };
    std::set<xcb_window_t> overrideRedirectWindows;

    const int fd = xcb_get_file_descriptor(connection);
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const double millis = wallClockMillis(); // first, before any round trip
            switch (event->response_type & 0x7f) {
            case XCB_CREATE_NOTIFY: {
                const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
                if (created->parent == screen->root) {
                    // Titles set after the window is mapped reach us this way.
                    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
                    xcb_change_window_attributes(connection, created->window, XCB_CW_EVENT_MASK, &mask);
                    if (created->override_redirect)
                        overrideRedirectWindows.insert(created->window);
                }
                break;
            }
            case XCB_MAP_NOTIFY: {
                const auto* mapped = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (mapped->event == screen->root && !reported.count(mapped->window) &&
                    !reportIfOurs(mapped->window, mapped->override_redirect, millis))
                    mappedUnnamed.insert(mapped->window);
                break;
            }
            case XCB_UNMAP_NOTIFY:
                mappedUnnamed.erase(reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window);
                break;
            case XCB_DESTROY_NOTIFY: {
                const xcb_window_t window = reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window;
                mappedUnnamed.erase(window);
                reported.erase(window);
                overrideRedirectWindows.erase(window);
                break;
            }
            case XCB_PROPERTY_NOTIFY: {
                const auto* changed = reinterpret_cast<xcb_property_notify_event_t*>(event);
                if ((changed->atom == atoms.netWmName || changed->atom == XCB_ATOM_WM_NAME) &&
                    mappedUnnamed.count(changed->window) &&
                    reportIfOurs(changed->window, overrideRedirectWindows.count(changed->window) > 0, millis))
                    mappedUnnamed.erase(changed->window);
                break;
            }
            default:
                break;
            }
            std::free(event);
        }
        if (xcb_connection_has_error(connection)) {
            std::fputs("box_watch: the X connection broke\n", stderr);
            return 1;
        }
        const double left = endMillis - wallClockMillis();
        if (left <= 0)
            break;
        pollfd waitFor{fd, POLLIN, 0};
        poll(&waitFor, 1, static_cast<int>(left) + 1);
    }
    xcb_disconnect(connection);
    return 0;
}
