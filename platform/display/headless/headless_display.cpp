// The headless display: no host windows, a virtual clock that starts at 0, and a wait that
// runs the test's idle hook or else jumps the clock to the deadline. A wait that nothing
// could ever end aborts with a message, so a test fails at once instead of hanging.
// At a scale above 1 it keeps what a scaling display shows: a copy of each window's surface,
// k times as large, that every present updates where the surface changed.
#include "display.h"
#include "display_scale.h"
#include "headless_clock.h"
#include "headless_screen.h"
#include "input.h"
#include "win32_headless.h"
#include "win32_internal.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace win32 {

namespace {

struct ShownWindow {
    HWND hwnd;
    Surface picture; // the surface at the scale
};

struct HeadlessState {
    uint32_t clock = 0;
    int screen_width = 1024; // screen pixels
    int screen_height = 768;
    int scale = 1;
    std::vector<ShownWindow> shown; // at scale 1 none: the surfaces are what is shown
    std::function<void()> idle;
    bool in_idle = false;
    std::function<void(const char *)> debug_output;
};

HeadlessState state;

uint32_t headless_now() {
    return state.clock;
}

void headless_wait(uint32_t deadline_ms, bool has_deadline) {
    if (state.idle && !state.in_idle) {
        const uint64_t activity = input_activity();
        const uint32_t clock = state.clock;
        state.in_idle = true;
        state.idle();
        state.in_idle = false;
        if (input_activity() != activity || state.clock != clock)
            return;
    }
    if (has_deadline) {
        if (static_cast<int32_t>(deadline_ms - state.clock) > 0)
            state.clock = deadline_ms;
        return;
    }
    std::fprintf(stderr, "GetMessageA would wait forever: no message, no input and no timer "
                         "(a test's idle hook can supply input)\n");
    std::fflush(stderr);
    std::abort();
}

void headless_screen_size(int *width, int *height) {
    *width = state.screen_width / state.scale;
    *height = state.screen_height / state.scale;
}

ShownWindow *find_shown(HWND hwnd) {
    for (ShownWindow &s : state.shown)
        if (s.hwnd == hwnd)
            return &s;
    return nullptr;
}

// A picture of another size (the window was resized, or never shown) is made anew.
void headless_present(HWND hwnd, const Surface &screen, const RECT &rect) {
    const int k = state.scale;
    if (k == 1)
        return;
    ShownWindow *s = find_shown(hwnd);
    if (!s) {
        state.shown.push_back(ShownWindow{hwnd, Surface{}});
        s = &state.shown.back();
    }
    RECT r{std::max<LONG>(rect.left, 0), std::max<LONG>(rect.top, 0),
           std::min<LONG>(rect.right, screen.width), std::min<LONG>(rect.bottom, screen.height)};
    if (s->picture.width != screen.width * k || s->picture.height != screen.height * k) {
        if (!s->picture.resize(screen.width * k, screen.height * k))
            return;
        r = RECT{0, 0, screen.width, screen.height};
    }
    if (r.left < r.right && r.top < r.bottom)
        scale_copy(screen, r, s->picture.pixels.data(), static_cast<size_t>(s->picture.width), k);
}

void headless_destroyed(HWND hwnd) {
    for (size_t i = 0; i < state.shown.size(); ++i)
        if (state.shown[i].hwnd == hwnd) {
            state.shown.erase(state.shown.begin() + static_cast<long>(i));
            return;
        }
}

// Presents skip a hidden window: it shows what it holds when it comes back.
void headless_shown_hook(HWND hwnd, bool visible) {
    const Surface *screen = visible ? window_screen(hwnd, nullptr) : nullptr;
    if (screen)
        headless_present(hwnd, *screen, RECT{0, 0, screen->width, screen->height});
}

void pump_nothing() {}

void headless_debug_output(const char *text) {
    if (state.debug_output)
        state.debug_output(text);
}

} // namespace

const Display headless_display = {
    "headless",
    nullptr, // window_created
    headless_destroyed,
    headless_shown_hook,
    nullptr, // window_title
    nullptr, // window_bounds
    headless_present,
    pump_nothing,
    headless_now,
    headless_wait,
    headless_screen_size,
    headless_debug_output,
};

void headless_advance_clock(uint32_t ms) {
    state.clock += ms;
}

int headless_scale() {
    return state.scale;
}

const Surface *headless_shown(HWND hwnd) {
    const Surface *screen = window_screen(hwnd, nullptr);
    if (!screen || state.scale == 1)
        return screen;
    ShownWindow *s = find_shown(hwnd);
    if (!s || s->picture.width != screen->width * state.scale ||
        s->picture.height != screen->height * state.scale)
        headless_present(hwnd, *screen, RECT{0, 0, screen->width, screen->height});
    s = find_shown(hwnd);
    return s ? &s->picture : nullptr;
}

} // namespace win32

namespace headless {

void reset() {
    win32::reset_subset();
    win32::select_display(nullptr);
    win32::state = win32::HeadlessState{};
}

uint32_t now() {
    return win32::state.clock;
}

void advance(uint32_t ms) {
    win32::state.clock += ms;
}

void on_idle(std::function<void()> hook) {
    win32::state.idle = std::move(hook);
}

void on_debug_output(std::function<void(const char *text)> hook) {
    win32::state.debug_output = std::move(hook);
}

void set_screen_size(int width, int height) {
    win32::state.screen_width = width > 0 ? width : 0;
    win32::state.screen_height = height > 0 ? height : 0;
}

void set_scale(int k) {
    win32::state.scale = k > 1 ? k : 1;
    win32::state.shown.clear();
}

} // namespace headless
