// USER32 painting: update regions, the paint cycle and window DCs.
// A window's update region is kept as its bounding box; WM_PAINT is synthesised from it by
// message retrieval while the window is visible, until something validates it.
#include "user32_window.h"

#include "user32_queue.h"

#include "display.h"
#include "win32_internal.h"
#include "win32_surface.h"

#include <algorithm>

namespace win32 {
namespace {

// Removes rect from the update box where the remainder is still one rectangle; otherwise
// the box stays as it is (a larger area is repainted, never a smaller one).
void validate(Window &w, const RECT *rect) {
    if (!w.invalid)
        return;
    RECT &u = w.update;
    if (rect) {
        bool spans_x = rect->left <= u.left && rect->right >= u.right;
        bool spans_y = rect->top <= u.top && rect->bottom >= u.bottom;
        if (spans_x && rect->top <= u.top && rect->bottom > u.top)
            u.top = std::min(u.bottom, rect->bottom);
        else if (spans_x && rect->bottom >= u.bottom && rect->top < u.bottom)
            u.bottom = std::max(u.top, rect->top);
        else if (spans_y && rect->left <= u.left && rect->right > u.left)
            u.left = std::min(u.right, rect->right);
        else if (spans_y && rect->right >= u.right && rect->left < u.right)
            u.right = std::max(u.left, rect->left);
        if (u.left < u.right && u.top < u.bottom)
            return;
    }
    w.invalid = false;
    w.erase = false;
    w.update = RECT{0, 0, 0, 0};
}

} // namespace
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

} // namespace win32

using namespace win32;

// USER32 BeginPaint: sends WM_ERASEBKGND (wParam the paint DC) when an erase was asked for,
// and sets fErase when that message returned 0 (background still to be erased). rcPaint is
// the bounding box of the update region, which is then validated.
HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
    Window *w = find_window(hwnd);
    if (!w || !ps)
        return nullptr;
    *ps = PAINTSTRUCT{};
    HDC hdc = create_window_dc(hwnd);
    ps->hdc = hdc;
    ps->rcPaint = w->invalid ? w->update : RECT{0, 0, 0, 0};
    bool erase = w->invalid && w->erase;
    validate(*w, nullptr);
    if (erase && hdc)
        ps->fErase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) == 0;
    return hdc;
}

// USER32 EndPaint: releases the DC that BeginPaint handed out.
BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT *ps) {
    if (!ps || !window_screen(hwnd, nullptr)) // an erase nothing covered is written now
        return FALSE;
    if (ps->hdc)
        release_window_dc(hwnd, ps->hdc);
    return TRUE;
}

// USER32 InvalidateRect: adds rect (client coordinates; null: the whole client area) to the
// update region; the erase flag accumulates until the next BeginPaint. A null hwnd
// invalidates every window.
BOOL WINAPI InvalidateRect(HWND hwnd, const RECT *rect, BOOL erase) {
    if (!hwnd) {
        for (Window *w : all_windows())
            invalidate(*w, nullptr, erase != FALSE);
        return TRUE;
    }
    Window *w = find_window(hwnd);
    if (!w)
        return FALSE;
    invalidate(*w, rect, erase != FALSE);
    return TRUE;
}

// USER32 ValidateRect: removes rect (null: everything) from the update region.
BOOL WINAPI ValidateRect(HWND hwnd, const RECT *rect) {
    Window *w = find_window(hwnd);
    if (!w)
        return FALSE;
    validate(*w, rect);
    return TRUE;
}

// USER32 UpdateWindow: sends WM_PAINT at once when the window is visible and has an invalid
// area; otherwise does nothing.
BOOL WINAPI UpdateWindow(HWND hwnd) {
    Window *w = find_window(hwnd);
    if (!w)
        return FALSE;
    if (w->visible && w->invalid)
        SendMessageA(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

// USER32 GetDC: a DC for the window's client area, until ReleaseDC.
HDC WINAPI GetDC(HWND hwnd) {
    if (!find_window(hwnd))
        return nullptr;
    return create_window_dc(hwnd);
}

// USER32 ReleaseDC: 1 when hdc was a DC of this window, else 0.
int WINAPI ReleaseDC(HWND hwnd, HDC hdc) {
    return release_window_dc(hwnd, hdc) ? 1 : 0;
}
