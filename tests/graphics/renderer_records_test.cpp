// The renderer, one record at a time: what each kind paints in the frame buffer (as the
// reference GDI paints it), that frame_dc keeps its selections and no object outlives a
// record, and that coordinates at the ends of the 32-bit range paint what lies inside.
#include "drawing_test_pixels.h"

#include <climits>
#include <cstring>

namespace {

DrawRecord shape(uint32_t kind, int color, int width, int x1, int y1, int x2 = 0, int y2 = 0, int x3 = 0,
                 int y3 = 0) {
    DrawRecord r;
    r.kind = kind;
    r.color = color;
    r.width = width;
    r.x1 = x1;
    r.y1 = y1;
    r.x2 = x2;
    r.y2 = y2;
    r.x3 = x3;
    r.y3 = y3;
    return r;
}

// Renders a DRAW_TEXT record as kelpa_text builds it, owning the block for the call.
void render_text(int color, int x, int y, int point_size, const char *text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::memcpy(GlobalLock(block), text, std::strlen(text) + 1);
    GlobalUnlock(block);
    DrawRecord r;
    r.kind = DRAW_TEXT;
    r.color = color;
    r.x1 = x;
    r.y1 = y;
    r.point_size = point_size;
    r.text_block = block;
    render_draw_record(r);
    GlobalFree(block);
}

// The line height the renderer measures for a text in a font of point_size pixels.
int line_height(int point_size, const char *text) {
    HDC dc = library_state.frame_dc;
    HFONT font = CreateFontA(-point_size, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "KELPA-font");
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE size = {0, 0};
    GetTextExtentPointA(dc, text, static_cast<int>(std::strlen(text)), &size);
    SelectObject(dc, previous);
    DeleteObject(font);
    return size.cy;
}

struct Selections {
    HGDIOBJ pen, brush, font;
    int bk_mode;
    bool operator==(const Selections &o) const {
        return pen == o.pen && brush == o.brush && font == o.font && bk_mode == o.bk_mode;
    }
};

Selections current_selections() {
    HDC dc = library_state.frame_dc;
    return {GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH), GetCurrentObject(dc, OBJ_FONT),
            GetBkMode(dc)};
}

} // namespace

using RendererTest = DrawingTest;

TEST_F(RendererTest, FilledRectangleIncludesBothCorners) {
    FrameSnapshot before = snapshot_frame();
    render_draw_record(shape(DRAW_RECT, COLOR_BLACK, 0, -10, 10, 10, -10));
    InkBox box = changed_box(before, snapshot_frame());
    EXPECT_EQ(box.count, 21 * 21);
    EXPECT_EQ(box.left, ox() - 10);
    EXPECT_EQ(box.right, ox() + 10);
    EXPECT_EQ(box.top, oy() - 10);
    EXPECT_EQ(box.bottom, oy() + 10);
    EXPECT_EQ(library_state.frame_dirty, 1);
}

TEST_F(RendererTest, RectangleWithEqualCornersFillsOnePixel) {
    for (int width : {0, 1}) {
        fill_background();
        FrameSnapshot before = snapshot_frame();
        render_draw_record(shape(DRAW_RECT, COLOR_RED, width, 5, 7, 5, 7));
        FrameSnapshot after = snapshot_frame();
        InkBox box = changed_box(before, after);
        EXPECT_EQ(box.count, 1) << "width " << width;
        EXPECT_EQ(after.at(ox() + 5, oy() - 7), RED) << "width " << width;
    }
}

TEST_F(RendererTest, OutlinesLeaveTheInsideAlone) {
    // A red square, then a black outline on the same box. The outline's pen is centred on the
    // box edge, so a width-w outline reaches w/2 pixels outside the box.
    struct Case {
        int width;
        std::vector<std::string> row; // device columns L-2 .. L+4 on the middle row
    };
    const Case cases[] = {{2, {".##rrrr"}}, {3, {".###rrr"}}};
    for (const Case &c : cases) {
        fill_background();
        render_draw_record(shape(DRAW_RECT, COLOR_RED, 0, -10, 10, 10, -10));
        render_draw_record(shape(DRAW_RECT, COLOR_BLACK, c.width, -10, 10, 10, -10));
        int left = ox() - 10;
        EXPECT_EQ(pattern(left - 2, oy(), left + 4, oy()), c.row) << "width " << c.width;
        EXPECT_EQ(pixel_at(0, 0), RED) << "width " << c.width;
        EXPECT_EQ(pixel_at(10, 10), BLACK) << "width " << c.width;
        EXPECT_EQ(pixel_at(-10, -10), BLACK) << "width " << c.width;
        EXPECT_EQ(pixel_at(7, -7), RED) << "width " << c.width;
    }
}

TEST_F(RendererTest, SmallOvalsAreTheDiscsGdiPaints) {
    // GDI's ellipse in a 3 x 3 box leaves out the corners; in a 5 x 5 box likewise.
    render_draw_record(shape(DRAW_OVAL, COLOR_RED, 0, -1, 1, 1, -1));
    EXPECT_EQ(pattern(ox() - 2, oy() - 2, ox() + 2, oy() + 2),
              (std::vector<std::string>{".....", "..r..", ".rrr.", "..r..", "....."}));
    fill_background();
    render_draw_record(shape(DRAW_OVAL, COLOR_RED, 0, -2, 2, 2, -2));
    EXPECT_EQ(pattern(ox() - 3, oy() - 3, ox() + 3, oy() + 3),
              (std::vector<std::string>{".......", "..rrr..", ".rrrrr.", ".rrrrr.", ".rrrrr.", "..rrr..",
                                        "......."}));
    // A box of one pixel paints that pixel.
    fill_background();
    render_draw_record(shape(DRAW_OVAL, COLOR_RED, 0, 4, 4, 4, 4));
    EXPECT_EQ(pattern(ox() + 3, oy() - 5, ox() + 5, oy() - 3),
              (std::vector<std::string>{"...", ".r.", "..."}));
}

TEST_F(RendererTest, LineLeavesItsEndPointUnpainted) {
    render_draw_record(shape(DRAW_LINE, COLOR_BLACK, 1, 0, 0, 10, 0));
    EXPECT_EQ(pattern(ox() - 1, oy() - 1, ox() + 11, oy() + 1),
              (std::vector<std::string>{".............", ".##########..", "............."}));
}

TEST_F(RendererTest, TrianglesFilledAndOutlined) {
    render_draw_record(shape(DRAW_TRIANGLE, COLOR_BLACK, 0, -20, -20, 20, -20, 0, 20));
    EXPECT_EQ(pixel_at(0, -7), BLACK);
    EXPECT_EQ(pixel_at(0, 19), BLACK);
    EXPECT_EQ(pixel_at(-15, 15), WHITE);
    EXPECT_EQ(pixel_at(0, -22), WHITE);

    fill_background();
    render_draw_record(shape(DRAW_TRIANGLE, COLOR_RED, 1, -20, -20, 20, -20, 0, 20));
    EXPECT_EQ(pixel_at(0, -7), WHITE); // the hollow brush leaves the inside
    EXPECT_EQ(pixel_at(0, -20), RED);  // on the base
    EXPECT_EQ(pixel_at(-20, -20), RED);
    EXPECT_EQ(pixel_at(-10, 0), RED); // halfway up the left side
}

TEST_F(RendererTest, PixelRecordSetsOnePixel) {
    FrameSnapshot before = snapshot_frame();
    render_draw_record(shape(DRAW_PIXEL, COLOR_BLUE, 99, 3, 4));
    FrameSnapshot after = snapshot_frame();
    EXPECT_EQ(changed_box(before, after).count, 1);
    EXPECT_EQ(after.at(ox() + 3, oy() - 4), RGB(0, 0, 255));
}

TEST_F(RendererTest, UnknownKindsPaintNothingButMarkTheFrame) {
    FrameSnapshot before = snapshot_frame();
    for (uint32_t kind : {6u, 0xFFFFFFFFu}) {
        library_state.frame_dirty = 0;
        render_draw_record(shape(kind, COLOR_BLACK, 0, -50, 50, 50, -50, 0, 0));
        EXPECT_EQ(library_state.frame_dirty, 1) << kind;
    }
    EXPECT_TRUE(snapshot_frame() == before);
}

TEST_F(RendererTest, TextLinesLieOneLineHeightApart) {
    const int h = line_height(12, "AB\nCD");
    ASSERT_GT(h, 0);
    render_text(COLOR_BLACK, 0, 0, 12, "AB\nCD");
    FrameSnapshot both = snapshot_frame();

    fill_background();
    FrameSnapshot blank = snapshot_frame();
    render_text(COLOR_BLACK, 0, 0, 12, "AB");
    InkBox first = changed_box(blank, snapshot_frame());
    render_text(COLOR_BLACK, 0, -h, 12, "CD");
    EXPECT_TRUE(snapshot_frame() == both) << "AB\\nCD differs from AB with CD one line lower";

    // The first line sits on the anchor: its ink lies in the h rows above the anchor's row.
    ASSERT_FALSE(first.empty());
    EXPECT_GE(first.top, oy() - h);
    EXPECT_LT(first.bottom, oy());
    EXPECT_GE(first.left, ox());
    EXPECT_LT(first.left, ox() + 4);
}

TEST_F(RendererTest, TrailingLineBreakAddsAnEmptyLine) {
    render_text(COLOR_BLACK, -30, 20, 24, "AB");
    FrameSnapshot plain = snapshot_frame();
    fill_background();
    render_text(COLOR_BLACK, -30, 20, 24, "AB\n");
    EXPECT_TRUE(snapshot_frame() == plain);
}

TEST_F(RendererTest, EmptyTextPaintsNothingButMarksTheFrame) {
    FrameSnapshot before = snapshot_frame();
    render_text(COLOR_BLACK, 0, 0, 12, "");
    EXPECT_EQ(library_state.frame_dirty, 1);
    EXPECT_TRUE(snapshot_frame() == before);
}

TEST_F(RendererTest, TextIsPaintedInItsColourOnTransparentCells) {
    // On a blue square: an opaque cell would show the DC's white background colour.
    render_draw_record(shape(DRAW_RECT, COLOR_BLUE, 0, -40, 40, 40, -40));
    render_text(COLOR_RED, -30, 0, 24, "MW");
    int red = 0, white = 0;
    for (int y = -40; y <= 40; ++y)
        for (int x = -40; x <= 40; ++x) {
            red += pixel_at(x, y) == RED;
            white += pixel_at(x, y) == WHITE;
        }
    EXPECT_GT(red, 20);
    EXPECT_EQ(white, 0);
    EXPECT_EQ(GetTextColor(library_state.frame_dc), RED); // left in place
}

TEST_F(RendererTest, BackgroundIsWhiteWithinABlackBorder) {
    HBRUSH red = CreateSolidBrush(RED);
    RECT all = {0, 0, FRAME_WIDTH, FRAME_HEIGHT};
    FillRect(library_state.frame_dc, &all, red);
    DeleteObject(red);
    Selections before = current_selections();

    library_state.frame_dirty = 0;
    fill_background();
    FrameSnapshot s = snapshot_frame();
    EXPECT_EQ(library_state.frame_dirty, 1);
    EXPECT_TRUE(current_selections() == before);
    int border = 2 * FRAME_WIDTH + 2 * (FRAME_HEIGHT - 2);
    EXPECT_EQ(count_color(s, BLACK), border);
    EXPECT_EQ(count_color(s, WHITE), FRAME_WIDTH * FRAME_HEIGHT - border);
    for (int x : {0, 300, 600})
        EXPECT_EQ(s.at(x, 0), BLACK);
    for (int y : {0, 270, 539}) {
        EXPECT_EQ(s.at(0, y), BLACK);
        EXPECT_EQ(s.at(600, y), BLACK);
    }
    EXPECT_EQ(s.at(1, 1), WHITE);
    EXPECT_EQ(s.at(599, 538), WHITE);
}

TEST_F(RendererTest, EveryKindRestoresSelectionsAndDeletesWhatItMade) {
    Selections before = current_selections();
    win32::LiveCounts counts = win32::live_counts();
    for (int round = 0; round < 500; ++round) {
        for (int width : {0, 3}) {
            render_draw_record(shape(DRAW_TRIANGLE, round % 24, width, -5, -5, 5, -5, 0, 5));
            render_draw_record(shape(DRAW_RECT, round % 24, width, -5, 5, 5, -5));
            render_draw_record(shape(DRAW_OVAL, round % 24, width, -5, 5, 5, -5));
        }
        render_draw_record(shape(DRAW_LINE, round % 24, 2, -5, -5, 5, 5));
        render_draw_record(shape(DRAW_PIXEL, round % 24, 0, 1, 1));
        render_text(round % 24, 0, 0, round % 128, "text\nlines");
        fill_background();
    }
    EXPECT_TRUE(current_selections() == before);
    EXPECT_TRUE(win32::live_counts() == counts);
}

TEST_F(RendererTest, CornersAtTheEndsOfTheRangePaintWhatLiesInside) {
    const int total = FRAME_WIDTH * FRAME_HEIGHT;
    render_draw_record(shape(DRAW_RECT, COLOR_RED, 0, INT_MIN, INT_MAX, INT_MAX, INT_MIN));
    EXPECT_EQ(count_color(snapshot_frame(), RED), total);

    fill_background();
    render_draw_record(shape(DRAW_OVAL, COLOR_RED, 0, INT_MIN, INT_MAX, INT_MAX, INT_MIN));
    EXPECT_EQ(count_color(snapshot_frame(), RED), total);

    fill_background();
    render_draw_record(shape(DRAW_TRIANGLE, COLOR_RED, 0, INT_MIN, INT_MIN, INT_MAX, INT_MIN, 0, INT_MAX));
    EXPECT_EQ(count_color(snapshot_frame(), RED), total);

    // An outline whose edges all lie far outside paints nothing inside.
    fill_background();
    FrameSnapshot blank = snapshot_frame();
    render_draw_record(shape(DRAW_RECT, COLOR_RED, 5, INT_MIN, INT_MAX, INT_MAX, INT_MIN));
    render_draw_record(shape(DRAW_TRIANGLE, COLOR_RED, 5, INT_MIN, INT_MIN, INT_MAX, INT_MIN, 0, INT_MAX));
    render_draw_record(shape(DRAW_PIXEL, COLOR_RED, 0, INT_MAX, INT_MIN));
    render_text(COLOR_RED, INT_MAX, INT_MIN, 12, "far away\nand below");
    render_text(COLOR_RED, 0, INT_MAX, 12, "far above");
    EXPECT_TRUE(snapshot_frame() == blank);

    // Lines keep their direction when they are cut: the row and the diagonal through the origin.
    render_draw_record(shape(DRAW_LINE, COLOR_RED, 1, INT_MIN, 0, INT_MAX, 0));
    render_draw_record(shape(DRAW_LINE, COLOR_BLACK, 1, INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    FrameSnapshot s = snapshot_frame();
    for (int x = 1; x < FRAME_WIDTH - 1; ++x) {
        if (x == ox())
            continue; // the diagonal crosses here
        EXPECT_EQ(s.at(x, oy()), RED) << x;
    }
    for (int d = -200; d <= 200; ++d)
        EXPECT_EQ(s.at(ox() + d, oy() - d), BLACK) << d;
}
