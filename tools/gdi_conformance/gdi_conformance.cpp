// Paints a fixed list of GDI calls, each into a fresh 32-bit memory bitmap, and prints one
// line per call: its name and the painted pixels by colour (P pen, B brush, O other).
// Uses only <windows.h>, so the same output comes from the real platform and from our
// subset; compare.py sets the two side by side.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const COLORREF background = RGB(200, 200, 200);
const COLORREF pen_color = RGB(255, 0, 0);
const COLORREF brush_color = RGB(0, 0, 255);

struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old_bitmap = nullptr;
    int width = 0, height = 0;
};

Canvas open_canvas(int width, int height) {
    Canvas c;
    c.width = width, c.height = height;
    c.dc = CreateCompatibleDC(nullptr);
    c.bitmap = CreateBitmap(width, height, 1, 32, nullptr);
    c.old_bitmap = SelectObject(c.dc, c.bitmap);
    HBRUSH b = CreateSolidBrush(background);
    RECT all = {0, 0, width, height};
    FillRect(c.dc, &all, b);
    DeleteObject(b);
    return c;
}

void close_canvas(const char *name, Canvas &c) {
    std::string pen, brush, other;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            COLORREF p = GetPixel(c.dc, x, y);
            if (p == background)
                continue;
            std::string &to = p == pen_color ? pen : p == brush_color ? brush : other;
            to += std::to_string(x) + "," + std::to_string(y) + " ";
        }
    std::printf("%s|P:%s|B:%s|O:%s\n", name, pen.c_str(), brush.c_str(), other.c_str());
    SelectObject(c.dc, c.old_bitmap);
    DeleteObject(c.bitmap);
    DeleteDC(c.dc);
}

// Runs draw on a fresh canvas with the given pen width (-1: null pen) and brush (filled or
// hollow), then prints the result.
template <typename Draw> void paint(const char *name, int w, int h, int pen_width, bool filled, Draw draw) {
    Canvas c = open_canvas(w, h);
    HPEN pen = pen_width < 0 ? CreatePen(PS_NULL, 0, 0) : CreatePen(PS_SOLID, pen_width, pen_color);
    HBRUSH brush = filled ? CreateSolidBrush(brush_color) : nullptr;
    HGDIOBJ old_pen = SelectObject(c.dc, pen);
    HGDIOBJ old_brush = SelectObject(c.dc, filled ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
    draw(c.dc);
    SelectObject(c.dc, old_pen);
    SelectObject(c.dc, old_brush);
    DeleteObject(pen);
    if (brush)
        DeleteObject(brush);
    close_canvas(name, c);
}

void shapes() {
    const int radii[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 15, 17, 20, 24, 28, 33, 40};
    char name[96];
    for (int r : radii)
        for (int pw = -1; pw <= 5; ++pw)
            for (int filled = 0; filled < 2; ++filled) {
                if (pw < 0 && !filled)
                    continue;
                int size = 2 * r + 20, c = size / 2;
                std::snprintf(name, sizeof name, "rect r%d w%d %s", r, pw, filled ? "filled" : "hollow");
                paint(name, size, size, pw, filled,
                      [&](HDC dc) { Rectangle(dc, c - r, c - r, c + r + 1, c + r + 1); });
                std::snprintf(name, sizeof name, "ellipse r%d w%d %s", r, pw, filled ? "filled" : "hollow");
                paint(name, size, size, pw, filled,
                      [&](HDC dc) { Ellipse(dc, c - r, c - r, c + r + 1, c + r + 1); });
                // An even-sized and an oblong box too.
                std::snprintf(name, sizeof name, "ellipse even r%d w%d %s", r, pw,
                              filled ? "filled" : "hollow");
                paint(name, size, size, pw, filled, [&](HDC dc) { Ellipse(dc, c - r, c - r, c + r, c + r); });
                std::snprintf(name, sizeof name, "ellipse oblong r%d w%d %s", r, pw,
                              filled ? "filled" : "hollow");
                paint(name, size, size, pw, filled,
                      [&](HDC dc) { Ellipse(dc, c - r, c - r / 2, c + r + 1, c + r / 2 + 1); });
                std::snprintf(name, sizeof name, "rect oblong r%d w%d %s", r, pw,
                              filled ? "filled" : "hollow");
                paint(name, size, size, pw, filled,
                      [&](HDC dc) { Rectangle(dc, c - r, c - r / 3, c + r, c + r / 3 + 1); });
            }
}

// Every small box, where the real rules for tiny and pen-less shapes show. Wine's GDI32 fills
// the filled ellipses of 3 x 9 to 3 x 12 boxes wrongly: its brush runs along the top and
// bottom rows far outside the box, to the bitmap's edge. Those 16 calls differ for that.
void small_boxes() {
    char name[96];
    for (int w = 1; w <= 12; ++w)
        for (int h = 1; h <= 12; ++h)
            for (int pw : {-1, 0, 1, 2})
                for (int filled = 0; filled < 2; ++filled) {
                    if (pw < 0 && !filled)
                        continue;
                    const char *fill = filled ? "filled" : "hollow";
                    std::snprintf(name, sizeof name, "ellipse box %dx%d w%d %s", w, h, pw, fill);
                    paint(name, 20, 20, pw, filled != 0, [&](HDC dc) { Ellipse(dc, 4, 4, 4 + w, 4 + h); });
                    std::snprintf(name, sizeof name, "rect box %dx%d w%d %s", w, h, pw, fill);
                    paint(name, 20, 20, pw, filled != 0, [&](HDC dc) { Rectangle(dc, 4, 4, 4 + w, 4 + h); });
                }
}

void polygons() {
    const POINT tris[][3] = {
        {{5, 5}, {30, 5}, {5, 30}},   {{5, 5}, {30, 12}, {12, 30}},   {{30, 2}, {2, 20}, {25, 33}},
        {{17, 2}, {33, 33}, {2, 33}}, {{2, 2}, {33, 17}, {2, 33}},    {{10, 3}, {11, 30}, {30, 31}},
        {{3, 3}, {33, 4}, {18, 5}},   {{20, 20}, {21, 22}, {19, 23}}, {{5, 30}, {30, 5}, {31, 31}},
        {{2, 17}, {17, 2}, {33, 17}},
    };
    char name[96];
    for (size_t i = 0; i < sizeof tris / sizeof tris[0]; ++i)
        for (int pw : {-1, 0, 1, 2, 3, 5})
            for (int filled = 0; filled < 2; ++filled) {
                if (pw < 0 && !filled)
                    continue;
                std::snprintf(name, sizeof name, "polygon t%d w%d %s", static_cast<int>(i), pw,
                              filled ? "filled" : "hollow");
                paint(name, 40, 40, pw, filled != 0, [&](HDC dc) { Polygon(dc, tris[i], 3); });
            }
}

void lines() {
    char name[96];
    for (int ring : {5, 12})
        for (int dx = -ring; dx <= ring; ++dx)
            for (int dy = -ring; dy <= ring; ++dy) {
                if (dx != -ring && dx != ring && dy != -ring && dy != ring)
                    continue;
                for (int pw = 0; pw <= 5; ++pw) {
                    std::snprintf(name, sizeof name, "line %d,%d w%d", dx, dy, pw);
                    paint(name, 40, 40, pw, false, [&](HDC dc) {
                        MoveToEx(dc, 20, 20, nullptr);
                        LineTo(dc, 20 + dx, 20 + dy);
                    });
                }
            }
    // Long shallow lines, where ties between two pixels come up often.
    for (int dy : {1, 2, 3, -1, -2, -3})
        for (int dir : {1, -1}) {
            std::snprintf(name, sizeof name, "line long %d,%d", 30 * dir, dy * dir);
            paint(name, 40, 40, 0, false, [&](HDC dc) {
                MoveToEx(dc, 20 - 15 * dir, 20, nullptr);
                LineTo(dc, 20 + 15 * dir, 20 + dy * dir);
            });
            std::snprintf(name, sizeof name, "line steep %d,%d", dy * dir, 30 * dir);
            paint(name, 40, 40, 0, false, [&](HDC dc) {
                MoveToEx(dc, 20, 20 - 15 * dir, nullptr);
                LineTo(dc, 20 + dy * dir, 20 + 15 * dir);
            });
        }
}

void pixels() {
    paint("setpixel", 8, 8, 0, false, [](HDC dc) {
        SetPixel(dc, 0, 0, pen_color);
        SetPixel(dc, 7, 7, brush_color);
        SetPixel(dc, 8, 8, pen_color);
        SetPixel(dc, -1, 3, pen_color);
        SetPixel(dc, 3, 4, RGB(1, 2, 3));
    });
    paint("fillrect", 8, 8, 0, false, [](HDC dc) {
        RECT r = {1, 2, 5, 4};
        HBRUSH b = CreateSolidBrush(brush_color);
        FillRect(dc, &r, b);
        DeleteObject(b);
    });
}

} // namespace

int main() {
    shapes();
    small_boxes();
    polygons();
    lines();
    pixels();
    return 0;
}
