// The headless display: no host windows, a virtual clock that starts at 0, and a wait that
// runs the test's idle hook or else jumps the clock to the deadline. A wait that nothing
// could ever end aborts with a message, so a test fails at once instead of hanging.
#include "display.h"
#include "headless_clock.h"
#include "input.h"
#include "win32_headless.h"
#include "win32_internal.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace win32 {

namespace {

struct HeadlessState {
    uint32_t clock = 0;
    int screen_width = 1024;
    int screen_height = 768;
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
    *width = state.screen_width;
    *height = state.screen_height;
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
    nullptr, // window_destroyed
    nullptr, // window_shown
    nullptr, // window_title
    nullptr, // window_bounds
    nullptr, // present: tests read the screen surfaces directly
    pump_nothing, headless_now, headless_wait, headless_screen_size, headless_debug_output,
};

void headless_advance_clock(uint32_t ms) {
    state.clock += ms;
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

} // namespace headless
