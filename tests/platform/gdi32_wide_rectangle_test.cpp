// Rectangle with a two-pixel pen paints its frame as four boxes. The rule it must keep is
// the general one for wide pens: the pen's segments along the outline with round dots at the
// corners, the brush inside the box where the outline leaves it. Both are compared on every
// box up to 14 x 14, filled and hollow, inside the bitmap and cut by its top-left corner.
#include "shape_pictures.h"
#include "win32_headless.h"

#include <gtest/gtest.h>

namespace {

using win32::gdi::Mask;
using win32::gdi::P64;

constexpr int kSide = 20;

// What the general rule paints for the box [at, at + w) x [at, at + h).
std::string expected(int at, int w, int h, bool filled) {
    Mask outline, inside;
    outline.reset(0, 0, kSide, kSide);
    inside.reset(0, 0, kSide, kSide);
    P64 corners[4] = {{at, at}, {at + w - 1, at}, {at + w - 1, at + h - 1}, {at, at + h - 1}};
    win32::gdi::wide_polyline_mask(outline, corners, 4, true, 2);
    for (int row = at; row < at + h; ++row)
        inside.span(row, at, at + w);
    return mask_picture(kSide, outline, filled ? &inside : nullptr);
}

TEST(WideRectangle, TwoPixelPenAgreesWithTheSegmentsAndDotsRule) {
    headless::reset();
    {
        ShapeCanvas canvas(kSide);
        int failures = 0;
        for (bool filled : {true, false}) {
            for (int at : {3, 0, -2}) {
                for (int w = 1; w <= 14 && failures < 3; ++w) {
                    for (int h = 1; h <= 14 && failures < 3; ++h) {
                        HBRUSH brush = filled ? CreateSolidBrush(kShapeBrush)
                                              : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
                        std::string got = canvas.paint(CreatePen(PS_SOLID, 2, kShapePen), brush, [&](HDC dc) {
                            Rectangle(dc, at, at, at + w, at + h);
                        });
                        std::string want = expected(at, w, h, filled);
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
    }
    headless::reset();
}

} // namespace
