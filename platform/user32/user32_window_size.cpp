// USER32 window sizes: the tracking sizes a window is held to (WM_GETMINMAXINFO), its client
// area below the menu bar, the sizes and frames the host gives it, and the metrics behind
// them. A size change reaches the program as WM_SIZE (and WM_MOVE), sent at once.
#include "user32_menu_bar.h"
#include "user32_window.h"

#include "display.h"
#include "win32_internal.h"

#include <algorithm>

namespace win32 {

namespace {

// The real platform's defaults with its classic sizing frame of 4 pixels: a maximised window
// covers the screen and a frame each side, and no window is sized more than 4 pixels past
// that (SM_CXMAXTRACK; wider frames widen it).
constexpr int sizing_frame = 4;
constexpr int max_track_margin = 4 + 2 * sizing_frame;

void send_size(Window &w) {
    SendMessageA(w.hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client_width(w), client_height(w)));
}

void send_move(HWND hwnd) {
    if (Window *w = find_window(hwnd))
        SendMessageA(hwnd, WM_MOVE, 0,
                     MAKELPARAM(w->x + w->frame.left + w->client.left, w->y + w->frame.top + w->client.top));
}

} // namespace

// Top-level windows are held to their tracking sizes from creation on; popups only when
// they have a sizing border.
bool tracked_from_creation(DWORD style) {
    return (style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD));
}

// Sends WM_GETMINMAXINFO with the defaults and keeps the tracking sizes the procedure leaves
// (a maximum below the minimum is raised to it).
void ask_track_sizes(HWND hwnd) {
    const int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
    MINMAXINFO mm{};
    mm.ptMaxSize = POINT{screen_w + 2 * sizing_frame, screen_h + 2 * sizing_frame};
    mm.ptMaxPosition = POINT{-sizing_frame, -sizing_frame};
    mm.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
    if (Window *w = find_window(hwnd)) {
        w->min_track = POINT{std::max<LONG>(mm.ptMinTrackSize.x, 0), std::max<LONG>(mm.ptMinTrackSize.y, 0)};
        w->max_track = POINT{std::max(mm.ptMaxTrackSize.x, w->min_track.x),
                             std::max(mm.ptMaxTrackSize.y, w->min_track.y)};
    }
}

int within_track(int outer, LONG min, LONG max) {
    return static_cast<int>(std::clamp<LONG>(outer, min, max));
}

void report_bounds(const Window &w) {
    if (display().window_bounds)
        display().window_bounds(w.hwnd, w.max_track.x - w.frame.left - w.frame.right,
                                w.max_track.y - w.frame.top - w.frame.bottom);
}

void send_size_and_move(HWND hwnd) {
    if (Window *w = find_window(hwnd))
        send_size(*w);
    send_move(hwnd);
}

void layout_client(Window &w) {
    int old_w = client_width(w), old_h = client_height(w);
    int top = w.menu ? std::min(menu_bar_height, w.screen.height) : 0;
    w.client = RECT{0, top, w.screen.width, w.screen.height};
    if (w.created && (client_width(w) != old_w || client_height(w) != old_h)) {
        invalidate(w, nullptr, true);
        send_size(w);
    }
    paint_menu_bar(w.hwnd);
}

bool resize_screen(Window &w, int width, int height) {
    if (!w.screen.resize(width, height, 0xFFFFFF, !take_injected_failure(Allocation::window_surface)))
        return false;
    w.fill_pending = false;
    w.client = RECT{0, 0, 0, 0};
    layout_client(w);
    return true;
}

void host_resize(HWND hwnd, int width, int height) {
    if (!find_window(hwnd) || width <= 0 || height <= 0)
        return;
    ask_track_sizes(hwnd);
    Window *w = find_window(hwnd);
    if (!w)
        return;
    report_bounds(*w);
    const int frame_w = w->frame.left + w->frame.right, frame_h = w->frame.top + w->frame.bottom;
    width = within_track(frame_w + width, w->min_track.x, w->max_track.x) - frame_w;
    height = within_track(frame_h + height, w->min_track.y, w->max_track.y) - frame_h;
    if (width > 0 && height > 0 && (width != w->screen.width || height != w->screen.height))
        resize_screen(*w, width, height);
}

void set_host_frame(HWND hwnd, const RECT &frame) {
    Window *w = find_window(hwnd);
    if (!w || frame.left < 0 || frame.top < 0 || frame.right < 0 || frame.bottom < 0)
        return;
    int width = outer_width(*w) - frame.left - frame.right;
    int height = outer_height(*w) - frame.top - frame.bottom;
    if (width <= 0 || height <= 0)
        return;
    bool moved = frame.left != w->frame.left || frame.top != w->frame.top;
    w->frame = frame;
    report_bounds(*w);
    if (width != w->screen.width || height != w->screen.height)
        resize_screen(*w, width, height);
    if (moved)
        send_move(hwnd);
}

} // namespace win32

using namespace win32;

// USER32 GetSystemMetrics: SM_CXSCREEN and SM_CYSCREEN from the display, SM_CXMAXTRACK and
// SM_CYMAXTRACK past them as the real platform's; 0 for the rest.
int WINAPI GetSystemMetrics(int index) {
    int width = 0, height = 0;
    if (display().screen_size)
        display().screen_size(&width, &height);
    switch (index) {
    case SM_CXSCREEN: return width;
    case SM_CYSCREEN: return height;
    case SM_CXMAXTRACK: return width + max_track_margin;
    case SM_CYMAXTRACK: return height + max_track_margin;
    default: return 0;
    }
}
