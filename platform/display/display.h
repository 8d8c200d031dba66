// The display a Win32 subset runs over: where windows appear, where input and time come from.
// One is chosen at start-up; the headless one is the default (tests), SDL2 the interactive one,
// the browser's in a WebAssembly build.
// Hooks left null do nothing. Input goes the other way, through display/input.h.
#pragma once

#include "win32_surface.h"

#include <windows.h>

#include <cstdint>

namespace win32 {

struct Display {
    const char *name;
    // A top-level window exists, outer size width x height at (x, y) on the screen.
    void (*window_created)(HWND hwnd, const char *title, int x, int y, int width, int height, bool resizable);
    void (*window_destroyed)(HWND hwnd);
    void (*window_shown)(HWND hwnd, bool visible);
    void (*window_title)(HWND hwnd, const char *title);
    // The largest screen surface the window takes (its largest outer size less the host's
    // frame): the host offers no larger one.
    void (*window_bounds)(HWND hwnd, int max_width, int max_height);
    // The window's screen surface changed inside rect; it may be shown later, but no later
    // than the next pump_input or wait.
    void (*present)(HWND hwnd, const Surface &screen, const RECT &rect);
    // Hand host input that is waiting to the input API.
    void (*pump_input)();
    // Milliseconds on the display's clock.
    uint32_t (*now_ms)();
    // Block until input may be waiting, or until the clock reaches deadline_ms when
    // has_deadline is set.
    void (*wait)(uint32_t deadline_ms, bool has_deadline);
    void (*screen_size)(int *width, int *height);
    // A string for the debugger (OutputDebugStringA). Null: the host's debugger channel, the
    // file KELPA_DEBUG_OUTPUT names if it is set.
    void (*debug_output)(const char *text);
};

const Display &display();
void select_display(const Display *d); // null selects the headless display

extern const Display headless_display;
// The SDL2 display when this build has it and a display server answers; else null.
const Display *open_sdl2_display();
// The browser display in a WebAssembly build (it also loads the saved files); else null.
const Display *open_web_display();
// The program's WinMain has returned: the browser display says so on its page.
void display_program_ended(int exit_code);

} // namespace win32
