// Host windows of the SDL2 display: one SDL window per top-level window, its content the
// window's screen surface (menu bar included; the host draws caption and borders outside it).
// Presented pixels are copied into the SDL window surface at once and pushed to the host at
// the next flush, so a burst of small presents costs one upload.
#include "sdl2_display.h"

#include "../../src/win32_internal.h"

#include <algorithm>
#include <vector>

namespace win32::sdl2 {

namespace {

std::vector<HostWindow> windows;

SDL_Rect united(const SDL_Rect &a, const SDL_Rect &b) {
    SDL_Rect r;
    SDL_UnionRect(&a, &b, &r);
    return r;
}

} // namespace

HostWindow *find_window(HWND hwnd) {
    for (HostWindow &w : windows)
        if (w.hwnd == hwnd)
            return &w;
    return nullptr;
}

HostWindow *find_window_by_id(Uint32 sdl_window_id) {
    for (HostWindow &w : windows)
        if (SDL_GetWindowID(w.window) == sdl_window_id)
            return &w;
    return nullptr;
}

void window_created(HWND hwnd, const char *title, int x, int y, int width, int height, bool resizable) {
    char utf8[512];
    utf8_from_cp1252(title, utf8, sizeof utf8);
    Uint32 flags = SDL_WINDOW_HIDDEN | (resizable ? SDL_WINDOW_RESIZABLE : 0);
    int px = x == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : x;
    int py = y == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : y;
    SDL_Window *window = SDL_CreateWindow(utf8, px, py, std::max(width, 1), std::max(height, 1), flags);
    if (!window) {
        // The program goes on without this window on screen, as it would with an off-screen one.
        SDL_Log("SDL_CreateWindow failed: %s", SDL_GetError());
        return;
    }
    HostWindow w;
    w.hwnd = hwnd;
    w.window = window;
    windows.push_back(w);
}

void window_destroyed(HWND hwnd) {
    auto it =
        std::find_if(windows.begin(), windows.end(), [hwnd](const HostWindow &w) { return w.hwnd == hwnd; });
    if (it == windows.end())
        return;
    SDL_DestroyWindow(it->window);
    windows.erase(it);
}

void window_shown(HWND hwnd, bool visible) {
    HostWindow *w = find_window(hwnd);
    if (!w)
        return;
    if (visible) {
        SDL_ShowWindow(w->window);
        refresh_window(*w);
    } else {
        SDL_HideWindow(w->window);
    }
}

void window_title(HWND hwnd, const char *title) {
    HostWindow *w = find_window(hwnd);
    if (!w)
        return;
    char utf8[512];
    utf8_from_cp1252(title, utf8, sizeof utf8);
    SDL_SetWindowTitle(w->window, utf8);
}

void present(HWND hwnd, const Surface &screen, const RECT &rect) {
    HostWindow *w = find_window(hwnd);
    if (!w || screen.width <= 0 || screen.height <= 0)
        return;
    SDL_Surface *dst = SDL_GetWindowSurface(w->window);
    if (!dst)
        return;
    // The host window may be a different size for a moment while a resize is under way.
    SDL_Rect area{0, 0, std::min(screen.width, dst->w), std::min(screen.height, dst->h)};
    SDL_Rect asked{static_cast<int>(rect.left), static_cast<int>(rect.top),
                   static_cast<int>(rect.right - rect.left), static_cast<int>(rect.bottom - rect.top)};
    SDL_Rect r;
    if (!SDL_IntersectRect(&area, &asked, &r))
        return;
    SDL_Surface *src =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t *>(screen.pixels.data()), screen.width,
                                           screen.height, 32, screen.width * 4, SDL_PIXELFORMAT_RGB888);
    if (!src)
        return;
    SDL_Rect to = r;
    SDL_BlitSurface(src, &r, dst, &to);
    SDL_FreeSurface(src);
    w->dirty = w->has_dirty ? united(w->dirty, r) : r;
    w->has_dirty = true;
}

void refresh_window(HostWindow &w) {
    RECT client;
    const Surface *screen = window_screen(w.hwnd, &client);
    if (!screen)
        return;
    RECT all{0, 0, screen->width, screen->height};
    present(w.hwnd, *screen, all);
}

void flush_presents() {
    for (HostWindow &w : windows) {
        if (!w.has_dirty)
            continue;
        SDL_UpdateWindowSurfaceRects(w.window, &w.dirty, 1);
        w.has_dirty = false;
    }
}

} // namespace win32::sdl2
