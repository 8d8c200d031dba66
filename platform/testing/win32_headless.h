// The headless display, as tests drive it: virtual time, injected input, read-back of what
// each window shows. Every test starts from headless::reset(), which returns the whole
// Win32 subset to the state of a freshly started process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace headless {

// Destroy every window, object, timer and queued message; clock back to 0; no idle hook;
// screen 1024 x 768 at scale 1; the headless display selected.
void reset();

// ---- virtual time ----
uint32_t now();
// Move the clock forward; timers that fall due become ready (one WM_TIMER each at most).
void advance(uint32_t ms);

// ---- waiting ----
// Runs whenever GetMessageA would block. If the hook neither queues anything nor moves the
// clock, the clock jumps to the next timer's due time; with no timer either, the wait could
// never end, and the process aborts with a message instead of hanging.
void on_idle(std::function<void()> hook);

// ---- input, as a user makes it (client coordinates) ----
void click(HWND hwnd, int x, int y); // left button down and up
void mouse_move(HWND hwnd, int x, int y);
// A key pressed and released. ch is the character it types: 0 derives it from the key code
// and the shift state, as a US layout would.
void key(HWND hwnd, int vk, int ch = 0);
void key_down(HWND hwnd, int vk, int ch = 0);
void key_up(HWND hwnd, int vk);
// Types each character of text as a key press (letters, digits, space; others by character).
void type(HWND hwnd, const std::string &text);
// The window's close box.
void close(HWND hwnd);
// The host destroyed the window (its window manager, or the display server going away).
void host_destroy(HWND hwnd);
// The host's window manager framed the window with borders of these widths (screen pixels:
// at scale k the program's frame is the fewest of its pixels that cover each).
void host_frame(HWND hwnd, int left, int top, int right, int bottom);
// As the user sees the window at the display's scale: a click and a move at a screen pixel of
// its surface (menu bar included), and a resize of that surface to width x height screen
// pixels. The display divides them by the scale, as a scaling display divides host input.
void screen_click(HWND hwnd, int x, int y);
void screen_mouse_move(HWND hwnd, int x, int y);
void screen_resize(HWND hwnd, int width, int height);

// ---- what is on the screen ----
// The colour the window shows at a client pixel; CLR_INVALID outside its client area.
COLORREF pixel(HWND hwnd, int x, int y);
// Writes what the whole window shows (menu bar included) as a PNG file, at the display's scale.
bool save_png(HWND hwnd, const std::string &path);
// What the screen shows of the whole window (menu bar included): at scale k, k times its
// surface's size, each pixel of the surface a k x k square. Empty for no window.
struct Shown {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb; // 0xRRGGBB, rows from the top
};
Shown shown(HWND hwnd);

// The screen's size in screen pixels; the program sees it divided by the scale.
void set_screen_size(int width, int height);
// Screen pixels to each of the program's (from 1), as a desktop's scaling sets it: the windows
// show k times as large, their surfaces copied k times as large as they change.
void set_scale(int k);

// ---- the debugger ----
// Receives every string the program hands OutputDebugStringA; none is kept without one.
void on_debug_output(std::function<void(const char *text)> hook);

} // namespace headless
