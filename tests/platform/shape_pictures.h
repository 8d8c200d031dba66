// Shapes painted into a square 32-bit bitmap and read back as rows of letters: 'P' the pen's
// colour, 'B' the brush's, '.' the background, '?' anything else. The shape tests compare
// such a picture with one built from the general rule through masks (mask_picture).
#pragma once

#include "gdi32_raster.h"

#include <windows.h>

#include <functional>
#include <string>

constexpr COLORREF kShapeBack = RGB(200, 200, 200), kShapePen = RGB(255, 0, 0), kShapeBrush = RGB(0, 0, 255);

// A memory DC holding a side x side bitmap, for as long as it lives.
struct ShapeCanvas {
    int side;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap;
    HGDIOBJ old_bitmap;

    explicit ShapeCanvas(int side_)
        : side(side_), bitmap(CreateBitmap(side_, side_, 1, 32, nullptr)),
          old_bitmap(SelectObject(dc, bitmap)) {}
    ~ShapeCanvas() {
        SelectObject(dc, old_bitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }

    // Clears to the background, calls draw with pen and brush selected (both deleted after;
    // a stock object survives that), and reads the picture back.
    std::string paint(HPEN pen, HBRUSH brush, const std::function<void(HDC)> &draw) {
        RECT all = {0, 0, side, side};
        HBRUSH back = CreateSolidBrush(kShapeBack);
        FillRect(dc, &all, back);
        DeleteObject(back);
        HGDIOBJ old_pen = SelectObject(dc, pen);
        HGDIOBJ old_brush = SelectObject(dc, brush);
        draw(dc);
        SelectObject(dc, old_pen);
        SelectObject(dc, old_brush);
        DeleteObject(pen);
        DeleteObject(brush);
        std::string s;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                COLORREF c = GetPixel(dc, x, y);
                s += c == kShapePen ? 'P' : c == kShapeBrush ? 'B' : c == kShapeBack ? '.' : '?';
            }
            s += '\n';
        }
        return s;
    }
};

// The picture the rule gives: 'P' where outline covers, else 'B' where inside does (a null
// inside: hollow), else '.'.
inline std::string mask_picture(int side, const win32::gdi::Mask &outline, const win32::gdi::Mask *inside) {
    std::string s;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x)
            s += outline.test(x, y) ? 'P' : inside && inside->test(x, y) ? 'B' : '.';
        s += '\n';
    }
    return s;
}
