// The SDL2 display: real host windows, host input, the host's clock. Chosen at start-up when
// a display server answers; the program then runs in real time, and waits for input, its
// next timer or a request to terminate without polling, so a program with nothing to do uses
// no CPU (off X11, SDL waits and a request to terminate is looked for ten times a second).
#include "sdl2_display.h"
#include "sdl2_x11.h"

#include "host_signals.h"
#include "display.h"

#include <poll.h>

#include <cstdlib>
#include <ctime>

namespace win32 {

namespace sdl2 {
namespace {

bool on_x11 = false;

// The last wait ran out of time with nothing queued in SDL or Xlib, nothing on the connection
// and no pump owed to earlier input, and nothing has called SDL since. While nothing happens
// the timer's wake-ups then run no SDL or Xlib code at all, only poll(): after 50 ms asleep
// that code is out of every cache, and running it cost more than the wait itself.
bool idle = false;
// The pump right after such a wait, which could only find nothing, has been spared. Only
// that one: a program that polls for messages between waits still sees input at once.
bool pump_spared = false;

void pump_input() {
    if (idle && !pump_spared) {
        pump_spared = true;
        return;
    }
    idle = false;
    flush_presents();
    pump_events();
}

// The clock poll() times its waits on. SDL's ticks come from a raw clock that drifts from it
// by up to a few hundred parts per million, so a wait timed by them now and then ended just
// before the deadline's millisecond and took a second wake-up to reach it.
uint32_t now_ms() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u + now.tv_nsec / 1000000);
}

void wait(uint32_t deadline_ms, bool has_deadline) {
    if (!idle)
        flush_presents();
    int timeout = -1;
    if (has_deadline) {
        int32_t left = static_cast<int32_t>(deadline_ms - now_ms());
        if (left <= 0)
            return;
        timeout = left;
    }
    if (x11::connection_lost()) {
        // Nothing comes from the host any more; only a request to terminate ends the wait early.
        pollfd fd{termination_fd(), POLLIN, 0};
        poll(&fd, fd.fd >= 0 ? 1 : 0, timeout);
        return;
    }
    if (on_x11) {
        // SDL's own wait cannot also watch the termination pipe, so the wait is ours: with
        // nothing queued by SDL or Xlib, sleep on both. Anything already on the connection
        // ends the sleep at once and is pumped then. A timer's deadline passing brings
        // nothing to pump; the message loop pumps again before it waits next.
        const bool woken =
            idle ? x11::wait_untouched(timeout, termination_fd())
                 : SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) || x11::wait(timeout, termination_fd());
        idle = !woken && (idle || (pump_settled() && !x11::failed_windows()));
        pump_spared = false;
        if (woken)
            pump_events();
        return;
    }
    // Elsewhere SDL waits; a request to terminate is seen within a tenth of a second.
    if (termination_fd() >= 0 && (timeout < 0 || timeout > 100))
        timeout = 100;
    // A null event only waits: the events stay queued for pump_events, which takes them
    // in one batch so a key and its text are seen together.
    if (SDL_WaitEventTimeout(nullptr, timeout))
        pump_events();
}

// The screen as the subset sees it: scale host pixels to each of its own.
void screen_size(int *width, int *height) {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        mode.w = 1024 * scale;
        mode.h = 768 * scale;
    }
    if (width)
        *width = mode.w / scale;
    if (height)
        *height = mode.h / scale;
}

// At exit. The windows go first, while the errors about those the host destroyed are still
// ours to swallow; after the connection broke, SDL would wait for replies that never come.
void quit() {
    if (x11::connection_lost())
        return;
    destroy_host_windows();
    x11::sync();
    SDL_Quit();
}

// Every hook that calls SDL ends an idle spell.
void created(HWND hwnd, const char *title, int x, int y, int width, int height, bool resizable) {
    idle = false;
    window_created(hwnd, title, x, y, width, height, resizable);
}
void destroyed(HWND hwnd) {
    idle = false;
    window_destroyed(hwnd);
}
void shown(HWND hwnd, bool visible) {
    idle = false;
    window_shown(hwnd, visible);
}
void titled(HWND hwnd, const char *title) {
    idle = false;
    window_title(hwnd, title);
}
void bounded(HWND hwnd, int max_width, int max_height) {
    idle = false;
    window_bounds(hwnd, max_width, max_height);
}
void presented(HWND hwnd, const Surface &screen, const RECT &rect) {
    idle = false;
    present(hwnd, screen, rect);
}
void screen(int *width, int *height) {
    idle = false;
    screen_size(width, height);
}

const Display sdl2_display = {
    "sdl2", created, destroyed, shown, titled, bounded, presented, pump_input, now_ms, wait, screen, nullptr,
};

} // namespace
} // namespace sdl2

const Display *open_sdl2_display() {
    static bool opened = false;
    if (opened)
        return &sdl2::sdl2_display;
    // Ctrl+C in the terminal should end the program as it ends any other, not arrive as SDL_QUIT.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // Frames are drawn in software and shown through the window surface: without these SDL
    // backs that surface with an OpenGL renderer, which loads Mesa and its LLVM (some 60 MB
    // resident, and a slower start) to upload what a shared-memory image shows as well.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
#if defined(__linux__)
    // On Linux a display server announces itself in the environment; without one, asking SDL
    // only makes libwayland print an error of its own before ours.
    if (!SDL_getenv("SDL_VIDEODRIVER") && !SDL_getenv("DISPLAY") && !SDL_getenv("WAYLAND_DISPLAY"))
        return nullptr;
#endif
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return nullptr;
    // With no display server SDL falls back to its off-screen drivers, where nobody would
    // see the windows: that counts as no display unless someone asked SDL for one by name.
    const char *driver = SDL_GetCurrentVideoDriver();
    bool asked = SDL_getenv("SDL_VIDEODRIVER") != nullptr;
    if (!asked && driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0)) {
        SDL_Quit();
        return nullptr;
    }
    sdl2::on_x11 = sdl2::x11::start();
    sdl2::scale = sdl2::x11::desktop_scale();
    std::atexit(sdl2::quit);
    SDL_StartTextInput();
    opened = true;
    return &sdl2::sdl2_display;
}

} // namespace win32
