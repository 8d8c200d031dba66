// USER32 painting: update regions, the paint cycle and window DCs.
// A window's update region is kept as its bounding box; WM_PAINT is synthesised from it by
// message retrieval while the window is visible, until something validates it.
#include "user32_window.h"

#include "win32_internal.h"

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
