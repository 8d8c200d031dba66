// GDI32 filled shapes: Rectangle, Ellipse, Polygon, and USER32's FillRect, which is pure DC
// work. Each paints the interior with the brush, then the outline over it with the pen. The
// common shapes (rectangles with a pen up to two pixels wide or none, ellipses with a
// one-pixel pen or none) go straight to spans row by row; the others build coverage masks
// over their box cut to the clip (never larger than the surface) first.
#include "gdi32_raster.h"
#include "gdi32_state.h"
#include "win32_internal.h"

#include <algorithm>

namespace win32::gdi {

namespace {

struct Shape {
    Target target;
    Dc *dc = nullptr;
};

bool begin_shape(HDC hdc, Shape &s) {
    s.dc = find_dc(hdc);
    return s.dc && resolve_target(hdc, &s.target);
}

// Window over [l, r) x [t, b) grown by `grow` on every side, cut to the canvas.
void mask_over(Mask &m, const Canvas &c, int64_t l, int64_t t, int64_t r, int64_t b, int64_t grow) {
    auto cut = [](int64_t v, int lo, int hi) { return static_cast<int>(std::clamp<int64_t>(v, lo, hi)); };
    m.reset(cut(l - grow, c.left, c.right), cut(t - grow, c.top, c.bottom), cut(r + grow, c.left, c.right),
            cut(b + grow, c.top, c.bottom));
}

int64_t pen_width(const Object &pen) {
    return pen.pen_width > 1 ? pen.pen_width : 1;
}

// The box [left, right) x [top, bottom) of Rectangle or Ellipse, corners in either order,
// in surface coordinates; false when it is empty.
bool shape_box(const Shape &s, int left, int top, int right, int bottom, Box &box) {
    int64_t l = left + s.target.ox, t = top + s.target.oy, r = right + s.target.ox, b = bottom + s.target.oy;
    box = Box{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
    return box.left < box.right && box.top < box.bottom;
}

// Interior and outline of an ellipse whose box is too large to walk point by point.
void large_ellipse(Mask &fill, Mask &outline, int64_t l, int64_t t, int64_t r, int64_t b, int64_t w) {
    ellipse_mask(fill, l, t, r, b);
    int64_t out = w / 2, in = (w + 1) / 2;
    ellipse_mask(outline, l - out, t - out, r + out, b + out);
    Mask inner;
    inner.reset(outline.left, outline.top, outline.left + outline.width, outline.top + outline.height);
    ellipse_mask(inner, l + in, t + in, r - in, b - in);
    for (size_t i = 0; i < outline.bits.size(); ++i)
        outline.bits[i] = outline.bits[i] && !inner.bits[i];
}

// Whether a row's two outline runs and what lies between them form one run of pixels.
bool joined(const EllipseRow &row) {
    if (row.left_lo > row.left_hi || row.right_lo > row.right_hi)
        return false;
    // Apart, the inside bridges them; else they must overlap or touch.
    return row.left_hi + 1 < row.right_lo || row.left_lo <= row.right_hi + 1;
}

// An ellipse with a one-pixel outline (pen) or none (null pen), row by row: the brush fills
// what lies between the outline's two runs, and without a pen the runs themselves.
void thin_ellipse(Canvas &c, int64_t t, const std::vector<EllipseRow> &rows, const Object *pen,
                  const Object &brush) {
    const int64_t end = std::min<int64_t>(t + static_cast<int64_t>(rows.size()), c.bottom);
    // A disc whose outline has the brush's colour (every filled circle the library draws)
    // is one span a row wherever outline and inside meet without a gap.
    const bool same_color = pen && !brush.is_null && pen->color == brush.color;
    for (int64_t y = std::max<int64_t>(t, c.top); y < end; ++y) {
        const EllipseRow &row = rows[static_cast<size_t>(y - t)];
        if (row.left_lo > row.left_hi && row.right_lo > row.right_hi)
            continue; // the walk left this row out
        if (!pen) {
            if (!brush.is_null)
                fill_span(c, y, std::min(row.left_lo, row.right_lo), std::max(row.left_hi, row.right_hi) + 1,
                          brush.color);
            continue;
        }
        if (same_color && joined(row)) {
            fill_span(c, y, std::min(row.left_lo, row.right_lo), std::max(row.left_hi, row.right_hi) + 1,
                      brush.color);
            continue;
        }
        if (!brush.is_null && row.left_hi + 1 < row.right_lo)
            fill_span(c, y, row.left_hi + 1, row.right_lo, brush.color);
        fill_span(c, y, row.left_lo, row.left_hi + 1, pen->color);
        fill_span(c, y, row.right_lo, row.right_hi + 1, pen->color);
    }
}

} // namespace

} // namespace win32::gdi

using namespace win32;
using namespace win32::gdi;

// ---- GDI32 Rectangle: the box [left, right) x [top, bottom), corners in either order. The
// outline runs along the box's outermost pixels, a wider pen centred on that line with round
// joins; the brush fills what the outline leaves inside. An empty box paints nothing.
BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    Shape s;
    if (!begin_shape(hdc, s))
        return FALSE;
    Box box;
    if (!shape_box(s, left, top, right, bottom, box))
        return TRUE;
    const int64_t l = box.left, t = box.top, r = box.right, b = box.bottom;
    Canvas &c = s.target.canvas;
    const Object &pen = dc_pen(*s.dc);
    const Object &brush = dc_brush(*s.dc);
    int64_t w = pen_width(pen);
    if (pen.pen_style == PS_NULL) {
        // Without an outline the filled area is one pixel smaller, as documented.
        if (!brush.is_null)
            fill_box(c, l, t, r - 1, b - 1, brush.color);
    } else if (w == 1 && r - l == 1 && b - t == 1) {
        // A one-pixel box: its outline has no length and its inside no area.
    } else if (w == 1) {
        if (!brush.is_null)
            fill_box(c, l + 1, t + 1, r - 1, b - 1, brush.color);
        fill_box(c, l, t, r, t + 1, pen.color);
        fill_box(c, l, b - 1, r, b, pen.color);
        fill_box(c, l, t, l + 1, b, pen.color);
        fill_box(c, r - 1, t, r, b, pen.color);
    } else if (w == 2) {
        // A two-pixel pen's round joins are whole 2 x 2 squares, so its outline is a frame
        // two pixels wide: from one pixel outside the box at the top and left to its last
        // pixel at the right and bottom. The brush fills what the frame leaves inside.
        if (!brush.is_null)
            fill_box(c, l + 1, t + 1, r - 2, b - 2, brush.color);
        fill_box(c, l - 1, t - 1, r, t + 1, pen.color);
        fill_box(c, l - 1, b - 2, r, b, pen.color);
        fill_box(c, l - 1, t + 1, l + 1, b - 2, pen.color);
        fill_box(c, r - 2, t + 1, r, b - 2, pen.color);
    } else {
        Mask outline;
        mask_over(outline, c, l, t, r, b, w);
        P64 corners[4] = {{l, t}, {r - 1, t}, {r - 1, b - 1}, {l, b - 1}};
        wide_polyline_mask(outline, corners, 4, true, w);
        if (!brush.is_null) {
            Mask inside;
            mask_over(inside, c, l, t, r, b, 0);
            for (int64_t y = inside.first_row(t); y < inside.end_row(b); ++y)
                inside.span(y, l, r);
            paint_mask(c, inside, brush.color, &outline);
        }
        paint_mask(c, outline, pen.color);
    }
    finish_target(s.target);
    return TRUE;
}

// ---- GDI32 Ellipse: the ellipse inscribed in [left, right) x [top, bottom). The outline
// passes through the box's outermost pixels (a wider pen centred on that curve); the brush
// fills the inside.
BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    Shape s;
    if (!begin_shape(hdc, s))
        return FALSE;
    Box box;
    if (!shape_box(s, left, top, right, bottom, box))
        return TRUE;
    const int64_t l = box.left, t = box.top, r = box.right, b = box.bottom;
    Canvas &c = s.target.canvas;
    const Object &pen = dc_pen(*s.dc);
    const Object &brush = dc_brush(*s.dc);
    bool no_pen = pen.pen_style == PS_NULL;
    int64_t w = no_pen ? 1 : pen_width(pen);
    std::vector<EllipseRow> rows;
    if (no_pen && (r - l <= 2 || b - t <= 2)) {
        // Too thin to have a curve: like Rectangle without a pen, the box less its right
        // column and bottom row.
        if (!brush.is_null)
            fill_box(c, l, t, r - 1, b - 1, brush.color);
    } else if (!no_pen && w == 1 && r - l == 1 && b - t == 1) {
        // A one-pixel box: as for Rectangle, nothing.
    } else if (w == 1 && ellipse_rows(l, t, r, b, rows)) {
        thin_ellipse(c, t, rows, no_pen ? nullptr : &pen, brush);
    } else {
        Mask fill, outline;
        mask_over(fill, c, l, t, r, b, 0);
        mask_over(outline, c, l, t, r, b, w);
        std::vector<P64> pts = ellipse_points(l, t, r, b);
        if (pts.empty()) {
            large_ellipse(fill, outline, l, t, r, b, w);
        } else {
            polygon_mask(fill, pts.data(), pts.size(), true);
            wide_polyline_mask(outline, pts.data(), pts.size(), true, w);
        }
        if (!brush.is_null)
            paint_mask(c, fill, brush.color, no_pen ? nullptr : &outline);
        // Without a pen the brush covers the one-pixel outline's place too.
        if (!no_pen || !brush.is_null)
            paint_mask(c, outline, no_pen ? brush.color : pen.color);
    }
    finish_target(s.target);
    return TRUE;
}

// ---- GDI32 Polygon: a closed figure through count points. The brush fills it by the DC's
// fill mode (a pixel whose centre lies on a left or top edge is inside, on a right or bottom
// edge outside); then the outline is drawn through every point back to the first.
BOOL WINAPI Polygon(HDC hdc, const POINT *points, int count) {
    Shape s;
    if (!points || count < 2 || !begin_shape(hdc, s))
        return FALSE;
    Canvas &c = s.target.canvas;
    std::vector<P64> pts(static_cast<size_t>(count));
    int64_t l = INT64_MAX, t = INT64_MAX, r = INT64_MIN, b = INT64_MIN;
    for (int i = 0; i < count; ++i) {
        pts[i] = {points[i].x + s.target.ox, points[i].y + s.target.oy};
        l = std::min(l, pts[i].x), r = std::max(r, pts[i].x + 1);
        t = std::min(t, pts[i].y), b = std::max(b, pts[i].y + 1);
    }
    const Object &pen = dc_pen(*s.dc);
    const Object &brush = dc_brush(*s.dc);
    int64_t w = pen_width(pen);
    if (!brush.is_null) {
        Mask fill;
        mask_over(fill, c, l, t, r, b, 0);
        polygon_mask(fill, pts.data(), pts.size(), s.dc->fill_mode == WINDING);
        paint_mask(c, fill, brush.color);
    }
    if (pen.pen_style != PS_NULL && w == 1) {
        Box box{c.left, c.top, c.right, c.bottom};
        for (size_t i = 0; i < pts.size(); ++i)
            thin_line(pts[i], pts[(i + 1) % pts.size()], box,
                      [&](int64_t x, int64_t y) { put_pixel(c, x, y, pen.color); });
    } else if (pen.pen_style != PS_NULL) {
        Mask outline;
        mask_over(outline, c, l, t, r, b, w);
        wide_polyline_mask(outline, pts.data(), pts.size(), true, w);
        paint_mask(c, outline, pen.color);
    }
    finish_target(s.target);
    return TRUE;
}

namespace {

enum class BrushFill { invalid, none, solid };

// What FillRect paints with brush.
BrushFill brush_fill(HBRUSH brush, uint32_t *color) {
    uintptr_t value = reinterpret_cast<uintptr_t>(brush);
    if (value >= 1 && value <= 31) {
        // COLOR_WINDOW (5) and COLOR_BTNFACE (15), as a fresh Windows desktop shows them.
        *color = value - 1 == 5 ? 0xFFFFFFu : value - 1 == 15 ? 0xF0F0F0u : 0xC0C0C0u;
        return BrushFill::solid;
    }
    const Object *o = find_object(brush);
    if (!o || o->kind != Kind::brush)
        return BrushFill::invalid;
    if (o->is_null)
        return BrushFill::none;
    *color = o->color;
    return BrushFill::solid;
}

} // namespace

bool win32::defer_erase(HDC hdc, HWND hwnd, HBRUSH brush) {
    const Dc *dc = find_dc(hdc);
    uint32_t color = 0;
    RECT client{0, 0, 0, 0};
    if (!dc || dc->type != DcType::window || dc->hwnd != hwnd ||
        brush_fill(brush, &color) != BrushFill::solid || !window_screen(hwnd, &client))
        return false;
    defer_window_fill(hwnd, client, quantize(32, color));
    return true;
}

// ---- USER32 FillRect: fills [left, right) x [top, bottom) with a brush, right and bottom
// edges excluded, no outline. A brush value 1..31 stands for system colour (value - 1).
int WINAPI FillRect(HDC hdc, const RECT *rect, HBRUSH brush) {
    Shape s;
    if (!rect || !begin_shape(hdc, s))
        return 0;
    uint32_t color = 0;
    switch (brush_fill(brush, &color)) {
    case BrushFill::invalid: return 0;
    case BrushFill::none: return 1;
    case BrushFill::solid: break;
    }
    fill_box(s.target.canvas, rect->left + s.target.ox, rect->top + s.target.oy, rect->right + s.target.ox,
             rect->bottom + s.target.oy, color);
    finish_target(s.target);
    return 1;
}
