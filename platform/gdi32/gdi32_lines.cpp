// GDI32 lines and pixels: MoveToEx/LineTo with the DC's pen, SetPixel and GetPixel.
// A one-pixel pen paints every pixel of the line but its end point; a wider pen paints
// the whole geometric line, end caps included.
#include "gdi32_raster.h"
#include "gdi32_state.h"

using namespace win32;
using namespace win32::gdi;

// ---- GDI32 MoveToEx: sets the current position; the previous one goes to *previous.
BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT previous) {
    Dc *dc = find_dc(hdc);
    if (!dc)
        return FALSE;
    if (previous)
        *previous = dc->pos;
    dc->pos = POINT{x, y};
    return TRUE;
}

// ---- GDI32 LineTo: a line from the current position to (x, y), which becomes the current
// position. With a one-pixel pen the end point itself is not painted.
BOOL WINAPI LineTo(HDC hdc, int x, int y) {
    Dc *dc = find_dc(hdc);
    if (!dc)
        return FALSE;
    POINT from = dc->pos;
    dc->pos = POINT{x, y};
    Target t;
    if (!resolve_target(hdc, &t))
        return TRUE;
    const Object &pen = dc_pen(*dc);
    if (pen.pen_style == PS_NULL)
        return TRUE;
    Canvas &c = t.canvas;
    P64 a{from.x + t.ox, from.y + t.oy}, b{x + t.ox, y + t.oy};
    if (pen.pen_width <= 1) {
        Box box{c.left, c.top, c.right, c.bottom};
        thin_line(a, b, box, [&](int64_t px, int64_t py) { put_pixel(c, px, py, pen.color); });
    } else {
        int64_t w = pen.pen_width;
        Mask m;
        auto cut = [](int64_t v, int lo, int hi) { return static_cast<int>(v < lo ? lo : v > hi ? hi : v); };
        m.reset(cut(std::min(a.x, b.x) - w, c.left, c.right), cut(std::min(a.y, b.y) - w, c.top, c.bottom),
                cut(std::max(a.x, b.x) + w + 1, c.left, c.right),
                cut(std::max(a.y, b.y) + w + 1, c.top, c.bottom));
        P64 pts[2] = {a, b};
        wide_polyline_mask(m, pts, 2, false, w);
        paint_mask(c, m, pen.color);
    }
    finish_target(t);
    return TRUE;
}

// ---- GDI32 SetPixel: sets one pixel and returns the colour actually stored (black or white
// on a monochrome bitmap); CLR_INVALID outside the DC's clip.
COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
    Target t;
    if (!resolve_target(hdc, &t))
        return CLR_INVALID;
    Canvas &c = t.canvas;
    int64_t px = x + t.ox, py = y + t.oy;
    if (px < c.left || px >= c.right || py < c.top || py >= c.bottom)
        return CLR_INVALID;
    uint32_t p = quantize(c.surface->bits_per_pixel, pixel_from_colorref(color));
    put_pixel(c, px, py, p);
    finish_target(t);
    return colorref_from_pixel(p);
}

// ---- GDI32 GetPixel: the colour of one pixel; CLR_INVALID outside the DC's clip.
COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    Target t;
    if (!resolve_target(hdc, &t))
        return CLR_INVALID;
    const Canvas &c = t.canvas;
    int64_t px = x + t.ox, py = y + t.oy;
    if (px < c.left || px >= c.right || py < c.top || py >= c.bottom)
        return CLR_INVALID;
    return colorref_from_pixel(c.surface->get(static_cast<int>(px), static_cast<int>(py)));
}
