// Ellipse with a one-pixel pen (or none) paints row by row from the outline's two runs. The
// rule it must keep is the general one: the outline's points in the pen's colour, the inside
// of the polygon through them (winding) in the brush's. Both are compared here on every box
// up to 40 x 40, with the pen, without it, and hollow (but the tiny boxes that have rules of
// their own).
#include "shape_pictures.h"
#include "win32_headless.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using win32::gdi::Mask;
using win32::gdi::P64;

constexpr int kMargin = 2;
constexpr int kMaxBox = 40;
constexpr int kSide = kMaxBox + 2 * kMargin;

enum Style { WITH_PEN, NO_PEN, HOLLOW };

// What the general rule paints for the box [m, m + w) x [m, m + h).
std::string expected(int w, int h, Style style) {
    std::vector<P64> pts = win32::gdi::ellipse_points(kMargin, kMargin, kMargin + w, kMargin + h);
    Mask fill, outline;
    fill.reset(0, 0, kSide, kSide);
    outline.reset(0, 0, kSide, kSide);
    win32::gdi::polygon_mask(fill, pts.data(), pts.size(), true);
    // Without a pen the outline's points are the brush's too.
    for (const P64 &p : pts)
        (style == NO_PEN ? fill : outline).set(p.x, p.y);
    return mask_picture(kSide, outline, style == HOLLOW ? nullptr : &fill);
}

std::string painted(ShapeCanvas &canvas, int w, int h, Style style) {
    HPEN pen = style == NO_PEN ? CreatePen(PS_NULL, 0, 0) : CreatePen(PS_SOLID, 1, kShapePen);
    HBRUSH brush =
        style == HOLLOW ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)) : CreateSolidBrush(kShapeBrush);
    return canvas.paint(pen, brush, [&](HDC dc) { Ellipse(dc, kMargin, kMargin, kMargin + w, kMargin + h); });
}

TEST(EllipseRows, EveryBoxUpTo40AgreesWithTheOutlineAndPolygonRule) {
    headless::reset();
    {
        ShapeCanvas canvas(kSide);
        int failures = 0;
        for (Style style : {WITH_PEN, NO_PEN, HOLLOW}) {
            for (int w = 1; w <= kMaxBox && failures < 3; ++w) {
                for (int h = 1; h <= kMaxBox && failures < 3; ++h) {
                    // Boxes too small for the outline's rule: a one-pixel box with a thin pen
                    // and pen-less boxes without a curve (width or height up to 2) have their own.
                    if (style == NO_PEN ? w <= 2 || h <= 2 : w == 1 && h == 1)
                        continue;
                    std::string want = expected(w, h, style), got = painted(canvas, w, h, style);
                    if (want != got) {
                        ++failures;
                        ADD_FAILURE() << "box " << w << " x " << h << ", style " << style << "\nexpected\n"
                                      << want << "painted\n"
                                      << got;
                    }
                }
            }
        }
    }
    headless::reset();
}

} // namespace
