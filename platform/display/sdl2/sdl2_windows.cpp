// Host windows of the SDL2 display: one SDL window per top-level window, its content the
// window's screen surface (menu bar included; the host draws caption and borders outside it,
// and the surface shrinks by them so that the outer size stays the program's).
// Presented pixels are copied into the SDL window surface at once and pushed to the host at
// the next flush, so a burst of small presents costs one upload. At a scale above 1 every
// size and position the subset gives is multiplied by it here, and each presented pixel
// becomes a square (display_scale.h); the frame the host draws keeps its own size.
#include "sdl2_display.h"
#include "sdl2_x11.h"

#include "display_scale.h"
#include "win32_internal.h"
#include "input.h"

#include <algorithm>
#include <vector>

namespace win32::sdl2 {

int scale = 1;

namespace {

std::vector<HostWindow> windows;

SDL_Rect united(const SDL_Rect &a, const SDL_Rect &b) {
    SDL_Rect r;
    SDL_UnionRect(&a, &b, &r);
    return r;
}

// Adds r to the rectangles to show, each sent to the host as it is: a moving shape changes
// a few small areas of a frame, and their union would often span the window. Overlapping
// ones merge; past a handful the list becomes its union.
void note_dirty(std::vector<SDL_Rect> &dirty, SDL_Rect r) {
    for (size_t i = 0; i < dirty.size();) {
        if (SDL_HasIntersection(&dirty[i], &r)) {
            r = united(dirty[i], r);
            dirty.erase(dirty.begin() + static_cast<long>(i));
            i = 0;
        } else {
            ++i;
        }
    }
    dirty.push_back(r);
    if (dirty.size() > 16) {
        SDL_Rect all = dirty[0];
        for (const SDL_Rect &d : dirty)
            all = united(all, d);
        dirty.assign(1, all);
    }
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
        if (!w.lost && SDL_GetWindowID(w.window) == sdl_window_id)
            return &w;
    return nullptr;
}

HostWindow *find_window_by_host_id(unsigned long id) {
    for (HostWindow &w : windows)
        if (id && w.host_id == id)
            return &w;
    return nullptr;
}

void refresh_host_ids() {
    for (HostWindow &w : windows)
        if (!w.lost)
            w.host_id = x11::window_id(w.window);
}

void destroy_host_windows() {
    for (HWND hwnd : host_windows())
        window_destroyed(hwnd);
}

std::vector<HWND> host_windows() {
    std::vector<HWND> out;
    for (const HostWindow &w : windows)
        out.push_back(w.hwnd);
    return out;
}

void lose_window(HostWindow &w) {
    if (w.lost)
        return;
    w.lost = true;
    input_destroyed(w.hwnd);
}

void follow_frame(HWND hwnd) {
    HostWindow *w = find_window(hwnd);
    int top = 0, left = 0, bottom = 0, right = 0;
    if (!w || w->lost || SDL_GetWindowBordersSize(w->window, &top, &left, &bottom, &right) != 0)
        return;
    const RECT &f = w->frame;
    if (left == f.left && top == f.top && right == f.right && bottom == f.bottom)
        return;
    RECT outer;
    if (!GetWindowRect(hwnd, &outer))
        return;
    // The subset's frame, in its pixels, covers the host's.
    const int l = unscaled_frame(left, scale), t = unscaled_frame(top, scale),
              r = unscaled_frame(right, scale), b = unscaled_frame(bottom, scale);
    int width = outer.right - outer.left - l - r, height = outer.bottom - outer.top - t - b;
    if (width <= 0 || height <= 0)
        return;
    w->frame = RECT{left, top, right, bottom};
    // The window manager placed the frame where the window was asked for (the top left corner
    // is the frame's, as on the real platform); only the inside shrinks.
    SDL_SetWindowSize(w->window, width * scale, height * scale);
    input_frame(hwnd, l, t, r, b);
    if ((w = find_window(hwnd)) != nullptr)
        refresh_window(*w);
}

void window_created(HWND hwnd, const char *title, int x, int y, int width, int height, bool resizable) {
    char utf8[512];
    utf8_from_cp1252(title, utf8, sizeof utf8);
    Uint32 flags = SDL_WINDOW_HIDDEN | (resizable ? SDL_WINDOW_RESIZABLE : 0);
    int px = x == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : x * scale;
    int py = y == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : y * scale;
    SDL_Window *window =
        SDL_CreateWindow(utf8, px, py, std::max(width, 1) * scale, std::max(height, 1) * scale, flags);
    if (!window) {
        // The program goes on without this window on screen, as it would with an off-screen one.
        SDL_Log("SDL_CreateWindow failed: %s", SDL_GetError());
        return;
    }
    // SDL replaces the X window the first time it gives it a surface; done while hidden, the
    // replacement is not placed again by the window manager (which would put its frame where
    // the inside was).
    SDL_GetWindowSurface(window);
    HostWindow w;
    w.hwnd = hwnd;
    w.window = window;
    w.host_id = x11::window_id(window);
    windows.push_back(w);
}

void window_destroyed(HWND hwnd) {
    auto it =
        std::find_if(windows.begin(), windows.end(), [hwnd](const HostWindow &w) { return w.hwnd == hwnd; });
    if (it == windows.end())
        return;
    // A window lost with the connection stays SDL's: nothing may reach X any more.
    if (!x11::connection_lost())
        SDL_DestroyWindow(it->window);
    windows.erase(it);
}

// A window manager frames a window only once it is mapped, and reports the frame's widths a
// moment later (openbox: within 30 ms). A window shown without them is framed at a later pump.
void await_frame(HostWindow &w) {
    if (!x11::window_manager_running())
        return;
    const Uint32 start = SDL_GetTicks();
    int top = 0, left = 0, bottom = 0, right = 0;
    while (SDL_GetTicks() - start < 500) {
        SDL_PumpEvents();
        if (x11::connection_lost() || SDL_GetWindowBordersSize(w.window, &top, &left, &bottom, &right) != 0 ||
            top || left || bottom || right)
            return;
        SDL_Delay(5);
    }
}

void window_shown(HWND hwnd, bool visible) {
    HostWindow *w = find_window(hwnd);
    // Hiding waits for the host to unmap the window, which never happens to a lost one.
    if (!w || w->lost)
        return;
    if (visible) {
        SDL_ShowWindow(w->window);
        await_frame(*w);
        follow_frame(hwnd);
        if ((w = find_window(hwnd)) != nullptr)
            refresh_window(*w);
    } else {
        SDL_HideWindow(w->window);
    }
}

void window_title(HWND hwnd, const char *title) {
    HostWindow *w = find_window(hwnd);
    if (!w || w->lost)
        return;
    char utf8[512];
    utf8_from_cp1252(title, utf8, sizeof utf8);
    SDL_SetWindowTitle(w->window, utf8);
}

// Without a window manager nothing holds the host to the maximum size (a client can resize
// any window); the size events then bring it back (see sdl2_input.cpp).
void window_bounds(HWND hwnd, int max_width, int max_height) {
    HostWindow *w = find_window(hwnd);
    max_width *= scale;
    max_height *= scale;
    if (!w || w->lost || max_width <= 0 || max_height <= 0 ||
        (max_width == w->max_width && max_height == w->max_height))
        return;
    w->max_width = max_width;
    w->max_height = max_height;
    SDL_SetWindowMaximumSize(w->window, max_width, max_height);
}

void present(HWND hwnd, const Surface &screen, const RECT &rect) {
    HostWindow *w = find_window(hwnd);
    if (!w || w->lost || screen.width <= 0 || screen.height <= 0)
        return;
    SDL_Surface *dst = SDL_GetWindowSurface(w->window);
    if (!dst)
        return;
    // The host window may be a different size for a moment while a resize is under way (and
    // one sized by the user may hold part of a square more, left as it was).
    SDL_Rect area{0, 0, std::min(screen.width, dst->w / scale), std::min(screen.height, dst->h / scale)};
    SDL_Rect asked{static_cast<int>(rect.left), static_cast<int>(rect.top),
                   static_cast<int>(rect.right - rect.left), static_cast<int>(rect.bottom - rect.top)};
    SDL_Rect r;
    if (!SDL_IntersectRect(&area, &asked, &r))
        return;
    SDL_Rect to{r.x * scale, r.y * scale, r.w * scale, r.h * scale};
    if (scale > 1 && dst->format->format == SDL_PIXELFORMAT_RGB888 && !SDL_MUSTLOCK(dst)) {
        // The host's own format (X11 at depth 24): the squares are written straight into it.
        const RECT from{r.x, r.y, r.x + r.w, r.y + r.h};
        scale_copy(screen, from, static_cast<uint32_t *>(dst->pixels), static_cast<size_t>(dst->pitch) / 4,
                   scale);
        note_dirty(w->dirty, to);
        return;
    }
    SDL_Surface *src =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t *>(screen.pixels.data()), screen.width,
                                           screen.height, 32, screen.width * 4, SDL_PIXELFORMAT_RGB888);
    if (!src)
        return;
    // Any other format is converted by SDL, whose scaled blit is nearest-neighbour too.
    if (scale > 1)
        SDL_BlitScaled(src, &r, dst, &to);
    else
        SDL_BlitSurface(src, &r, dst, &to);
    SDL_FreeSurface(src);
    note_dirty(w->dirty, to);
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
        if (w.dirty.empty() || w.lost)
            continue;
        SDL_UpdateWindowSurfaceRects(w.window, w.dirty.data(), static_cast<int>(w.dirty.size()));
        w.dirty.clear();
    }
}

} // namespace win32::sdl2
