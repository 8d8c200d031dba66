// The renderer: the one painter of shapes and text into the frame buffer, from DrawRecords
// in centred, y-up coordinates. Every pen, brush and font it creates is deleted before it
// returns, frame_dc gets back the pen, brush, font and background mode it held, and every
// call ends with frame_dirty set. No coordinate handed to GDI lies outside DEVICE_LIMIT.
#include "kelpa_private.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

// Device coordinates given to GDI stay within +-DEVICE_LIMIT. That is far outside the
// 601 x 540 frame buffer, so clipping or clamping to it changes nothing that can be seen,
// and it keeps huge centred coordinates (INT_MAX corners, INT_MAX radii) from overflowing
// in our arithmetic or in GDI's.
constexpr int64_t DEVICE_LIMIT = 1 << 18;

struct DevicePoint {
    int64_t x;
    int64_t y;
};

int clamp_device(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, -DEVICE_LIMIT, DEVICE_LIMIT));
}

bool inside_limit(const DevicePoint &p) {
    return p.x >= -DEVICE_LIMIT && p.x <= DEVICE_LIMIT && p.y >= -DEVICE_LIMIT && p.y <= DEVICE_LIMIT;
}

DevicePoint to_device(int32_t x, int32_t y) {
    return {int64_t{library_state.origin_x} + x, int64_t{library_state.origin_y} - y};
}

POINT to_point(const DevicePoint &p) {
    return {clamp_device(p.x), clamp_device(p.y)};
}

COLORREF record_rgb(const DrawRecord &record) {
    // Producers validate the index; a stray one must still not read past the table.
    bool legal = record.color >= 0 && record.color < COLOR_COUNT;
    return color_values[legal ? record.color : COLOR_RED];
}

HPEN create_record_pen(const DrawRecord &record) {
    int width = static_cast<int>(std::clamp<int64_t>(record.width, 0, DEVICE_LIMIT));
    return CreatePen(PS_SOLID, width, record_rgb(record));
}

// A filled shape (width 0) gets a brush of its colour; an outline the stock hollow brush,
// which DeleteObject leaves alone.
HBRUSH choose_record_brush(const DrawRecord &record) {
    if (record.width == 0)
        return CreateSolidBrush(record_rgb(record));
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

// Cuts the polygon in/out (at most 8 vertices) by one side of the limit square: keeps the
// points whose coordinate `axis` (0 = x, 1 = y), times `sign`, is at most DEVICE_LIMIT.
int clip_polygon_side(const DevicePoint *in, int n, DevicePoint *out, int axis, int sign) {
    auto value = [&](const DevicePoint &p) { return static_cast<double>(axis == 0 ? p.x : p.y) * sign; };
    const double limit = static_cast<double>(DEVICE_LIMIT);
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const DevicePoint &a = in[i];
        const DevicePoint &b = in[(i + 1) % n];
        double va = value(a);
        double vb = value(b);
        if (va <= limit)
            out[count++] = a;
        if ((va <= limit) != (vb <= limit)) {
            double t = (limit - va) / (vb - va);
            DevicePoint cut;
            cut.x = std::llround(static_cast<double>(a.x) + t * static_cast<double>(b.x - a.x));
            cut.y = std::llround(static_cast<double>(a.y) + t * static_cast<double>(b.y - a.y));
            if (axis == 0)
                cut.x = sign * DEVICE_LIMIT;
            else
                cut.y = sign * DEVICE_LIMIT;
            out[count++] = cut;
        }
    }
    return count;
}

void paint_triangle(HDC dc, const DrawRecord &record) {
    DevicePoint corners[3] = {to_device(record.x1, record.y1), to_device(record.x2, record.y2),
                              to_device(record.x3, record.y3)};
    POINT points[8];
    int count = 3;
    if (inside_limit(corners[0]) && inside_limit(corners[1]) && inside_limit(corners[2])) {
        for (int i = 0; i < 3; ++i)
            points[i] = to_point(corners[i]);
    } else {
        // Clamping the corners would bend the visible edges; clipping keeps them, and the
        // edges it adds lie on the limit square, far outside the frame buffer.
        DevicePoint a[8] = {corners[0], corners[1], corners[2]};
        DevicePoint b[8];
        count = clip_polygon_side(a, count, b, 0, 1);
        count = clip_polygon_side(b, count, a, 0, -1);
        count = clip_polygon_side(a, count, b, 1, 1);
        count = clip_polygon_side(b, count, a, 1, -1);
        for (int i = 0; i < count; ++i)
            points[i] = to_point(a[i]);
    }
    if (count >= 3)
        Polygon(dc, points, count);
}

// Liang-Barsky: cuts the segment p..q to the limit square; false when nothing of it is left.
bool clip_line(DevicePoint &p, DevicePoint &q) {
    double x0 = static_cast<double>(p.x), y0 = static_cast<double>(p.y);
    double dx = static_cast<double>(q.x - p.x), dy = static_cast<double>(q.y - p.y);
    const double limit = static_cast<double>(DEVICE_LIMIT);
    double t0 = 0.0, t1 = 1.0;
    const double edge_p[4] = {-dx, dx, -dy, dy};
    const double edge_q[4] = {x0 + limit, limit - x0, y0 + limit, limit - y0};
    for (int i = 0; i < 4; ++i) {
        if (edge_p[i] == 0.0) {
            if (edge_q[i] < 0.0)
                return false;
            continue;
        }
        double t = edge_q[i] / edge_p[i];
        if (edge_p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return false;
    // Rounded, not truncated: the cut points then lie on the line's own pixels.
    DevicePoint from = {std::llround(x0 + t0 * dx), std::llround(y0 + t0 * dy)};
    DevicePoint to = {std::llround(x0 + t1 * dx), std::llround(y0 + t1 * dy)};
    p = from;
    q = to;
    return true;
}

void paint_line(HDC dc, const DrawRecord &record) {
    DevicePoint from = to_device(record.x1, record.y1);
    DevicePoint to = to_device(record.x2, record.y2);
    if (!inside_limit(from) || !inside_limit(to)) {
        if (!clip_line(from, to))
            return;
    }
    POINT a = to_point(from);
    POINT b = to_point(to);
    MoveToEx(dc, a.x, a.y, nullptr);
    LineTo(dc, b.x, b.y);
}

void paint_text(HDC dc, const DrawRecord &record) {
    SetTextColor(dc, record_rgb(record)); // left in place: every text record sets its own
    int previous_mode = GetBkMode(dc);
    SetBkMode(dc, TRANSPARENT);
    // kelpa_text guarantees 0..127; anything else would ask the font mapper for absurd glyphs.
    int size = std::clamp<int32_t>(record.point_size, 0, 127);
    HFONT font = CreateFontA(-size, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "KELPA-font");
    HGDIOBJ previous_font = SelectObject(dc, font);

    const char *text = static_cast<const char *>(GlobalLock(record.text_block));
    if (text) {
        size_t len = std::strlen(text);
        SIZE extent = {0, 0};
        GetTextExtentPointA(dc, text, static_cast<int>(std::min<size_t>(len, INT_MAX)), &extent);
        const int64_t line_height = extent.cy;
        const DevicePoint anchor = to_device(record.x1, record.y1);
        const int x = clamp_device(anchor.x);
        size_t pos = 0;
        int64_t line = -1;
        bool done = false;
        while (!done) {
            const char *start = text + pos;
            const void *newline = std::memchr(start, '\n', len - pos);
            size_t count =
                newline ? static_cast<size_t>(static_cast<const char *>(newline) - start) : len - pos;
            done = pos + count >= len;
            int64_t y = anchor.y + line * line_height;
            if (y > DEVICE_LIMIT)
                break; // this line and all below it lie far under the frame buffer
            if (count > 0 && y >= -DEVICE_LIMIT)
                TextOutA(dc, x, static_cast<int>(y), start,
                         static_cast<int>(std::min<size_t>(count, INT_MAX)));
            ++line;
            pos += count + 1;
        }
        GlobalUnlock(record.text_block);
    }

    SetBkMode(dc, previous_mode);
    SelectObject(dc, previous_font);
    DeleteObject(font);
}

} // namespace

void render_draw_record(const DrawRecord &record) {
    HDC dc = library_state.frame_dc;
    switch (record.kind) {
    case DRAW_TRIANGLE: {
        HPEN pen = create_record_pen(record);
        HGDIOBJ previous_pen = SelectObject(dc, pen);
        HBRUSH brush = choose_record_brush(record);
        HGDIOBJ previous_brush = SelectObject(dc, brush);
        paint_triangle(dc, record);
        SelectObject(dc, previous_pen);
        SelectObject(dc, previous_brush);
        DeleteObject(pen);
        DeleteObject(brush);
        break;
    }
    case DRAW_RECT:
    case DRAW_OVAL: {
        HPEN pen = create_record_pen(record);
        HBRUSH brush = choose_record_brush(record);
        HGDIOBJ previous_pen = SelectObject(dc, pen);
        HGDIOBJ previous_brush = SelectObject(dc, brush);
        // GDI leaves out the box's right and bottom edges; the 1 added there puts both
        // given corners inside.
        DevicePoint top_left = to_device(record.x1, record.y1);
        DevicePoint bottom_right = to_device(record.x2, record.y2);
        int left = clamp_device(top_left.x);
        int top = clamp_device(top_left.y);
        int right = clamp_device(bottom_right.x + 1);
        int bottom = clamp_device(bottom_right.y + 1);
        if (right - left == 1 && bottom - top == 1 && record.width <= 1)
            // GDI paints nothing for a one-pixel box with a thin pen (its outline has no
            // length and its interior no area); the shape is that one pixel all the same.
            SetPixel(dc, left, top, record_rgb(record));
        else if (record.kind == DRAW_RECT)
            Rectangle(dc, left, top, right, bottom);
        else
            Ellipse(dc, left, top, right, bottom);
        SelectObject(dc, previous_pen);
        SelectObject(dc, previous_brush);
        DeleteObject(pen);
        DeleteObject(brush);
        break;
    }
    case DRAW_LINE: {
        HPEN pen = create_record_pen(record);
        HGDIOBJ previous_pen = SelectObject(dc, pen);
        paint_line(dc, record);
        SelectObject(dc, previous_pen);
        DeleteObject(pen);
        break;
    }
    case DRAW_PIXEL: {
        POINT p = to_point(to_device(record.x1, record.y1));
        SetPixel(dc, p.x, p.y, record_rgb(record));
        break;
    }
    case DRAW_TEXT: paint_text(dc, record); break;
    default: break; // an unknown kind paints nothing
    }
    library_state.frame_dirty = 1;
}

void fill_background() {
    HDC dc = library_state.frame_dc;
    HBRUSH brush = CreateSolidBrush(color_values[COLOR_WHITE]);
    HGDIOBJ previous_brush = SelectObject(dc, brush);
    // The outline comes from the pen frame_dc was created with, one pixel of solid black:
    // every drawing selects its previous pen back, so that pen is always current here.
    Rectangle(dc, 0, 0, FRAME_WIDTH, FRAME_HEIGHT);
    SelectObject(dc, previous_brush);
    DeleteObject(brush);
    library_state.frame_dirty = 1;
}
