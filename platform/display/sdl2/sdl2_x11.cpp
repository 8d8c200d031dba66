// The X11 side of the SDL2 display. Xlib reports a request about a window that the server has
// destroyed as an error, and a broken connection as an I/O error; its default handlers print
// and exit. Here errors about our own windows are noted and swallowed (the window's
// DestroyNotify, or the error itself, turns into its destruction), and a broken connection
// is noted and survived (Xlib 1.7 and later let the exit handler return).
// Invariant: every handler only records; the display acts on the records in its pump.
#include "sdl2_x11.h"

#include "display_scale.h"

#include <SDL_syswm.h>
#include <X11/Xresource.h>

#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace win32::sdl2::x11 {

namespace {

bool started = false;
Display *display = nullptr;
XErrorHandler previous_handler = nullptr;
std::vector<unsigned long> known;  // every X window we ever showed, destroyed or not
std::vector<unsigned long> failed; // named by errors, not yet taken
bool lost = false;
// The last wait ended with nothing on the connection, and no one has looked since.
bool quiet_after_wait = false;

int on_error(Display *d, XErrorEvent *e) {
    bool ours = std::find(known.begin(), known.end(), e->resourceid) != known.end();
    if (ours && (e->error_code == BadWindow || e->error_code == BadDrawable)) {
        failed.push_back(e->resourceid);
        return 0;
    }
    return previous_handler ? previous_handler(d, e) : 0;
}

int on_io_error(Display *) {
    if (!lost)
        std::fprintf(stderr, "The connection to the display server was lost.\n");
    lost = true;
    return 0;
}

void on_io_exit(Display *, void *) {}

} // namespace

bool start() {
    const char *driver = SDL_GetCurrentVideoDriver();
    if (!driver || SDL_strcmp(driver, "x11") != 0)
        return false;
    // Xlib's error handlers are the process's; the exit handler belongs to the connection,
    // which the first window tells.
    previous_handler = XSetErrorHandler(on_error);
    XSetIOErrorHandler(on_io_error);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    started = true;
    return true;
}

unsigned long window_id(SDL_Window *window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!started || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return 0;
    if (!display) {
        display = info.info.x11.display;
        XSetIOErrorExitHandler(display, on_io_exit, nullptr);
    }
    unsigned long id = info.info.x11.window;
    if (std::find(known.begin(), known.end(), id) == known.end())
        known.push_back(id);
    return id;
}

unsigned long destroyed_window(const SDL_SysWMmsg *msg) {
    if (!msg || msg->subsystem != SDL_SYSWM_X11 || msg->msg.x11.event.type != DestroyNotify)
        return 0;
    return msg->msg.x11.event.xdestroywindow.window;
}

unsigned long take_failed_window() {
    if (failed.empty())
        return 0;
    unsigned long id = failed.back();
    failed.pop_back();
    return id;
}

bool failed_windows() {
    return !failed.empty();
}

bool connection_lost() {
    return lost;
}

void sync() {
    if (display && !lost)
        XSync(display, False);
}

int desktop_scale() {
    if (!started)
        return 1;
    // No window exists yet to give SDL's connection, and the scale is wanted before the
    // first one: the database is read on a connection of its own to the same server (SDL
    // opens the display that DISPLAY names, as Xlib does for a null name).
    Display *d = XOpenDisplay(nullptr);
    if (!d)
        return 1;
    int scale = 1;
    if (const char *resources = XResourceManagerString(d)) {
        XrmInitialize();
        if (XrmDatabase db = XrmGetStringDatabase(resources)) {
            char *type = nullptr;
            XrmValue value{0, nullptr};
            if (XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
                scale = scale_from_dpi(std::strtod(value.addr, nullptr));
            XrmDestroyDatabase(db);
        }
    }
    XCloseDisplay(d);
    return scale;
}

bool window_manager_running() {
    if (!display || lost)
        return false;
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    bool running = false;
    if (XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type, &format,
                           &count, &after, &data) == Success &&
        data) {
        running = type == XA_WINDOW && count == 1;
        XFree(data);
    }
    return running;
}

bool input_waiting() {
    if (!display || lost)
        return true;
    // A timer's wake-up comes straight from a wait that found the connection quiet: what
    // arrived since then ends the next wait at once, so the check is spared.
    if (quiet_after_wait) {
        quiet_after_wait = false;
        if (XEventsQueued(display, QueuedAlready) == 0)
            return false;
    }
    // No XFlush: Xlib's flush also reads the connection, which is what this spares.
    if (XEventsQueued(display, QueuedAlready) > 0)
        return true;
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    return poll(&fd, 1, 0) != 0;
}

bool wait(int timeout_ms, int extra_fd) {
    if (!display || lost)
        return true;
    // Xlib's flush also reads the connection (two system calls when nothing is there), so it
    // is spared when no request went out since the last one: the timer's wake-ups while
    // nothing is drawn send nothing. Whatever a reply's wait took in came with a request.
    static unsigned long flushed_before = 0;
    if (XNextRequest(display) != flushed_before) {
        XFlush(display);
        flushed_before = XNextRequest(display);
    }
    if (lost || XEventsQueued(display, QueuedAlready) > 0)
        return true;
    return wait_untouched(timeout_ms, extra_fd) || !failed.empty();
}

bool wait_untouched(int timeout_ms, int extra_fd) {
    if (!display || lost)
        return true;
    pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {extra_fd, POLLIN, 0}};
    const bool woken = poll(fds, extra_fd >= 0 ? 2 : 1, timeout_ms) != 0;
    quiet_after_wait = !woken;
    return woken;
}

} // namespace win32::sdl2::x11
