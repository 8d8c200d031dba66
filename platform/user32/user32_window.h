// Window and class records of the USER32 subset, shared by its window, paint, message and
// menu code. A window's outer size is its host frame plus its screen surface: the host draws
// caption and borders outside the surface, so the only non-client part we draw is the menu
// bar across the surface's top rows.
// A record exists exactly while its HWND is valid; lookups of stale handles find nothing.
#pragma once

#include "win32_surface.h"

#include <windows.h>

#include <string>
#include <functional>
#include <vector>

namespace win32 {

// Height of a menu bar inside the screen surface. The graphics window's 601 x 540 outer
// size then leaves a client area of 601 x 520, whose centre is (300, 260).
constexpr int menu_bar_height = 20;

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    HBRUSH background = nullptr;
};

struct Window {
    HWND hwnd = nullptr;
    WindowClass cls;
    std::string title;
    DWORD style = 0;
    DWORD ex_style = 0;
    int x = 0;
    int y = 0;
    Surface screen;          // menu bar (if any) and client area
    RECT frame{0, 0, 0, 0};  // widths of the host's frame around screen, each side
    RECT client{0, 0, 0, 0}; // client area inside screen
    bool visible = false;
    bool created = false;    // WM_CREATE has returned
    bool destroying = false; // WM_DESTROY has been sent
    bool shown_once = false;
    // The outer sizes the window may take, as WM_GETMINMAXINFO last gave them.
    POINT min_track{0, 0};
    POINT max_track{0, 0};
    HMENU menu = nullptr;
    // The update region, kept as its bounding box in client coordinates.
    bool invalid = false;
    bool erase = false;
    RECT update{0, 0, 0, 0};
    // A background erase not yet written to screen (screen coordinates): a paint that then
    // copies its image over the whole area would write every pixel twice.
    bool fill_pending = false;
    RECT pending_fill{0, 0, 0, 0};
    uint32_t pending_pixel = 0;
};

// The live window for hwnd, or null for a never-created, destroyed or null handle.
Window *find_window(HWND hwnd);
// Every live window, oldest first (the order paint messages are synthesised in).
std::vector<Window *> all_windows();
// The oldest live window that `pred` accepts, or null; builds no list (the message loop asks
// on every wake-up).
Window *oldest_window_where(const std::function<bool(const Window &)> &pred);

// Width and height of the client area.
inline int client_width(const Window &w) {
    return w.client.right - w.client.left;
}
inline int client_height(const Window &w) {
    return w.client.bottom - w.client.top;
}

// Recomputes the client area after the menu bar came or went; sends WM_SIZE when the
// client size changed on a window whose creation has finished.
void layout_client(Window &w);
// Outer size: the host's frame and the screen surface inside it.
inline int outer_width(const Window &w) {
    return w.frame.left + w.screen.width + w.frame.right;
}
inline int outer_height(const Window &w) {
    return w.frame.top + w.screen.height + w.frame.bottom;
}
// The surface takes a new size; the program hears of a changed client size (WM_SIZE).
// False, with nothing changed, when memory for a larger surface cannot be had.
bool resize_screen(Window &w, int width, int height);
// The host resized the window's surface: the outer size this makes is kept within the
// window's tracking sizes, asked for first (WM_GETMINMAXINFO) as the real platform's sizing
// loop does, and the surface takes what that leaves when memory allows.
void host_resize(HWND hwnd, int width, int height);
// The host framed the window (frame widths, each side): the outer size stays, the surface
// takes what the frame leaves, and the program hears of it (WM_SIZE, WM_MOVE) at once.
void set_host_frame(HWND hwnd, const RECT &frame);
// Whether a window of this style is held to its tracking sizes from its creation on.
bool tracked_from_creation(DWORD style);
// Asks the window for its tracking sizes (WM_GETMINMAXINFO, with the defaults filled in).
void ask_track_sizes(HWND hwnd);
// An outer width or height held to a window's tracking sizes.
int within_track(int outer, LONG min, LONG max);
// Tells the display the largest surface the window takes.
void report_bounds(const Window &w);
// WM_SIZE with the client size, then WM_MOVE with the client area's screen position.
void send_size_and_move(HWND hwnd);
// Adds rect (client coordinates, null: all of it) to the update region.
void invalidate(Window &w, const RECT *rect, bool erase);

// ---- for the message code ----
// Forget queued messages, input and timers of a window that is going away.
void forget_window_messages(HWND hwnd);
void forget_window_timers(HWND hwnd);
// Menus: destroys a window's menu along with the window.
void destroy_menu_tree(HMENU menu);

// Parts of reset_user32(), one per file.
void reset_messages();
void reset_menus();

} // namespace win32
