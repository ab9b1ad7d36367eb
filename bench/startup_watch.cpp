// Start-up as the user sees it, measured from outside the program: launches a command and
// waits for the X server to map its first window; then stops the process, counts the shared
// libraries it has loaded by then and ends it. Prints "<ms> <libraries>" on one line.
//   startup_watch COMMAND [ARGUMENT...]
// The window counts when its _NET_WM_PID names the launched process, so that windows of
// other programs on the same display are ignored.
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <string>

extern char **environ;

namespace {

constexpr int kTimeoutMs = 20000;

xcb_atom_t atom(xcb_connection_t *c, const char *name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The process that says it owns `window`; 0 when it does not say.
pid_t windowPid(xcb_connection_t *c, xcb_window_t window, xcb_atom_t pidAtom) {
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(c, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1);
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(c, cookie, nullptr), &std::free);
    if (!reply || xcb_get_property_value_length(reply.get()) < 4)
        return 0;
    return static_cast<pid_t>(*static_cast<const uint32_t *>(xcb_get_property_value(reply.get())));
}

// Shared libraries mapped into `pid`: the distinct files whose name has ".so" in it.
int sharedLibraries(pid_t pid) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::set<std::string> files;
    for (std::string line; std::getline(maps, line);) {
        const std::string::size_type slash = line.find('/');
        if (slash == std::string::npos)
            continue;
        const std::string file = line.substr(slash);
        const std::string::size_type name = file.rfind('/');
        if (file.find(".so", name) != std::string::npos)
            files.insert(file);
    }
    return static_cast<int>(files.size());
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_watch COMMAND [ARGUMENT...]\n");
        return 2;
    }
    // A busy X server now and then refuses a connection: it is asked again.
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    for (int attempt = 0; attempt < 20 && xcb_connection_has_error(c); ++attempt) {
        xcb_disconnect(c);
        usleep(50000);
        c = xcb_connect(nullptr, nullptr);
    }
    if (const int error = xcb_connection_has_error(c)) {
        std::fprintf(stderr, "startup_watch: no X display (error %d)\n", error);
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t pidAtom = atom(c, "_NET_WM_PID");
    // Every window mapped as a child of the root window is reported; with a window manager
    // the frame is, so the watcher runs on a bare display.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point launch = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
        std::fprintf(stderr, "startup_watch: cannot start %s\n", argv[1]);
        return 1;
    }
    int status = 1;
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    while (Clock::now() - launch < std::chrono::milliseconds(kTimeoutMs)) {
        xcb_generic_event_t *event = xcb_poll_for_event(c);
        if (!event) {
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                std::fprintf(stderr, "startup_watch: %s ended before its window\n", argv[1]);
                return 1;
            }
            poll(&fd, 1, 20);
            continue;
        }
        const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
        const xcb_window_t window = reinterpret_cast<xcb_map_notify_event_t *>(event)->window;
        std::free(event);
        if (!mapped)
            continue;
        const Clock::time_point seen = Clock::now();
        if (windowPid(c, window, pidAtom) != pid)
            continue;
        kill(pid, SIGSTOP);
        const int libraries = sharedLibraries(pid);
        std::printf("%.1f %d\n", std::chrono::duration<double, std::milli>(seen - launch).count(),
                    libraries);
        status = 0;
        break;
    }
    if (status != 0)
        std::fprintf(stderr, "startup_watch: no window of %s was mapped\n", argv[1]);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    xcb_disconnect(c);
    return status;
}
