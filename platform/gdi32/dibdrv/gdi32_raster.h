// What GDI32 draws: the pixel sets of lines, polygons, ellipses and wide pens, produced as
// pixels for a plot callback or as coverage in a Mask, never written to a surface here.
// Every routine visits only what lies inside the window it is given, however far the shape
// reaches, and uses 64/128-bit arithmetic so no coordinate from a caller can overflow.
#pragma once

#include "gdi32_primitives.h"

#include <cstdint>
#include <vector>

namespace win32::gdi {

struct P64 {
    int64_t x = 0, y = 0;
};

// Window of interest for a thin line (clip box, right and bottom excluded).
struct Box {
    int64_t left = 0, top = 0, right = 0, bottom = 0;
};

// The pixels of a one-pixel line from a to b, b itself excluded, as GDI's error loop steps
// it; only those inside box are visited, each found in closed form.
template <typename Plot> void thin_line(P64 a, P64 b, const Box &box, Plot plot);

// Coverage of a closed polygon: pixel (x, y) is inside when the point (x, y) is, with edges
// on the left and top inside and those on the right and bottom outside.
void polygon_mask(Mask &m, const P64 *pts, size_t n, bool winding);
// The outline of a solid geometric pen of width w through pts (closed: back to pts[0]),
// round caps and joins.
void wide_polyline_mask(Mask &m, const P64 *pts, size_t n, bool closed, int64_t w);
// The points an ellipse inscribed in [l, r) x [t, b) passes through, in order around it;
// empty when the box is too large to walk point by point.
std::vector<P64> ellipse_points(int64_t l, int64_t t, int64_t r, int64_t b);
// One row of an ellipse's one-pixel outline: its left half's pixels on the row run from
// left_lo to left_hi, its right half's from right_lo to right_hi (inclusive; lo > hi when
// that half has none there). What lies between the two runs is the ellipse's inside.
struct EllipseRow {
    int64_t left_lo, left_hi, right_lo, right_hi;
};
// The rows t .. b - 1 of the outline ellipse_points gives, into rows; false (rows unusable)
// when the box is too large to walk.
bool ellipse_rows(int64_t l, int64_t t, int64_t r, int64_t b, std::vector<EllipseRow> &rows);
// Pixels of a filled ellipse region in [l, r) x [t, b), computed row by row.
void ellipse_mask(Mask &m, int64_t l, int64_t t, int64_t r, int64_t b);

// ---- implementation of thin_line ----

template <typename Plot> void thin_line(P64 a, P64 b, const Box &box, Plot plot) {
    int64_t dx = b.x - a.x, dy = b.y - a.y;
    int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    bool x_major = adx >= ady;
    int64_t major = x_major ? adx : ady, minor = x_major ? ady : adx;
    if (major == 0)
        return;
    int64_t smaj = (x_major ? dx : dy) < 0 ? -1 : 1;
    int64_t smin = (x_major ? dy : dx) < 0 ? -1 : 1;
    // When the ideal line passes exactly between two pixels, GDI (as Wine draws it) takes the
    // minor step early when that step goes toward smaller coordinates, late otherwise.
    int bias = smin < 0 ? 1 : 0;
    int64_t start = x_major ? a.x : a.y;
    int64_t lo = x_major ? box.left : box.top, hi = (x_major ? box.right : box.bottom) - 1;
    // Steps k in [0, major) whose major coordinate start + smaj*k lies in [lo, hi].
    int64_t k0, k1;
    if (smaj > 0) {
        k0 = lo - start, k1 = hi - start;
    } else {
        k0 = start - hi, k1 = start - lo;
    }
    if (k0 < 0)
        k0 = 0;
    if (k1 > major - 1)
        k1 = major - 1;
    int64_t mlo = x_major ? box.top : box.left, mhi = (x_major ? box.bottom : box.right) - 1;
    int64_t mstart = x_major ? a.y : a.x;
    for (int64_t k = k0; k <= k1; ++k) {
        // The minor offset after k steps of the error loop, in closed form.
        __int128 num = static_cast<__int128>(2) * minor * k + major - 1 + bias;
        int64_t m = static_cast<int64_t>(num / (static_cast<__int128>(2) * major));
        int64_t mc = mstart + smin * m;
        if (mc < mlo || mc > mhi)
            continue;
        int64_t mj = start + smaj * k;
        if (x_major)
            plot(mj, mc);
        else
            plot(mc, mj);
    }
}

} // namespace win32::gdi
