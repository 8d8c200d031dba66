// Scan conversion for GDI32: polygons by exact rational edge crossings, ellipses by an
// integer midpoint walk (A. Zingl's rectangle-bounded form), wide pens as a union of segment
// quadrilaterals and round discs. Rows outside the mask's window are never visited.
#include "gdi32_raster.h"

#include <algorithm>
#include <cstdint>
#include <cmath>

namespace win32::gdi {

namespace {

using i128 = __int128;

int64_t ceil_div(i128 num, i128 den) { // den > 0
    i128 q = num / den;
    if (num % den != 0 && num > 0)
        ++q;
    return static_cast<int64_t>(q);
}

struct Crossing {
    int64_t x;
    int dir;
};

// The pixel rectangle of a geometric pen's segment from p to q (not including its caps).
void wide_segment(Mask &m, P64 p, P64 q, int64_t w) {
    int64_t dx = q.x - p.x, dy = q.y - p.y;
    if (dx == 0 && dy == 0)
        return;
    if (dy == 0) {
        int64_t top = p.y - w / 2;
        for (int64_t y = m.first_row(top); y < m.end_row(top + w); ++y)
            m.span(y, std::min(p.x, q.x), std::max(p.x, q.x));
        return;
    }
    if (dx == 0) {
        int64_t left = p.x - w / 2;
        for (int64_t y = m.first_row(std::min(p.y, q.y)); y < m.end_row(std::max(p.y, q.y)); ++y)
            m.span(y, left, left + w);
        return;
    }
    double len = std::hypot(static_cast<double>(dx), static_cast<double>(dy));
    double wx = static_cast<double>(w) * std::fabs(static_cast<double>(dy)) / len;
    double wy = static_cast<double>(w) * std::fabs(static_cast<double>(dx)) / len;
    P64 narrow{std::llround(wx / 2), std::llround(wy / 2)};
    P64 wide{std::llround((wx + 1) / 2), std::llround((wy + 1) / 2)};
    if (dx < 0) {
        wide.y = -wide.y;
        narrow.y = -narrow.y;
    }
    if (dy < 0) {
        std::swap(narrow, wide);
        narrow.x = -narrow.x;
        wide.x = -wide.x;
    }
    P64 quad[4] = {{p.x - narrow.x, p.y + narrow.y},
                   {p.x + wide.x, p.y - wide.y},
                   {q.x + wide.x, q.y - wide.y},
                   {q.x - narrow.x, q.y + narrow.y}};
    polygon_mask(m, quad, 4, false);
}

// A round cap or join: the pixels on and inside the ellipse outline of a w x w box around
// the pixel.
void wide_dot(Mask &m, P64 p, int64_t w) {
    int64_t l = p.x - w / 2, t = p.y - w / 2;
    std::vector<EllipseRow> rows;
    if (!ellipse_rows(l, t, l + w, t + w, rows)) {
        ellipse_mask(m, l, t, l + w, t + w);
        return;
    }
    for (int64_t y = m.first_row(t); y < m.end_row(t + w); ++y) {
        const EllipseRow &row = rows[static_cast<size_t>(y - t)];
        if (row.left_lo <= row.left_hi || row.right_lo <= row.right_hi)
            m.span(y, std::min(row.left_lo, row.right_lo), std::max(row.left_hi, row.right_hi) + 1);
    }
}

} // namespace

void polygon_mask(Mask &m, const P64 *pts, size_t n, bool winding) {
    if (n < 3 || m.empty())
        return;
    // Edges top to bottom, sorted by their first row; a row visits only the edges that span
    // it (the active ones), so a shape costs its edges plus its crossings, not rows x edges.
    struct Edge {
        P64 a, b; // a.y < b.y
        int dir;
    };
    std::vector<Edge> edges;
    edges.reserve(n);
    int64_t ymin = pts[0].y, ymax = pts[0].y;
    for (size_t i = 0; i < n; ++i) {
        P64 a = pts[i], b = pts[(i + 1) % n];
        ymin = std::min(ymin, a.y), ymax = std::max(ymax, a.y);
        int dir = 1;
        if (a.y > b.y)
            std::swap(a, b), dir = -1;
        if (a.y < b.y) // a horizontal edge spans no row
            edges.push_back({a, b, dir});
    }
    std::sort(edges.begin(), edges.end(), [](const Edge &l, const Edge &r) { return l.a.y < r.a.y; });
    std::vector<const Edge *> active;
    std::vector<Crossing> xs;
    size_t next = 0;
    for (int64_t y = m.first_row(ymin); y < m.end_row(ymax); ++y) {
        for (; next < edges.size() && edges[next].a.y <= y; ++next)
            if (edges[next].b.y > y)
                active.push_back(&edges[next]);
        active.erase(std::remove_if(active.begin(), active.end(), [y](const Edge *e) { return e->b.y <= y; }),
                     active.end());
        xs.clear();
        for (const Edge *e : active) {
            i128 num = static_cast<i128>(y - e->a.y) * (e->b.x - e->a.x);
            xs.push_back({e->a.x + ceil_div(num, e->b.y - e->a.y), e->dir});
        }
        std::sort(xs.begin(), xs.end(), [](const Crossing &l, const Crossing &r) { return l.x < r.x; });
        if (!winding) {
            for (size_t i = 0; i + 1 < xs.size(); i += 2)
                m.span(y, xs[i].x, xs[i + 1].x);
            continue;
        }
        int count = 0;
        for (size_t i = 0; i + 1 < xs.size(); ++i) {
            count += xs[i].dir;
            if (count != 0)
                m.span(y, xs[i].x, xs[i + 1].x);
        }
    }
}

void wide_polyline_mask(Mask &m, const P64 *pts, size_t n, bool closed, int64_t w) {
    if (n == 0 || m.empty())
        return;
    size_t segments = closed ? n : n - 1;
    for (size_t i = 0; i < segments; ++i)
        wide_segment(m, pts[i], pts[(i + 1) % n], w);
    for (size_t i = 0; i < n; ++i)
        wide_dot(m, pts[i], w);
}

namespace {

enum Quadrant { UPPER_RIGHT, UPPER_LEFT, LOWER_LEFT, LOWER_RIGHT };

// The outline of the ellipse inscribed in [l, r) x [t, b), walked in its four quadrants at
// once from the horizontal axis outward: visit(quadrant, x, y) for every point, each
// quadrant's points in order away from the axis. False when the box is too large to walk.
// Whether walk_ellipse takes the box: not empty, and no side longer than 2^15 + 1 pixels.
bool walkable(int64_t l, int64_t t, int64_t r, int64_t b) {
    int64_t a = r - 1 - l, h = b - 1 - t;
    return a >= 0 && h >= 0 && a <= (1 << 15) && h <= (1 << 15);
}

template <typename Visit> bool walk_ellipse(int64_t l, int64_t t, int64_t r, int64_t b, Visit visit) {
    if (!walkable(l, t, r, b))
        return false;
    int64_t a = r - 1 - l, h = b - 1 - t;
    int64_t b1 = h & 1;
    int64_t dx = 4 * (1 - a) * h * h, dy = 4 * (b1 + 1) * a * a;
    int64_t err = dx + dy + b1 * a * a;
    int64_t x0 = l, x1 = l + a, y0 = t + (h + 1) / 2, y1 = y0 - b1;
    int64_t a8 = 8 * a * a, b8 = 8 * h * h;
    do {
        visit(LOWER_RIGHT, x1, y0);
        visit(LOWER_LEFT, x0, y0);
        visit(UPPER_LEFT, x0, y1);
        visit(UPPER_RIGHT, x1, y1);
        int64_t e2 = 2 * err;
        if (e2 <= dy) {
            ++y0, --y1;
            err += dy += a8;
        }
        if (e2 >= dx) {
            ++x0, --x1;
            err += dx += b8;
        }
    } while (x0 <= x1);
    // A very flat ellipse stops early: finish its tips. In a box one or two pixels wide they
    // reach the box's top and bottom rows, as the real GDI32 paints such an ellipse; wider
    // ones end a row short of them.
    const int64_t tip_span = a <= 1 ? h : h - 1;
    for (; y0 - y1 <= tip_span; ++y0, --y1) {
        visit(LOWER_RIGHT, x1 + 1, y0);
        visit(LOWER_LEFT, x0 - 1, y0);
        visit(UPPER_LEFT, x0 - 1, y1);
        visit(UPPER_RIGHT, x1 + 1, y1);
    }
    return true;
}

} // namespace

std::vector<P64> ellipse_points(int64_t l, int64_t t, int64_t r, int64_t b) {
    // Each quadrant is kept apart so the outline can be given in order around the ellipse.
    std::vector<P64> quadrants[4];
    std::vector<P64> out;
    if (!walk_ellipse(l, t, r, b, [&](int q, int64_t x, int64_t y) { quadrants[q].push_back({x, y}); }))
        return out;
    out.insert(out.end(), quadrants[UPPER_RIGHT].begin(), quadrants[UPPER_RIGHT].end());
    out.insert(out.end(), quadrants[UPPER_LEFT].rbegin(), quadrants[UPPER_LEFT].rend());
    out.insert(out.end(), quadrants[LOWER_LEFT].begin(), quadrants[LOWER_LEFT].end());
    out.insert(out.end(), quadrants[LOWER_RIGHT].rbegin(), quadrants[LOWER_RIGHT].rend());
    return out;
}

bool ellipse_rows(int64_t l, int64_t t, int64_t r, int64_t b, std::vector<EllipseRow> &rows) {
    if (!walkable(l, t, r, b))
        return false;
    rows.assign(static_cast<size_t>(b - t), EllipseRow{INT64_MAX, INT64_MIN, INT64_MAX, INT64_MIN});
    return walk_ellipse(l, t, r, b, [&](int q, int64_t x, int64_t y) {
        if (y < t || y >= b)
            return;
        EllipseRow &row = rows[static_cast<size_t>(y - t)];
        if (q == UPPER_LEFT || q == LOWER_LEFT)
            row.left_lo = std::min(row.left_lo, x), row.left_hi = std::max(row.left_hi, x);
        else
            row.right_lo = std::min(row.right_lo, x), row.right_hi = std::max(row.right_hi, x);
    });
}

void ellipse_mask(Mask &m, int64_t l, int64_t t, int64_t r, int64_t b) {
    if (r <= l || b <= t || m.empty())
        return;
    double cx = (static_cast<double>(l) + static_cast<double>(r)) / 2;
    double cy = (static_cast<double>(t) + static_cast<double>(b)) / 2;
    double ax = (static_cast<double>(r) - static_cast<double>(l)) / 2;
    double ay = (static_cast<double>(b) - static_cast<double>(t)) / 2;
    for (int64_t y = m.first_row(t); y < m.end_row(b); ++y) {
        double v = (static_cast<double>(y) + 0.5 - cy) / ay;
        double s = 1 - v * v;
        if (s < 0)
            continue;
        double half = ax * std::sqrt(s);
        // Pixel x is inside when its centre x + 0.5 lies within [cx - half, cx + half].
        double x0 = std::ceil(cx - half - 0.5), x1 = std::floor(cx + half - 0.5) + 1;
        double lo = static_cast<double>(m.left) - 1, hi = static_cast<double>(m.left) + m.width + 1;
        x0 = std::clamp(x0, lo, hi), x1 = std::clamp(x1, lo, hi);
        m.span(y, static_cast<int64_t>(x0), static_cast<int64_t>(x1));
    }
}

} // namespace win32::gdi
