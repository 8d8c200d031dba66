// Pixel contracts of Rectangle, Ellipse, Polygon and FillRect on tiny bitmaps: boxes exclude
// their right and bottom edges, outlines leave the inside alone, wide pens are centred on
// the edge with round joins. The pictures are those Wine paints (tools/gdi_conformance).
#include "gdi_test_support.h"

namespace {

using Shapes = GdiTest;

TEST_F(Shapes, FilledRectangleExcludesRightAndBottomEdges) {
    use(0, true);
    Rectangle(dc, 2, 2, 7, 6);
    expect_picture(1, 1,
                   {".......", //
                    ".PPPPP.", //
                    ".PBBBP.", //
                    ".PBBBP.", //
                    ".PPPPP.", //
                    "......."});
}

TEST_F(Shapes, RectangleCornersInEitherOrderAndEmptyBoxes) {
    use(0, true);
    Rectangle(dc, 7, 6, 2, 2);
    expect_picture(2, 2, {"PPPPP", "PBBBP", "PBBBP", "PPPPP"});
    open(16, 16);
    use(0, true);
    Rectangle(dc, 3, 3, 3, 9); // no width
    Rectangle(dc, 3, 3, 9, 3); // no height
    EXPECT_EQ(painted(), 0);
}

TEST_F(Shapes, OneByOneBoxWithAThinPenPaintsNothing) {
    // Its outline has no length and its inside no area (a renderer wanting that pixel sets it).
    for (int pen : {0, 1}) {
        use(pen, true);
        Rectangle(dc, 4, 4, 5, 5);
        Ellipse(dc, 8, 8, 9, 9);
    }
    EXPECT_EQ(painted(), 0);
    use(2, true);
    Ellipse(dc, 8, 8, 9, 9);
    EXPECT_GT(painted(), 0);
}

TEST_F(Shapes, HollowOutlineLeavesTheInsideAlone) {
    use(0, false);
    SetPixel(dc, 4, 4, RGB(0, 0, 0));
    Rectangle(dc, 2, 2, 7, 7);
    expect_picture(2, 2, {"PPPPP", "P...P", "P.K.P", "P...P", "PPPPP"});
}

TEST_F(Shapes, RectangleWithoutPenFillsOnePixelLess) {
    use(-1, true);
    Rectangle(dc, 2, 2, 6, 5);
    expect_picture(1, 1, {".....", ".BBB.", ".BBB.", ".....", "....."});
}

TEST_F(Shapes, WidePenIsCentredOnTheEdgeWithRoundCorners) {
    use(3, true);
    Rectangle(dc, 10, 10, 17, 17); // outline through 10 and 16
    expect_picture(8, 8,
                   {"...........", //
                    "..PPPPPPP..", //
                    ".PPPPPPPPP.", //
                    ".PPPPPPPPP.", //
                    ".PPPBBBPPP.", //
                    ".PPPBBBPPP.", //
                    ".PPPBBBPPP.", //
                    ".PPPPPPPPP.", //
                    ".PPPPPPPPP.", //
                    "..PPPPPPP..", //
                    "..........."});
}

TEST_F(Shapes, DiscFillsItsBoxAndNoMore) {
    use(0, true);
    Ellipse(dc, 4, 4, 13, 13);
    expect_picture(3, 3,
                   {"...........", //
                    "....PPP....", //
                    "..PPBBBPP..", //
                    "..PBBBBBP..", //
                    ".PBBBBBBBP.", //
                    ".PBBBBBBBP.", //
                    ".PBBBBBBBP.", //
                    "..PBBBBBP..", //
                    "..PPBBBPP..", //
                    "....PPP....", //
                    "..........."});
}

TEST_F(Shapes, EvenEllipseAndHollowWideEllipse) {
    use(0, false);
    Ellipse(dc, 2, 2, 6, 6);
    expect_picture(2, 2, {".PP.", "P..P", "P..P", ".PP."});
    open(32, 32);
    use(2, false);
    Ellipse(dc, 10, 10, 17, 17);
    expect_picture(8, 8,
                   {"..........", //
                    "...PPPP...", //
                    "..PPPPPP..", //
                    ".PPPPPPPP.", //
                    ".PPP..PPP.", //
                    ".PP....PP.", //
                    ".PPP..PPP.", //
                    ".PPPPPPPP.", //
                    "..PPPPPP..", //
                    ".........."});
}

TEST_F(Shapes, NarrowEllipseOutlineReachesTheTopAndBottomRows) {
    use(0, false);
    Ellipse(dc, 2, 2, 3, 10);  // one pixel wide: a column
    Ellipse(dc, 5, 2, 7, 10);  // two: a double column
    Ellipse(dc, 9, 2, 12, 10); // three: a curve that ends a row short of the box's edges
    expect_picture(2, 2,
                   {"P..PP.....", //
                    "P..PP...P.", //
                    "P..PP..P.P", //
                    "P..PP..P.P", //
                    "P..PP..P.P", //
                    "P..PP..P.P", //
                    "P..PP...P.", //
                    "P..PP....."});
}

TEST_F(Shapes, EllipseWithoutPenTooThinForACurveFillsTheBoxLessOne) {
    use(-1, true);
    Ellipse(dc, 2, 2, 4, 4);   // 2 x 2: one pixel
    Ellipse(dc, 6, 2, 11, 4);  // 5 x 2: a row of four
    Ellipse(dc, 13, 2, 15, 6); // 2 x 4: a column of three
    Ellipse(dc, 2, 8, 3, 12);  // 1 x 4: nothing
    expect_picture(2, 2, {"B...BBBB...B", "...........B", "...........B", "............"});
    open(16, 16);
    use(-1, true);
    Ellipse(dc, 2, 2, 5, 5); // 3 x 3 has its curve: a plus
    expect_picture(2, 2, {".B.", "BBB", ".B."});
}

TEST_F(Shapes, PolygonFillsTopLeftInBottomRightOutThenOutline) {
    // Without a pen the fill convention shows: the right and bottom edges are left out.
    use(-1, true);
    POINT square[4] = {{2, 2}, {6, 2}, {6, 5}, {2, 5}};
    Polygon(dc, square, 4);
    expect_picture(1, 1, {"......", ".BBBB.", ".BBBB.", ".BBBB.", "......", "......"});
    open(32, 32);
    use(0, true);
    POINT tri[3] = {{2, 2}, {8, 2}, {2, 8}};
    Polygon(dc, tri, 3);
    expect_picture(2, 2,
                   {"PPPPPPP", //
                    "PBBBBP.", //
                    "PBBBP..", //
                    "PBBP...", //
                    "PBP....", //
                    "PP.....", //
                    "P......"});
}

TEST_F(Shapes, WindingFillKeepsTheCentreOfAStar) {
    use(-1, true);
    POINT star[5] = {{10, 1}, {16, 19}, {1, 7}, {19, 7}, {4, 19}};
    Polygon(dc, star, 5);
    EXPECT_EQ(GetPixel(dc, 10, 11), kBackground); // alternate: the centre is outside
    SetPolyFillMode(dc, WINDING);
    Polygon(dc, star, 5);
    EXPECT_EQ(GetPixel(dc, 10, 11), kBrush);
}

TEST_F(Shapes, FillRectExcludesRightAndBottomAndDrawsNoOutline) {
    HBRUSH b = keep(CreateSolidBrush(kBrush));
    RECT r = {1, 2, 4, 4};
    FillRect(dc, &r, b);
    expect_picture(0, 1, {".....", ".BBB.", ".BBB.", "....."});
    RECT empty = {5, 5, 5, 9};
    FillRect(dc, &empty, b);
    EXPECT_EQ(painted(), 6);
}

} // namespace
