// Ellipse with a one-pixel pen (or none) paints row by row from the outline's two runs. The
// rule it must keep is the general one: the outline's points in the pen's colour, the inside
// of the polygon through them (winding) in the brush's. Both are compared here on every box
// up to 40 x 40, with the pen, without it, and hollow (but the tiny boxes that have rules of
// their own).
#include "win32_headless.h"

#include "../../platform/src/gdi32_raster.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using win32::gdi::Mask;
using win32::gdi::P64;

constexpr int kMargin = 2;
constexpr int kMaxBox = 40;
constexpr int kSide = kMaxBox + 2 * kMargin;
constexpr COLORREF kBack = RGB(200, 200, 200), kPen = RGB(255, 0, 0), kBrush = RGB(0, 0, 255);

enum Style { WITH_PEN, NO_PEN, HOLLOW };

// What the general rule paints for the box [m, m + w) x [m, m + h), as rows of letters.
std::string expected(int w, int h, Style style) {
    std::vector<P64> pts = win32::gdi::ellipse_points(kMargin, kMargin, kMargin + w, kMargin + h);
    Mask fill, outline;
    fill.reset(0, 0, kSide, kSide);
    outline.reset(0, 0, kSide, kSide);
    win32::gdi::polygon_mask(fill, pts.data(), pts.size(), true);
    for (const P64 &p : pts)
        outline.set(p.x, p.y);
    std::string s;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            char c = '.';
            if (style == WITH_PEN)
                c = outline.test(x, y) ? 'P' : fill.test(x, y) ? 'B' : '.';
            else if (style == NO_PEN)
                c = outline.test(x, y) || fill.test(x, y) ? 'B' : '.';
            else
                c = outline.test(x, y) ? 'P' : '.';
            s += c;
        }
        s += '\n';
    }
    return s;
}

std::string painted(HDC dc, int w, int h, Style style) {
    RECT all = {0, 0, kSide, kSide};
    HBRUSH back = CreateSolidBrush(kBack);
    FillRect(dc, &all, back);
    DeleteObject(back);
    HPEN pen = style == NO_PEN ? CreatePen(PS_NULL, 0, 0) : CreatePen(PS_SOLID, 1, kPen);
    HBRUSH brush =
        style == HOLLOW ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)) : CreateSolidBrush(kBrush);
    HGDIOBJ old_pen = SelectObject(dc, pen);
    HGDIOBJ old_brush = SelectObject(dc, brush);
    Ellipse(dc, kMargin, kMargin, kMargin + w, kMargin + h);
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);
    DeleteObject(pen);
    DeleteObject(brush);
    std::string s;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            s += c == kPen ? 'P' : c == kBrush ? 'B' : c == kBack ? '.' : '?';
        }
        s += '\n';
    }
    return s;
}

TEST(EllipseRows, EveryBoxUpTo40AgreesWithTheOutlineAndPolygonRule) {
    headless::reset();
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(kSide, kSide, 1, 32, nullptr);
    HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
    int failures = 0;
    for (Style style : {WITH_PEN, NO_PEN, HOLLOW}) {
        for (int w = 1; w <= kMaxBox && failures < 3; ++w) {
            for (int h = 1; h <= kMaxBox && failures < 3; ++h) {
                // Boxes too small for the outline's rule: a one-pixel box with a thin pen and
                // pen-less boxes without a curve (width or height up to 2) have their own.
                if (style == NO_PEN ? w <= 2 || h <= 2 : w == 1 && h == 1)
                    continue;
                std::string want = expected(w, h, style), got = painted(dc, w, h, style);
                if (want != got) {
                    ++failures;
                    ADD_FAILURE() << "box " << w << " x " << h << ", style " << style << "\nexpected\n"
                                  << want << "painted\n"
                                  << got;
                }
            }
        }
    }
    SelectObject(dc, old_bitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    headless::reset();
}

} // namespace
