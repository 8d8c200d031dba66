// Rectangle with a two-pixel pen paints its frame as four boxes. The rule it must keep is
// the general one for wide pens: the pen's segments along the outline with round dots at the
// corners, the brush inside the box where the outline leaves it. Both are compared on every
// box up to 14 x 14, filled and hollow, inside the bitmap and cut by its top-left corner.
#include "win32_headless.h"

#include "../../platform/src/gdi32_raster.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using win32::gdi::Mask;
using win32::gdi::P64;

constexpr int kSide = 20;
constexpr COLORREF kBack = RGB(200, 200, 200), kPen = RGB(255, 0, 0), kBrush = RGB(0, 0, 255);

// What the general rule paints for the box [x, x + w) x [y, y + h), as rows of letters.
std::string expected(int x, int y, int w, int h, bool filled) {
    Mask outline, inside;
    outline.reset(0, 0, kSide, kSide);
    inside.reset(0, 0, kSide, kSide);
    P64 corners[4] = {{x, y}, {x + w - 1, y}, {x + w - 1, y + h - 1}, {x, y + h - 1}};
    win32::gdi::wide_polyline_mask(outline, corners, 4, true, 2);
    for (int row = y; row < y + h; ++row)
        inside.span(row, x, x + w);
    std::string s;
    for (int py = 0; py < kSide; ++py) {
        for (int px = 0; px < kSide; ++px)
            s += outline.test(px, py) ? 'P' : filled && inside.test(px, py) ? 'B' : '.';
        s += '\n';
    }
    return s;
}

std::string painted(HDC dc, int x, int y, int w, int h, bool filled) {
    RECT all = {0, 0, kSide, kSide};
    HBRUSH back = CreateSolidBrush(kBack);
    FillRect(dc, &all, back);
    DeleteObject(back);
    HPEN pen = CreatePen(PS_SOLID, 2, kPen);
    HBRUSH brush = filled ? CreateSolidBrush(kBrush) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    HGDIOBJ old_pen = SelectObject(dc, pen);
    HGDIOBJ old_brush = SelectObject(dc, brush);
    Rectangle(dc, x, y, x + w, y + h);
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);
    DeleteObject(pen);
    DeleteObject(brush);
    std::string s;
    for (int py = 0; py < kSide; ++py) {
        for (int px = 0; px < kSide; ++px) {
            COLORREF c = GetPixel(dc, px, py);
            s += c == kPen ? 'P' : c == kBrush ? 'B' : c == kBack ? '.' : '?';
        }
        s += '\n';
    }
    return s;
}

TEST(WideRectangle, TwoPixelPenAgreesWithTheSegmentsAndDotsRule) {
    headless::reset();
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(kSide, kSide, 1, 32, nullptr);
    HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
    int failures = 0;
    for (bool filled : {true, false}) {
        for (int at : {3, 0, -2}) {
            for (int w = 1; w <= 14 && failures < 3; ++w) {
                for (int h = 1; h <= 14 && failures < 3; ++h) {
                    std::string want = expected(at, at, w, h, filled),
                                got = painted(dc, at, at, w, h, filled);
                    if (want != got) {
                        ++failures;
                        ADD_FAILURE() << "box " << w << " x " << h << " at " << at
                                      << (filled ? ", filled" : "") << "\nexpected\n"
                                      << want << "painted\n"
                                      << got;
                    }
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
