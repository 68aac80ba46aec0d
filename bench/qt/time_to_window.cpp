// Benchmark helper: starts a program and prints the milliseconds from its
// start until the X server maps its first top-level window, then how much
// resident memory it holds once settled (kB), and ends it.
//   tindora_time_to_window SETTLE_MS PROGRAM [ARGS...]
#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

long residentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fputs("usage: tindora_time_to_window SETTLE_MS PROGRAM [ARGS...]\n", stderr);
        return 2;
    }
    const int settleMillis = std::atoi(argv[1]);
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fputs("time_to_window: no X display\n", stderr);
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    double millis = -1;
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY &&
                            !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect;
        std::free(event);
        if (mapped) {
            millis = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            break;
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMillis));
    const long kb = residentKb(child);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    xcb_disconnect(connection);
    std::printf("%.1f %ld\n", millis, kb);
    return millis < 0 ? 1 : 0;
}
