// Pixel transfers between DCs: GDI32's BitBlt (SRCCOPY) and USER32's ScrollDC, which is pure
// DC work. Source and destination may overlap (copies run against the move); only
// pixels whose source and destination both lie inside their DCs' clips are written.
#include "gdi32_state.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <vector>

namespace win32::gdi {

namespace {

struct Rect64 {
    int64_t left, top, right, bottom;
    bool empty() const { return right <= left || bottom <= top; }
};

Rect64 intersect(Rect64 a, Rect64 b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

Rect64 canvas_rect(const Canvas &c) {
    return {c.left, c.top, c.right, c.bottom};
}

// A copy between surfaces of one depth: their pixels are stored quantized already.
struct SameDepth {
    uint32_t operator()(uint32_t p) const { return p; }
};

// Copies the source-surface block at (sx, sy) to dst's (dx, dy) area `area` (destination
// coordinates, already inside both clips), converting each pixel with `convert`. Within one
// surface the rows are walked against the move, so every row is read before it is written;
// a row's own overlap is memmove's (same depth) or taken through a copy of the row.
template <typename Convert>
void copy_block(Canvas &dst, const Surface &src, Rect64 area, int64_t shift_x, int64_t shift_y,
                Convert convert) {
    const int w = static_cast<int>(area.right - area.left), h = static_cast<int>(area.bottom - area.top);
    const bool same = dst.surface == &src;
    const bool bottom_up = same && shift_y > 0;
    const int bpp = dst.surface->bits_per_pixel;
    std::vector<uint32_t> row_copy;
    for (int i = 0; i < h; ++i) {
        const int y = bottom_up ? h - 1 - i : i;
        const uint32_t *from = src.row(static_cast<int>(area.top + y - shift_y)) + (area.left - shift_x);
        uint32_t *row = dst.surface->row(static_cast<int>(area.top + y)) + area.left;
        if constexpr (std::is_same_v<Convert, SameDepth>) {
            std::memmove(row, from, static_cast<size_t>(w) * sizeof(uint32_t));
        } else {
            if (same && shift_y == 0) {
                row_copy.assign(from, from + w);
                from = row_copy.data();
            }
            for (int x = 0; x < w; ++x)
                row[x] = quantize(bpp, convert(from[x]));
        }
    }
    mark_dirty(dst, static_cast<int>(area.left), static_cast<int>(area.top), static_cast<int>(area.right),
               static_cast<int>(area.bottom));
}

} // namespace

} // namespace win32::gdi

using namespace win32;
using namespace win32::gdi;

// ---- GDI32 BitBlt: SRCCOPY of a width x height block from src (sx, sy) to dst (x, y).
// Depth changes follow the real platform: a monochrome source's black bits become dst's text
// colour and its white bits dst's background colour; a colour source going to a monochrome
// destination gives white where it matches src's background colour, black elsewhere.
// Other raster operations are not supported (FALSE).
BOOL WINAPI BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int sx, int sy, DWORD rop) {
    Dc *ddc = find_dc(dst);
    Dc *sdc = find_dc(src);
    if (rop != SRCCOPY || !ddc || !sdc)
        return FALSE;
    Target dt, st;
    if (!resolve_target(dst, &dt) || !resolve_target(src, &st))
        return TRUE;
    if (width <= 0 || height <= 0)
        return TRUE;
    int64_t dx = x + dt.ox, dy = y + dt.oy, fx = sx + st.ox, fy = sy + st.oy;
    // Destination pixel (px, py) reads source pixel (px - shift_x, py - shift_y).
    int64_t shift_x = dx - fx, shift_y = dy - fy;
    Rect64 area = intersect({dx, dy, dx + width, dy + height}, canvas_rect(dt.canvas));
    Rect64 from = canvas_rect(st.canvas);
    area = intersect(area,
                     {from.left + shift_x, from.top + shift_y, from.right + shift_x, from.bottom + shift_y});
    if (area.empty())
        return TRUE;
    const Surface &s = *st.canvas.surface;
    int src_bpp = s.bits_per_pixel, dst_bpp = dt.canvas.surface->bits_per_pixel;
    if (src_bpp == 1 && dst_bpp != 1) {
        uint32_t fg = pixel_from_colorref(ddc->text_color), bg = pixel_from_colorref(ddc->bk_color);
        copy_block(dt.canvas, s, area, shift_x, shift_y, [=](uint32_t p) { return p ? bg : fg; });
    } else if (src_bpp != 1 && dst_bpp == 1) {
        uint32_t key = pixel_from_colorref(sdc->bk_color);
        copy_block(dt.canvas, s, area, shift_x, shift_y,
                   [=](uint32_t p) { return p == key ? 0xFFFFFFu : 0u; });
    } else {
        copy_block(dt.canvas, s, area, shift_x, shift_y, SameDepth{});
    }
    finish_target(dt);
    return TRUE;
}

// ---- USER32 ScrollDC: moves the pixels of `scroll` (null: the whole DC) by (dx, dy), writing
// only inside `clip` (null: the whole DC). The area the move uncovers keeps its old pixels.
// *update, when given, receives the bounding box of that uncovered area; no update region
// is computed (update_rgn is ignored).
BOOL WINAPI ScrollDC(HDC hdc, int dx, int dy, const RECT *scroll, const RECT *clip, HRGN update_rgn,
                     LPRECT update) {
    (void)update_rgn;
    Target t;
    if (!find_dc(hdc))
        return FALSE;
    if (update)
        *update = RECT{0, 0, 0, 0};
    if (!resolve_target(hdc, &t))
        return TRUE;
    Canvas &c = t.canvas;
    auto to_device = [&](const RECT *r) {
        return r ? intersect({r->left + t.ox, r->top + t.oy, r->right + t.ox, r->bottom + t.oy},
                             canvas_rect(c))
                 : canvas_rect(c);
    };
    Rect64 from = to_device(scroll), limit = to_device(clip);
    Rect64 moved{from.left + dx, from.top + dy, from.right + dx, from.bottom + dy};
    Rect64 area = intersect(moved, limit);
    if (!area.empty())
        copy_block(c, *c.surface, area, dx, dy, SameDepth{});
    if (update) {
        // What of the scrolled area inside the clip did not receive moved pixels.
        Rect64 target = intersect(from, limit);
        if (!target.empty() && !(area.left <= target.left && area.top <= target.top &&
                                 area.right >= target.right && area.bottom >= target.bottom)) {
            Rect64 u = target;
            if (!area.empty()) {
                if (area.top <= target.top && area.bottom >= target.bottom) {
                    if (area.left <= target.left)
                        u.left = area.right;
                    else
                        u.right = area.left;
                } else if (area.left <= target.left && area.right >= target.right) {
                    if (area.top <= target.top)
                        u.top = area.bottom;
                    else
                        u.bottom = area.top;
                }
            }
            *update = RECT{static_cast<LONG>(u.left - t.ox), static_cast<LONG>(u.top - t.oy),
                           static_cast<LONG>(u.right - t.ox), static_cast<LONG>(u.bottom - t.oy)};
        }
    }
    finish_target(t);
    return TRUE;
}
