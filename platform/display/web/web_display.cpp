// The browser display: each top-level window is a canvas on the page, placed where the
// window would be on the desktop, inside a frame with a caption that the page draws. The program runs in real
// time; a wait suspends the program (ASYNCIFY) and hands the browser its thread until input
// arrives or the deadline passes, so an idle program uses no CPU and the page stays live.
#include "web_display.h"

#include "win32_internal.h"
#include "display.h"
#include "input.h"

#include <emscripten.h>

#include <algorithm>

namespace win32 {

namespace web {
namespace {

// clang-format off
EM_JS(void, js_window_created, (int hwnd, const char *title, int x, int y, int width, int height), {
    kelpaPage.createWindow(hwnd, kelpaPage.fromCp1252(HEAPU8, title), x, y, width, height);
});
EM_JS(void, js_debug_output, (const char *text), { console.debug(UTF8ToString(text)); });
EM_JS(void, js_window_destroyed, (int hwnd), { kelpaPage.destroyWindow(hwnd); });
EM_JS(void, js_window_shown, (int hwnd, int visible), { kelpaPage.showWindow(hwnd, visible != 0); });
EM_JS(int, js_take_frame, (int hwnd, int32_t *out), { return kelpaPage.takeFrame(hwnd, HEAP32, out >> 2); });
EM_JS(void, js_window_title, (int hwnd, const char *title), {
    kelpaPage.setTitle(hwnd, kelpaPage.fromCp1252(HEAPU8, title));
});
EM_JS(void, js_present, (int hwnd, const uint32_t *pixels, int width, int height, int left, int top,
                         int right, int bottom), {
    kelpaPage.present(hwnd, HEAPU32, pixels >> 2, width, height, left, top, right, bottom);
});
EM_JS(void, js_flush, (), { kelpaPage.flush(); });
EM_JS(int, js_screen_width, (), { return kelpaPage.screenWidth(); });
EM_JS(int, js_screen_height, (), { return kelpaPage.screenHeight(); });
EM_JS(void, js_program_ended, (int code), { kelpaPage.ended(code); });
// Resolves when input is queued or after ms milliseconds (never, when ms < 0).
EM_ASYNC_JS(void, js_wait, (int ms), { await kelpaPage.waitForInput(ms); });
// Gives the browser one turn of its event loop even with input waiting.
EM_ASYNC_JS(void, js_yield, (), { await new Promise(resolve => setTimeout(resolve, 0)); });
// clang-format on

// A program that never waits (a busy loop of PeekMessage) would freeze the page: after this
// long without a wait the pump hands the browser a turn anyway.
constexpr double max_busy_ms = 50;
double last_turn_ms = 0;

int handle_id(HWND hwnd) {
    return static_cast<int>(reinterpret_cast<uintptr_t>(hwnd));
}

void window_created(HWND hwnd, const char *title, int x, int y, int width, int height, bool) {
    js_window_created(handle_id(hwnd), title ? title : "", x == CW_USEDEFAULT ? 0 : x,
                      y == CW_USEDEFAULT ? 0 : y, std::max(width, 1), std::max(height, 1));
}

void window_destroyed(HWND hwnd) {
    js_window_destroyed(handle_id(hwnd));
}

void present(HWND hwnd, const Surface &screen, const RECT &rect) {
    int left = std::max<int>(rect.left, 0), top = std::max<int>(rect.top, 0);
    int right = std::min<int>(rect.right, screen.width), bottom = std::min<int>(rect.bottom, screen.height);
    if (left >= right || top >= bottom)
        return;
    js_present(handle_id(hwnd), screen.pixels.data(), screen.width, screen.height, left, top, right, bottom);
}

void window_shown(HWND hwnd, bool visible) {
    js_window_shown(handle_id(hwnd), visible);
    // The page frames the canvas inside the window's outer size, as a desktop's window
    // manager does: the surface shrinks by the frame when the window is first shown.
    int32_t frame[4];
    if (visible && js_take_frame(handle_id(hwnd), frame))
        input_frame(hwnd, frame[0], frame[1], frame[2], frame[3]);
    RECT client;
    const Surface *screen = visible ? window_screen(hwnd, &client) : nullptr;
    if (screen)
        present(hwnd, *screen, RECT{0, 0, screen->width, screen->height});
}

void window_title(HWND hwnd, const char *title) {
    js_window_title(handle_id(hwnd), title ? title : "");
}

uint32_t now_ms() {
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}

void pump_input() {
    js_flush();
    if (emscripten_get_now() - last_turn_ms > max_busy_ms) {
        js_yield();
        last_turn_ms = emscripten_get_now();
    }
    pump_events();
}

void wait(uint32_t deadline_ms, bool has_deadline) {
    js_flush();
    int ms = -1;
    if (has_deadline) {
        int32_t left = static_cast<int32_t>(deadline_ms - now_ms());
        ms = std::max(left, 0);
    }
    js_wait(ms);
    last_turn_ms = emscripten_get_now();
    pump_events();
}

void screen_size(int *width, int *height) {
    if (width)
        *width = js_screen_width();
    if (height)
        *height = js_screen_height();
}

// The browser's debugger is its console: debug-level messages show in the developer tools.
void debug_output(const char *text) {
    js_debug_output(text);
}

// The page offers no way to resize a window, so it needs no bounds.
const Display web_display = {
    "web",   window_created, window_destroyed, window_shown, window_title, nullptr,
    present, pump_input,     now_ms,           wait,         screen_size,  debug_output,
};

} // namespace
} // namespace web

const Display *open_web_display() {
    static bool opened = false;
    if (!opened) {
        web::mount_files();
        opened = true;
    }
    return &web::web_display;
}

void display_program_ended(int exit_code) {
    web::js_program_ended(exit_code);
}

} // namespace win32
