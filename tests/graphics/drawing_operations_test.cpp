// The public drawing operations: their corrections and description lines in the order they
// are written, logging on and off, and what each paints.
#include "drawing_test_pixels.h"

using Lines = std::vector<std::string>;
using DrawingOperationsTest = DrawingTest;

TEST_F(DrawingOperationsTest, CircleCorrectsColourThenRadiusAndFillsItsBox) {
    library_state.logging = 1;
    EXPECT_EQ(kelpa_circle(99, 0, 0, -1), 1);
    EXPECT_EQ(log_lines(),
              (Lines{"Illegal color 99; using RED.\n", "Radius of -1 not possible, using radius 1\n",
                     "red circle at (0,0), radius 1\n"}));
    // The reference GDI paints a 3 x 3 ellipse box as a plus.
    EXPECT_EQ(pattern(ox() - 2, oy() - 2, ox() + 2, oy() + 2),
              (Lines{".....", "..r..", ".rrr.", "..r..", "....."}));
    EXPECT_EQ(library_state.frame_dirty, 1);
}

TEST_F(DrawingOperationsTest, DiscBoxIsTwiceTheRadiusPlusOne) {
    FrameSnapshot before = snapshot_frame();
    kelpa_circle(COLOR_BLACK, 30, -20, 10);
    InkBox box = changed_box(before, snapshot_frame());
    EXPECT_EQ(box.left, ox() + 20);
    EXPECT_EQ(box.right, ox() + 40);
    EXPECT_EQ(box.top, oy() + 10);
    EXPECT_EQ(box.bottom, oy() + 30);
    EXPECT_EQ(pixel_at(30, -20), BLACK);
}

TEST_F(DrawingOperationsTest, RectangleSortsItsCorners) {
    library_state.logging = 1;
    EXPECT_EQ(kelpa_rect(0, 10, -10, -10, 10, 0), 1);
    FrameSnapshot swapped = snapshot_frame();
    fill_background();
    kelpa_rect(0, -10, 10, 10, -10, 0);
    FrameSnapshot ordered = snapshot_frame();
    EXPECT_TRUE(swapped == ordered);
    EXPECT_EQ(count_color(ordered, BLACK), 21 * 21 + 2 * FRAME_WIDTH + 2 * (FRAME_HEIGHT - 2));
    EXPECT_EQ(log_lines(), (Lines{"black rectangle with bounding box (-10,10) to (10,-10), filled\n",
                                  "black rectangle with bounding box (-10,10) to (10,-10), filled\n"}));
}

TEST_F(DrawingOperationsTest, RectangleOutlineKeepsTheInsideAndLogsItsWidth) {
    library_state.logging = 1;
    kelpa_rect(COLOR_RED, -20, 20, 20, -20, 0);
    kelpa_rect(COLOR_BLACK, 20, -20, -20, 20, -2);
    EXPECT_EQ(pixel_at(0, 0), RED);
    EXPECT_EQ(pixel_at(17, 17), RED);
    EXPECT_EQ(pixel_at(20, 20), BLACK);
    EXPECT_EQ(pixel_at(-20, 0), BLACK);
    EXPECT_EQ(log_lines(),
              (Lines{"red rectangle with bounding box (-20,20) to (20,-20), filled\n",
                     "Width of -2 not possible, using width 2\n",
                     "black rectangle with bounding box (-20,20) to (20,-20) with line width 2\n"}));
}

TEST_F(DrawingOperationsTest, LineCorrectsWidthBeforeColour) {
    library_state.logging = 1;
    EXPECT_EQ(kelpa_line(50, -40, 0, 40, 0, -3), 1);
    EXPECT_EQ(log_lines(),
              (Lines{"Width of -3 not possible, using width 3\n", "Illegal color 50; using RED.\n",
                     "red line from (-40,0) to (40,0), width 3\n"}));
    // Three pixels across, centred on the line.
    EXPECT_EQ(pattern(ox(), oy() - 2, ox(), oy() + 2), (Lines{".", "r", "r", "r", "."}));
}

TEST_F(DrawingOperationsTest, LineOfWidthZeroIsLoggedAsZeroAndDrawnOnePixelWide) {
    library_state.logging = 1;
    kelpa_line(COLOR_BLACK, 0, 0, 10, 0, 0);
    EXPECT_EQ(log_lines(), (Lines{"black line from (0,0) to (10,0), width 0\n"}));
    EXPECT_EQ(pattern(ox() - 1, oy() - 1, ox() + 11, oy() + 1),
              (Lines{".............", ".##########..", "............."}));
}

TEST_F(DrawingOperationsTest, LineKeepsItsPointsInTheirOrder) {
    library_state.logging = 1;
    kelpa_line(COLOR_BLACK, 10, 0, 0, 0, 1); // drawn towards the origin, which stays unpainted
    EXPECT_EQ(log_lines(), (Lines{"black line from (10,0) to (0,0), width 1\n"}));
    EXPECT_EQ(pattern(ox() - 1, oy(), ox() + 11, oy()), (Lines{"..##########."}));
}

TEST_F(DrawingOperationsTest, TextSizeCorrectionsComeSignFirstThenTheCap) {
    library_state.logging = 1;
    EXPECT_EQ(kelpa_text(COLOR_BLACK, 0, 0, -200, "A"), 1);
    kelpa_text(COLOR_BLACK, 0, 0, 128, "B");
    kelpa_text(COLOR_BLACK, 0, 0, 127, "C");
    kelpa_text(77, 0, 0, 0, "D");
    EXPECT_EQ(log_lines(), (Lines{
                               "ptsize of -200 not possible, using ptsize 200\n",
                               "ptsize of 200 not possible, using ptsize 127\n",
                               "black text at (0,0), \"A\"\n",
                               "ptsize of 128 not possible, using ptsize 127\n",
                               "black text at (0,0), \"B\"\n",
                               "black text at (0,0), \"C\"\n",
                               "Illegal color 77; using RED.\n",
                               "red text at (0,0), \"D\"\n",
                           }));
}

TEST_F(DrawingOperationsTest, CorrectedTextSizeDrawsAsTheCap) {
    kelpa_text(COLOR_BLACK, -200, -100, -200, "Wg");
    FrameSnapshot corrected = snapshot_frame();
    fill_background();
    kelpa_text(COLOR_BLACK, -200, -100, 127, "Wg");
    EXPECT_TRUE(snapshot_frame() == corrected);
}

TEST_F(DrawingOperationsTest, EmptyTextPaintsNothingAndFreesItsBlock) {
    FrameSnapshot before = snapshot_frame();
    win32::LiveCounts counts = win32::live_counts();
    EXPECT_EQ(kelpa_text(COLOR_BLACK, 0, 0, 12, ""), 1);
    EXPECT_EQ(library_state.frame_dirty, 1);
    EXPECT_TRUE(snapshot_frame() == before);
    EXPECT_TRUE(win32::live_counts() == counts);
}

TEST_F(DrawingOperationsTest, PrintfFormatsIntoTheTextAndCountsItsCharacters) {
    library_state.logging = 1;
    EXPECT_EQ(kelpa_text_printf(COLOR_BLACK, -100, 50, 24, " Health %d", 50), 10);
    FrameSnapshot printed = snapshot_frame();
    EXPECT_EQ(log_lines(), (Lines{"black text at (-100,50), \" Health 50\"\n"}));
    fill_background();
    kelpa_text(COLOR_BLACK, -100, 50, 24, " Health 50");
    EXPECT_TRUE(snapshot_frame() == printed);
}

TEST_F(DrawingOperationsTest, WithLoggingOffOnlyCorrectionsAreWritten) {
    kelpa_circle(COLOR_BLACK, 0, 0, 3);
    kelpa_rect(COLOR_BLACK, 0, 0, 5, 5, 1);
    kelpa_line(COLOR_BLACK, 0, 0, 5, 5, 1);
    kelpa_text(COLOR_BLACK, 0, 0, 12, "quiet");
    kelpa_text_printf(COLOR_BLACK, 0, 0, 12, "%d", 7);
    kelpa_clear();
    EXPECT_TRUE(log_lines().empty());

    kelpa_circle(-1, 0, 0, -4);
    kelpa_rect(COLOR_BLACK, 0, 0, 5, 5, -1);
    kelpa_line(24, 0, 0, 5, 5, -6);
    kelpa_text_printf(COLOR_BLACK, 0, 0, -130, "%s", "loud");
    EXPECT_EQ(log_lines(), (Lines{
                               "Illegal color -1; using RED.\n",
                               "Radius of -4 not possible, using radius 4\n",
                               "Width of -1 not possible, using width 1\n",
                               "Width of -6 not possible, using width 6\n",
                               "Illegal color 24; using RED.\n",
                               "ptsize of -130 not possible, using ptsize 130\n",
                               "ptsize of 130 not possible, using ptsize 127\n",
                           }));
}

TEST_F(DrawingOperationsTest, ClearLogsItsLineAndPaintsTheBackground) {
    kelpa_rect(COLOR_RED, -300, 300, 300, -300, 0);
    library_state.logging = 1;
    library_state.frame_dirty = 0;
    EXPECT_EQ(kelpa_clear(), 1);
    EXPECT_EQ(log_lines(), (Lines{"Clearing the graphics window\n"}));
    EXPECT_EQ(library_state.frame_dirty, 1);
    FrameSnapshot s = snapshot_frame();
    EXPECT_EQ(count_color(s, RED), 0);
    EXPECT_EQ(s.at(0, 0), BLACK);
    EXPECT_EQ(s.at(300, 270), WHITE);
}
