// The drawing operations at their limits: sizes of INT_MIN, coordinates at the ends of the
// 32-bit range, a formatted text longer than its buffer, a text block that cannot be had,
// and thousands of drawings that must leave no GDI object or memory block behind.
#include "drawing_test_pixels.h"

#include <climits>

using Lines = std::vector<std::string>;
using DrawingMendsTest = DrawingTest;

TEST_F(DrawingMendsTest, SizesOfIntMinBecomeIntMax) {
    const int total = FRAME_WIDTH * FRAME_HEIGHT;
    kelpa_circle(COLOR_RED, 0, 0, INT_MIN);
    EXPECT_EQ(count_color(snapshot_frame(), RED), total); // a disc larger than everything

    // Pens wider than the frame buffer cover all of it around so small a box.
    fill_background();
    kelpa_rect(COLOR_RED, -5, 5, 5, -5, INT_MIN);
    EXPECT_EQ(pixel_at(250, 200), RED);
    fill_background();
    kelpa_line(COLOR_RED, -5, 0, 5, 0, INT_MIN);
    EXPECT_EQ(pixel_at(-250, -200), RED);

    kelpa_text(COLOR_BLACK, 0, 0, INT_MIN, "big");
    EXPECT_EQ(log_lines(), (Lines{
                               "Radius of -2147483648 not possible, using radius 2147483647\n",
                               "Width of -2147483648 not possible, using width 2147483647\n",
                               "Width of -2147483648 not possible, using width 2147483647\n",
                               "ptsize of -2147483648 not possible, using ptsize 2147483647\n",
                               "ptsize of 2147483647 not possible, using ptsize 127\n",
                           }));
}

TEST_F(DrawingMendsTest, HugeCoordinatesDrawWhatLiesInsideTheFrame) {
    const int total = FRAME_WIDTH * FRAME_HEIGHT;
    kelpa_rect(COLOR_RED, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0);
    EXPECT_EQ(count_color(snapshot_frame(), RED), total);

    // The disc around (INT_MAX, INT_MAX) through (0, INT_MAX) and (INT_MAX, 0) passes far
    // outside; so do the texts, and the outline of the huge rectangle.
    fill_background();
    FrameSnapshot blank = snapshot_frame();
    kelpa_circle(COLOR_RED, INT_MAX, INT_MAX, INT_MAX);
    kelpa_circle(COLOR_RED, INT_MIN, INT_MIN, INT_MAX);
    kelpa_rect(COLOR_RED, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 3);
    kelpa_text(COLOR_RED, INT_MIN, INT_MIN, 127, "far\naway");
    kelpa_text(COLOR_RED, INT_MAX, INT_MAX, 127, "far\naway");
    kelpa_text_printf(COLOR_RED, 0, INT_MIN, 127, "%s", "below");
    EXPECT_TRUE(snapshot_frame() == blank);

    // A disc of the largest radius on the origin covers the frame; the anti-diagonal from
    // corner to corner of the range runs through the origin.
    kelpa_circle(COLOR_BLACK, -INT_MAX, 0, INT_MAX);
    kelpa_line(COLOR_RED, -INT_MAX, INT_MAX, INT_MAX, -INT_MAX, 1);
    FrameSnapshot s = snapshot_frame();
    EXPECT_EQ(s.at(1, oy()), BLACK) << "the left edge of the disc passes through the origin";
    EXPECT_EQ(s.at(ox() + 5, oy()), WHITE);
    for (int d = -200; d <= 200; ++d)
        EXPECT_EQ(s.at(ox() + d, oy() + d), RED) << d;
}

TEST_F(DrawingMendsTest, PrintfCutsALongTextAtItsBuffer) {
    std::string long_text(2000, 'x');
    EXPECT_EQ(kelpa_text_printf(COLOR_BLACK, -290, 0, 8, "%s", long_text.c_str()), 1023);
    FrameSnapshot cut = snapshot_frame();
    fill_background();
    kelpa_text(COLOR_BLACK, -290, 0, 8, std::string(1023, 'x').c_str());
    EXPECT_TRUE(snapshot_frame() == cut);

    // Exactly 1023 characters fit; 1024 are cut by one.
    EXPECT_EQ(kelpa_text_printf(COLOR_BLACK, 0, 0, 8, "%s", std::string(1023, 'y').c_str()), 1023);
    EXPECT_EQ(kelpa_text_printf(COLOR_BLACK, 0, 0, 8, "%s!", std::string(1023, 'y').c_str()), 1023);
    EXPECT_EQ(kelpa_text_printf(COLOR_BLACK, 0, 0, 8, "%s", ""), 0);
}

TEST_F(DrawingMendsTest, TextWithoutItsMemoryBlockDrawsNothing) {
    FrameSnapshot before = snapshot_frame();
    int blocks = win32::live_counts().memory_blocks;
    win32::fail_next_memory_block();
    EXPECT_EQ(kelpa_text(COLOR_BLACK, 0, 0, 24, "lost"), 1);
    EXPECT_EQ(log_lines(), (Lines{"Cannot allocate memory for text\n"}));
    EXPECT_TRUE(snapshot_frame() == before);
    EXPECT_EQ(win32::live_counts().memory_blocks, blocks + 1); // the log line's own block

    // With logging on the description comes first; its block is the first allocation.
    message_log = MessageLog{};
    library_state.logging = 1;
    win32::fail_next_memory_block(1);
    EXPECT_EQ(kelpa_text_printf(COLOR_BLACK, 0, 0, 24, "%s", "lost"), 4);
    EXPECT_EQ(log_lines(), (Lines{"black text at (0,0), \"lost\"\n", "Cannot allocate memory for text\n"}));
    EXPECT_TRUE(snapshot_frame() == before);
}

TEST_F(DrawingMendsTest, ThousandsOfDrawingsLeaveNothingBehind) {
    HDC dc = library_state.frame_dc;
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    int bk_mode = GetBkMode(dc);
    win32::LiveCounts counts = win32::live_counts();
    for (int i = 0; i < 2000; ++i) {
        int color = i % COLOR_COUNT;
        kelpa_circle(color, i % 200 - 100, i % 150 - 75, i % 30);
        kelpa_rect(color, -i % 250, i % 200, i % 250, -i % 200, i % 6);
        kelpa_line(color, -i % 280, i % 230, i % 280, -i % 230, i % 6);
        kelpa_text(color, -200, i % 200, i % 128, "Score\n123");
        kelpa_text_printf(color, 0, -i % 200, 12, "Health %d", i);
        if (i % 100 == 0)
            kelpa_clear();
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetBkMode(dc), bk_mode);
    EXPECT_TRUE(win32::live_counts() == counts);
    EXPECT_TRUE(log_lines().empty());
}
