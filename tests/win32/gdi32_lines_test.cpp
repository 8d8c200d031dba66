// Pixel contracts of lines and pixels: a one-pixel line paints its first pixel and not its
// last, ties between two pixels go the way GDI steps them in each octant, wider pens paint
// the whole geometric line with round caps; SetPixel/GetPixel at and beyond the edges.
// The expected pixels are those Wine paints (tools/gdi_conformance).
#include "gdi_test_support.h"

#include <algorithm>
#include <utility>

namespace {

using Lines = GdiTest;
using Points = std::vector<std::pair<int, int>>;

// The pixels that differ from the background, as offsets from (ox, oy), sorted.
Points painted_points(const GdiTest &t, HDC dc, int ox, int oy) {
    (void)t;
    Points out;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (GetPixel(dc, x, y) != kBackground)
                out.push_back({x - ox, y - oy});
    std::sort(out.begin(), out.end());
    return out;
}

TEST_F(Lines, FirstPixelPaintedLastPixelNot) {
    use(0, false);
    MoveToEx(dc, 2, 3, nullptr);
    LineTo(dc, 7, 3);
    LineTo(dc, 7, 6);
    expect_picture(1, 2, {"........", ".PPPPPP.", "......P.", "......P.", "........"});
    POINT at{};
    MoveToEx(dc, 0, 0, &at);
    EXPECT_EQ(at.x, 7);
    EXPECT_EQ(at.y, 6);
    open(32, 32);
    use(1, false);
    MoveToEx(dc, 5, 5, nullptr);
    LineTo(dc, 5, 5); // a line of no length paints nothing
    EXPECT_EQ(painted(), 0);
}

TEST_F(Lines, TiesBreakAsGdiStepsEachOctant) {
    struct Case {
        int dx, dy;
        Points expected;
    };
    const Case cases[] = {
        {12,
         6,
         {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}, {6, 3}, {7, 3}, {8, 4}, {9, 4}, {10, 5}, {11, 5}}},
        {-12,
         6,
         {{0, 0},
          {-1, 0},
          {-2, 1},
          {-3, 1},
          {-4, 2},
          {-5, 2},
          {-6, 3},
          {-7, 3},
          {-8, 4},
          {-9, 4},
          {-10, 5},
          {-11, 5}}},
        {12,
         -6,
         {{0, 0},
          {1, -1},
          {2, -1},
          {3, -2},
          {4, -2},
          {5, -3},
          {6, -3},
          {7, -4},
          {8, -4},
          {9, -5},
          {10, -5},
          {11, -6}}},
        {-12,
         -6,
         {{0, 0},
          {-1, -1},
          {-2, -1},
          {-3, -2},
          {-4, -2},
          {-5, -3},
          {-6, -3},
          {-7, -4},
          {-8, -4},
          {-9, -5},
          {-10, -5},
          {-11, -6}}},
        {6,
         12,
         {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}, {3, 6}, {3, 7}, {4, 8}, {4, 9}, {5, 10}, {5, 11}}},
        {-6,
         12,
         {{0, 0},
          {-1, 1},
          {-1, 2},
          {-2, 3},
          {-2, 4},
          {-3, 5},
          {-3, 6},
          {-4, 7},
          {-4, 8},
          {-5, 9},
          {-5, 10},
          {-6, 11}}},
        {6,
         -12,
         {{0, 0},
          {0, -1},
          {1, -2},
          {1, -3},
          {2, -4},
          {2, -5},
          {3, -6},
          {3, -7},
          {4, -8},
          {4, -9},
          {5, -10},
          {5, -11}}},
        {-6,
         -12,
         {{0, 0},
          {-1, -1},
          {-1, -2},
          {-2, -3},
          {-2, -4},
          {-3, -5},
          {-3, -6},
          {-4, -7},
          {-4, -8},
          {-5, -9},
          {-5, -10},
          {-6, -11}}},
    };
    for (const Case &c : cases) {
        open(32, 32);
        use(0, false);
        MoveToEx(dc, 16, 16, nullptr);
        LineTo(dc, 16 + c.dx, 16 + c.dy);
        Points want = c.expected;
        std::sort(want.begin(), want.end());
        EXPECT_EQ(painted_points(*this, dc, 16, 16), want) << "line to " << c.dx << "," << c.dy;
    }
}

TEST_F(Lines, WidePenPaintsRoundCapsAtBothEnds) {
    use(3, false);
    MoveToEx(dc, 10, 10, nullptr);
    LineTo(dc, 15, 10);
    expect_picture(8, 8,
                   {"..........", //
                    "..PPPPPP..", //
                    ".PPPPPPPP.", //
                    "..PPPPPP..", //
                    ".........."});
    open(32, 32);
    use(3, false);
    MoveToEx(dc, 10, 10, nullptr);
    LineTo(dc, 15, 12);
    expect_picture(9, 9,
                   {".PPPP...", //
                    "PPPPPPP.", //
                    "PPPPPPP.", //
                    "...PPPPP", //
                    "......P."});
}

TEST_F(Lines, EvenWidthPenLeansUpAndLeft) {
    use(4, false);
    MoveToEx(dc, 10, 10, nullptr);
    LineTo(dc, 10, 15);
    // Columns 8..11 and rows 8..16: two pixels before the line, one after.
    expect_picture(8, 8,
                   {".PP...", //
                    "PPPP..", //
                    "PPPP..", //
                    "PPPP..", //
                    "PPPP..", //
                    "PPPP..", //
                    "PPPP..", //
                    "PPPP..", //
                    ".PP...", //
                    "......"});
}

TEST_F(Lines, SetPixelAndGetPixelInsideAndOutside) {
    EXPECT_EQ(SetPixel(dc, 0, 0, kPen), kPen);
    EXPECT_EQ(SetPixel(dc, 31, 31, kBrush), kBrush);
    COLORREF beyond_right = SetPixel(dc, 32, 5, kPen), beyond_left = SetPixel(dc, -1, 5, kPen);
    // Documented as failing (CLR_INVALID) outside the clip; Wine returns the colour instead.
    if (gdi_on_subset) {
        EXPECT_EQ(beyond_right, CLR_INVALID);
        EXPECT_EQ(beyond_left, CLR_INVALID);
    }
    EXPECT_EQ(GetPixel(dc, 0, 0), kPen);
    EXPECT_EQ(GetPixel(dc, 31, 31), kBrush);
    EXPECT_EQ(GetPixel(dc, 5, 32), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc, 5, -1), CLR_INVALID);
    EXPECT_EQ(painted(), 2);
}

} // namespace
