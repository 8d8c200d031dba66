// USER32 windows: classes, creation and destruction, visibility, rectangles, titles, finding a
// window, and the screens GDI32 draws into. Sizes are in user32_window_size.cpp.
// Every window procedure call may create or destroy windows, so after each one the record
// is looked up again by handle rather than kept by pointer.
#include "user32_window.h"
#include "user32_menu_bar.h"

#include "user32_queue.h"

#include "display.h"
#include "win32_handles.h"
#include "win32_internal.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace win32 {

namespace {

std::vector<WindowClass> classes;
// Keyed by handle value: handles only grow, so map order is creation order.
std::map<uintptr_t, std::unique_ptr<Window>> windows;

bool same_name(const std::string &a, const char *b) {
    size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

const WindowClass *find_class(const char *name) {
    if (!name)
        return nullptr;
    for (const WindowClass &c : classes)
        if (same_name(c.name, name))
            return &c;
    return nullptr;
}

// Handles that LoadIconA and LoadCursorA hand out for the system's shared resources; below
// the first allocated handle, so they never collide with an object.
const uintptr_t application_icon = 0xFF00;
const uintptr_t arrow_cursor = 0xFF04;

// A window refused by its WM_NCCREATE or WM_CREATE hears only WM_NCDESTROY, as on the real
// platform; it never existed for the program.
void abandon_creation(HWND hwnd) {
    Window *w = find_window(hwnd);
    if (!w || w->destroying)
        return;
    w->destroying = true;
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    forget_window_timers(hwnd);
    forget_window_messages(hwnd);
    if (display().window_destroyed)
        display().window_destroyed(hwnd);
    windows.erase(handle_key(hwnd));
}

} // namespace

Window *find_window(HWND hwnd) {
    auto it = windows.find(handle_key(hwnd));
    return it == windows.end() ? nullptr : it->second.get();
}

std::vector<Window *> all_windows() {
    std::vector<Window *> out;
    for (auto &entry : windows)
        out.push_back(entry.second.get());
    return out;
}

Window *oldest_window_where(const std::function<bool(const Window &)> &pred) {
    for (auto &entry : windows)
        if (pred(*entry.second))
            return entry.second.get();
    return nullptr;
}

void invalidate(Window &w, const RECT *rect, bool erase) {
    RECT r{0, 0, client_width(w), client_height(w)};
    if (rect) {
        r.left = std::max(r.left, rect->left);
        r.top = std::max(r.top, rect->top);
        r.right = std::min(r.right, rect->right);
        r.bottom = std::min(r.bottom, rect->bottom);
    }
    if (r.left >= r.right || r.top >= r.bottom)
        return;
    if (!w.invalid) {
        w.update = r;
        w.invalid = true;
    } else {
        w.update.left = std::min(w.update.left, r.left);
        w.update.top = std::min(w.update.top, r.top);
        w.update.right = std::max(w.update.right, r.right);
        w.update.bottom = std::max(w.update.bottom, r.bottom);
    }
    w.erase = w.erase || erase;
    queue().paint_may_be_due = true;
    ++queue().activity; // a WM_PAINT may now be ready
}

// ---- seams for GDI32 and the displays ----

namespace {

void write_pending_fill(Window &w) {
    if (!w.fill_pending)
        return;
    w.fill_pending = false;
    const RECT r = w.pending_fill;
    if (r.left >= r.right || r.top >= r.bottom)
        return;
    for (int y = r.top; y < r.bottom; ++y)
        std::fill_n(w.screen.row(y) + r.left, r.right - r.left, w.pending_pixel);
    window_screen_changed(w.hwnd, r);
}

} // namespace

Surface *window_screen(HWND hwnd, RECT *client, bool keep_fill) {
    Window *w = find_window(hwnd);
    if (!w)
        return nullptr;
    if (!keep_fill)
        write_pending_fill(*w);
    if (client)
        *client = w->client;
    return &w->screen;
}

void defer_window_fill(HWND hwnd, const RECT &rect, uint32_t pixel) {
    Window *w = find_window(hwnd);
    if (!w)
        return;
    write_pending_fill(*w);
    w->pending_fill =
        RECT{std::max<LONG>(rect.left, 0), std::max<LONG>(rect.top, 0),
             std::min<LONG>(rect.right, w->screen.width), std::min<LONG>(rect.bottom, w->screen.height)};
    w->pending_pixel = pixel;
    w->fill_pending = true;
}

RECT cover_window_fill(HWND hwnd, const RECT &area, bool from_elsewhere) {
    Window *w = find_window(hwnd);
    if (!w || !w->fill_pending)
        return RECT{0, 0, 0, 0};
    const RECT f = w->pending_fill;
    if (from_elsewhere && area.left <= f.left && area.top <= f.top && area.right >= f.right &&
        area.bottom >= f.bottom) {
        w->fill_pending = false;
        return f;
    }
    write_pending_fill(*w);
    return RECT{0, 0, 0, 0};
}

void window_screen_changed(HWND hwnd, const RECT &rect) {
    Window *w = find_window(hwnd);
    if (w && w->visible && display().present)
        display().present(hwnd, w->screen, rect);
}

int live_windows() {
    return static_cast<int>(windows.size());
}

void reset_user32() {
    // A fresh process: no window procedure runs, since the procedures of the previous test
    // may point at state that no longer exists.
    for (auto &entry : windows)
        if (display().window_destroyed)
            display().window_destroyed(entry.second->hwnd);
    windows.clear();
    classes.clear();
    reset_messages();
    reset_menus();
}

} // namespace win32

using namespace win32;

// USER32 RegisterClassA: returns a non-zero atom; 0 when the name is missing or a class of
// that name (compared without case) already exists.
WORD WINAPI RegisterClassA(const WNDCLASSA *wc) {
    if (!wc || !wc->lpszClassName || !*wc->lpszClassName || find_class(wc->lpszClassName))
        return 0;
    WindowClass c;
    c.name = wc->lpszClassName;
    c.style = wc->style;
    c.proc = wc->lpfnWndProc;
    c.instance = wc->hInstance;
    c.background = wc->hbrBackground;
    classes.push_back(c);
    return static_cast<WORD>(0xC000 + classes.size());
}

// USER32 CreateWindowExA: sends WM_GETMINMAXINFO (to a window that is not a popup, or has a
// sizing border: its size is then kept within the tracking sizes), WM_NCCREATE and WM_CREATE
// (CREATESTRUCTA in lParam), then WM_SIZE and WM_MOVE, all before it returns. WM_NCCREATE
// returning FALSE or WM_CREATE returning -1 ends the window with WM_NCDESTROY alone and the
// call returns null. WS_VISIBLE shows it. Known difference: the real platform sends a hidden
// top-level window no WM_SIZE until its first ShowWindow.
HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                            LPVOID param) {
    const WindowClass *cls = find_class(class_name);
    if (!cls)
        return nullptr;
    int screen_w = 0, screen_h = 0;
    if (display().screen_size)
        display().screen_size(&screen_w, &screen_h);
    if (x == CW_USEDEFAULT) {
        x = 0;
        y = 0;
    }
    if (width == CW_USEDEFAULT) {
        width = screen_w * 3 / 4;
        height = screen_h * 3 / 4;
    }

    auto owned = std::make_unique<Window>();
    Window *w = owned.get();
    w->hwnd = new_handle<HWND>();
    w->cls = *cls;
    w->title = window_name ? window_name : "";
    w->style = style;
    w->ex_style = ex_style;
    w->x = x;
    w->y = y;
    w->max_track = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    HWND hwnd = w->hwnd;
    windows[handle_key(hwnd)] = std::move(owned);
    if (tracked_from_creation(style)) {
        ask_track_sizes(hwnd); // the first message a window hears, as on the real platform
        if (!(w = find_window(hwnd)))
            return nullptr;
        width = within_track(width, w->min_track.x, w->max_track.x);
        height = within_track(height, w->min_track.y, w->max_track.y);
    }
    // New pixels show the window colour until something paints them. Without the memory for
    // them the window never existed for the program.
    if (!w->screen.resize(width, height, 0xFFFFFF, !take_injected_failure(Allocation::window_surface))) {
        windows.erase(handle_key(hwnd));
        return nullptr;
    }
    w->menu = menu;
    layout_client(*w);
    if (display().window_created)
        display().window_created(hwnd, w->title.c_str(), x, y, w->screen.width, w->screen.height,
                                 (style & WS_THICKFRAME) != 0);
    report_bounds(*w);

    CREATESTRUCTA cs{};
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cx = width;
    cs.cy = height;
    cs.x = x;
    cs.y = y;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = window_name;
    cs.lpszClass = class_name;
    cs.dwExStyle = ex_style;
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
        (find_window(hwnd) && SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1)) {
        abandon_creation(hwnd);
        return nullptr;
    }
    Window *after = find_window(hwnd);
    if (!after)
        return nullptr; // the procedure destroyed it during creation
    after->created = true;
    send_size_and_move(hwnd);
    if (find_window(hwnd) && (style & WS_VISIBLE))
        ShowWindow(hwnd, SW_SHOW);
    return find_window(hwnd) ? hwnd : nullptr;
}

// USER32 DefWindowProcA: WM_CLOSE destroys the window; WM_SYSCOMMAND SC_CLOSE sends
// WM_CLOSE; WM_PAINT validates (BeginPaint/EndPaint); WM_ERASEBKGND fills the client area
// with the class brush and returns non-zero, or returns 0 when the class has none;
// WM_NCCREATE returns TRUE. Everything else returns 0.
LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    (void)lparam;
    Window *w = find_window(hwnd);
    if (!w)
        return 0;
    switch (msg) {
    case WM_NCCREATE: return TRUE;
    case WM_NCLBUTTONDOWN:
        menu_bar_mouse(hwnd, msg, static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
        return 0;
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_SYSCOMMAND:
        if ((wparam & 0xFFF0) == SC_CLOSE)
            SendMessageA(hwnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        if (!w->cls.background)
            return 0;
        HDC hdc = reinterpret_cast<HDC>(wparam);
        if (!defer_erase(hdc, hwnd, w->cls.background)) {
            RECT rc{0, 0, client_width(*w), client_height(*w)};
            FillRect(hdc, &rc, w->cls.background);
        }
        return 1;
    }
    default: return 0;
    }
}

// USER32 DestroyWindow: sends WM_DESTROY then WM_NCDESTROY (the handle is still valid
// during both), kills the window's timers, flushes its queued messages, destroys its menu
// and frees its update region. FALSE for an invalid handle.
BOOL WINAPI DestroyWindow(HWND hwnd) {
    Window *w = find_window(hwnd);
    if (!w || w->destroying)
        return FALSE;
    w->destroying = true;
    w->visible = false;
    if (display().window_shown)
        display().window_shown(hwnd, false);
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    forget_window_timers(hwnd);
    forget_window_messages(hwnd);
    if ((w = find_window(hwnd)) != nullptr && w->menu)
        destroy_menu_tree(w->menu);
    if (display().window_destroyed)
        display().window_destroyed(hwnd);
    windows.erase(handle_key(hwnd));
    return TRUE;
}

// USER32 ShowWindow: returns non-zero when the window was visible before. SW_HIDE hides,
// every other command shows; a window that becomes visible is wholly invalid, with erase.
// The first show sends WM_SIZE and WM_MOVE.
BOOL WINAPI ShowWindow(HWND hwnd, int show) {
    Window *w = find_window(hwnd);
    if (!w)
        return FALSE;
    bool was_visible = w->visible;
    bool visible = show != SW_HIDE;
    if (visible == was_visible)
        return was_visible;
    SendMessageA(hwnd, WM_SHOWWINDOW, visible, 0);
    if (!(w = find_window(hwnd)))
        return was_visible;
    w->visible = visible;
    if (visible)
        invalidate(*w, nullptr, true);
    if (display().window_shown)
        display().window_shown(hwnd, visible); // may learn the host's frame, which sends WM_SIZE
    if (!(w = find_window(hwnd)))
        return was_visible;
    // The real platform tells a top-level window its size when it is first shown (and not
    // during creation); we do both, so a program sees its size before showing the window.
    if (visible && !w->shown_once) {
        w->shown_once = true;
        send_size_and_move(hwnd);
    }
    return was_visible;
}

// USER32 IsWindow.
BOOL WINAPI IsWindow(HWND hwnd) {
    return find_window(hwnd) != nullptr;
}

// USER32 IsWindowVisible.
BOOL WINAPI IsWindowVisible(HWND hwnd) {
    Window *w = find_window(hwnd);
    return w && w->visible;
}

// USER32 GetClientRect: left and top are 0, right and bottom the client size.
BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    Window *w = find_window(hwnd);
    if (!w || !rect)
        return FALSE;
    *rect = RECT{0, 0, client_width(*w), client_height(*w)};
    return TRUE;
}

// USER32 GetWindowRect: the outer rectangle in screen coordinates, the host's frame included.
BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
    Window *w = find_window(hwnd);
    if (!w || !rect)
        return FALSE;
    *rect = RECT{w->x, w->y, w->x + outer_width(*w), w->y + outer_height(*w)};
    return TRUE;
}

// USER32 SetWindowTextA.
BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
    Window *w = find_window(hwnd);
    if (!w)
        return FALSE;
    w->title = text ? text : "";
    if (display().window_title)
        display().window_title(hwnd, w->title.c_str());
    return TRUE;
}

// USER32 GetWindowTextA: copies at most size - 1 characters and a NUL; returns the number
// copied. 0 (and an empty buffer) for an invalid window.
int WINAPI GetWindowTextA(HWND hwnd, LPSTR buffer, int size) {
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = '\0';
    Window *w = find_window(hwnd);
    if (!w)
        return 0;
    size_t n = std::min(w->title.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, w->title.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

// USER32 FindWindowA: the first window, in creation order, whose class (compared without
// case) and title match; a null class or title matches any. Windows being destroyed are not
// found.
HWND WINAPI FindWindowA(LPCSTR class_name, LPCSTR window_name) {
    Window *w = oldest_window_where([&](const Window &w) {
        return !w.destroying && (!class_name || same_name(w.cls.name, class_name)) &&
               (!window_name || w.title == window_name);
    });
    return w ? w->hwnd : nullptr;
}

// USER32 LoadIconA: the shared application icon for IDI_APPLICATION; no other icons exist.
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (!instance && name == IDI_APPLICATION)
        return reinterpret_cast<HICON>(application_icon);
    return nullptr;
}

// USER32 LoadCursorA: the shared arrow cursor for IDC_ARROW; no other cursors exist.
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (!instance && name == IDC_ARROW)
        return reinterpret_cast<HCURSOR>(arrow_cursor);
    return nullptr;
}
