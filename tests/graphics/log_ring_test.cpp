// The message log's ring of 25 lines and its memory blocks, the cut of an overlong line, a
// failed allocation, and what the painted text window shows.
#include "library_fixture.h"

#include <string>

namespace {

void log_numbered(int from, int to) {
    for (int i = from; i <= to; ++i)
        kelpa_log("line %d\n", i);
}

std::string numbered(int i) {
    return "line " + std::to_string(i) + "\n";
}

int line_height() {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    DeleteDC(dc);
    return tm.tmHeight + tm.tmExternalLeading;
}

// Dark pixels the text window shows in client rows [top, bottom).
int dark_pixels(HWND hwnd, int top, int bottom) {
    RECT client = {};
    GetClientRect(hwnd, &client);
    int dark = 0;
    for (int y = top < 0 ? 0 : top; y < bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            if (headless::pixel(hwnd, x, y) == RGB(0, 0, 0))
                ++dark;
    return dark;
}

} // namespace

using LogRingTest = FreshLibrary;

TEST_F(LogRingTest, FillsToTwentyFiveLinesThenReplacesTheOldest) {
    const int blocks = win32::live_counts().memory_blocks;
    log_numbered(1, 25);
    EXPECT_EQ(message_log.log_first, 0);
    EXPECT_EQ(message_log.log_next, 0);
    EXPECT_EQ(win32::live_counts().memory_blocks - blocks, 25);
    EXPECT_EQ(log_lines().front(), numbered(1));
    EXPECT_EQ(log_lines().back(), numbered(25));

    kelpa_log("line %d\n", 26);
    EXPECT_EQ(message_log.log_first, 1);
    EXPECT_EQ(message_log.log_next, 1);
    EXPECT_EQ(win32::live_counts().memory_blocks - blocks, 25); // line 1's block was freed
    const std::vector<std::string> lines = log_lines();
    ASSERT_EQ(lines.size(), 25u);
    EXPECT_EQ(lines.front(), numbered(2));
    EXPECT_EQ(lines.back(), numbered(26));
}

TEST_F(LogRingTest, EachLineOwnsABlockOfItsLengthPlusOne) {
    EXPECT_EQ(kelpa_log("%s and %d\n", "six", 6), 10);
    EXPECT_EQ(GlobalSize(message_log.log_lines[0]), 11u);
    kelpa_log("%s", "");
    EXPECT_EQ(log_lines().size(), 2u); // an empty message has a slot of its own
    EXPECT_EQ(log_lines().back(), "");
}

TEST_F(LogRingTest, ReturnsTheCountTheFormattingReturned) {
    EXPECT_EQ(kelpa_log("a%cb\n", 0), 4); // the NUL ends the stored line, not the count
    EXPECT_EQ(log_lines().back(), "a");
    EXPECT_EQ(GlobalSize(message_log.log_lines[0]), 2u);
}

TEST_F(LogRingTest, AnOverlongMessageIsCutTo1023Characters) {
    const std::string text(2000, 'x');
    EXPECT_EQ(kelpa_log("%s\n", text.c_str()), 1023);
    ASSERT_EQ(log_lines().size(), 1u);
    EXPECT_EQ(log_lines()[0], std::string(1023, 'x'));
    EXPECT_EQ(GlobalSize(message_log.log_lines[0]), 1024u);
}

TEST_F(LogRingTest, AFailedAllocationDropsTheLineAndKeepsTheRing) {
    win32::fail_next_memory_block();
    kelpa_log("lost\n");
    EXPECT_EQ(message_log.log_first, -1);
    EXPECT_EQ(message_log.log_next, 0);
    EXPECT_EQ(message_log.log_lines[0], nullptr);

    log_numbered(1, 25);
    const int blocks = win32::live_counts().memory_blocks;
    win32::fail_next_memory_block();
    kelpa_log("lost too\n");
    EXPECT_EQ(win32::live_counts().memory_blocks, blocks);
    EXPECT_EQ(message_log.log_first, 0);
    EXPECT_EQ(message_log.log_next, 0);
    EXPECT_EQ(log_lines().front(), numbered(1)); // the oldest line kept

    kelpa_log("line %d\n", 26);
    EXPECT_EQ(log_lines().front(), numbered(2));
    EXPECT_EQ(log_lines().back(), numbered(26));
    EXPECT_EQ(win32::live_counts().memory_blocks, blocks);
}

using TextWindowTest = StartedLibrary;

TEST_F(TextWindowTest, EmptyLogPaintsOnlyTheBackground) {
    ASSERT_TRUE(dispatch_pending());
    RECT client = {};
    GetClientRect(library_state.text_window, &client);
    EXPECT_EQ(dark_pixels(library_state.text_window, 0, client.bottom), 0);
}

TEST_F(TextWindowTest, NewestLineEndsAtTheBottomEdge) {
    ASSERT_TRUE(dispatch_pending());
    RECT client = {};
    GetClientRect(library_state.text_window, &client);
    const int h = line_height();
    ASSERT_GT(h, 0);
    ASSERT_GT(client.bottom, 3 * h);

    kelpa_log("WWWWWWWW\n");
    ASSERT_TRUE(dispatch_pending());
    EXPECT_GT(dark_pixels(library_state.text_window, client.bottom - h, client.bottom), 0);
    EXPECT_EQ(dark_pixels(library_state.text_window, 0, client.bottom - h), 0);

    // A newer line pushes it up by one line height.
    kelpa_log("%s", "");
    ASSERT_TRUE(dispatch_pending());
    EXPECT_EQ(dark_pixels(library_state.text_window, client.bottom - h, client.bottom), 0);
    EXPECT_GT(dark_pixels(library_state.text_window, client.bottom - 2 * h, client.bottom - h), 0);
    EXPECT_EQ(dark_pixels(library_state.text_window, 0, client.bottom - 2 * h), 0);
}

TEST_F(TextWindowTest, PaintingFreesEverythingItCreates) {
    log_numbered(1, 30);
    ASSERT_TRUE(dispatch_pending());
    const win32::LiveCounts before = win32::live_counts();
    for (int i = 0; i < 3; ++i) {
        kelpa_log("more\n");
        ASSERT_TRUE(dispatch_pending());
    }
    EXPECT_EQ(win32::live_counts(), before);
}

TEST_F(TextWindowTest, PaintingSurvivesFailedAllocations) {
    kelpa_log("text\n");
    win32::fail_next_dc();
    ASSERT_TRUE(dispatch_pending());
    win32::fail_next_gdi_object();
    InvalidateRect(library_state.text_window, nullptr, TRUE);
    ASSERT_TRUE(dispatch_pending());
    const win32::LiveCounts before = win32::live_counts();
    InvalidateRect(library_state.text_window, nullptr, TRUE);
    ASSERT_TRUE(dispatch_pending());
    EXPECT_EQ(win32::live_counts(), before);
}

TEST_F(LogRingTest, ALineLoggedBeforeStartUpShowsOnceTheWindowPaints) {
    kelpa_log("WWWW\n");
    static int tag;
    library_state.instance = reinterpret_cast<HINSTANCE>(&tag);
    library_state.show_mode = SW_SHOWDEFAULT;
    kelpa_startup();
    ASSERT_TRUE(dispatch_pending());
    const int h = line_height();
    RECT client = {};
    GetClientRect(library_state.text_window, &client);
    EXPECT_GT(dark_pixels(library_state.text_window, client.bottom - h, client.bottom), 0);
}

// With no font at all the text window stays blank: every line it cannot show goes to
// standard error as well, those kept so far when a paint first finds that out, then each new
// one as it comes, and none twice.
TEST_F(TextWindowTest, LinesItCannotShowGoToStandardError) {
    ::testing::internal::CaptureStderr();
    kelpa_log("shown\n");
    ASSERT_TRUE(dispatch_pending());
    win32::withhold_fonts();
    kelpa_log("Cannot open script file %s for writing\n", "KELPA.SCR");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(dispatch_pending());
    kelpa_log("no newline");
    InvalidateRect(library_state.text_window, nullptr, TRUE);
    ASSERT_TRUE(dispatch_pending());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "shown\nCannot open script file KELPA.SCR for writing\nno newline\n");
    RECT client = {};
    GetClientRect(library_state.text_window, &client);
    EXPECT_EQ(dark_pixels(library_state.text_window, 0, client.bottom), 0);
}
