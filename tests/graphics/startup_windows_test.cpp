// Start-up, the two windows, the frame buffer's way to the screen, and the ends of the run:
// closing or losing the graphics window ends it, the text window's end does not.
#include "library_fixture.h"

namespace {

std::string window_text(HWND hwnd) {
    char buffer[128] = {};
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

RECT window_rect(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return r;
}

void expect_rect(const RECT &r, int x, int y, int width, int height) {
    EXPECT_EQ(r.left, x);
    EXPECT_EQ(r.top, y);
    EXPECT_EQ(r.right - r.left, width);
    EXPECT_EQ(r.bottom - r.top, height);
}

void fill_frame(COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    RECT all = {0, 0, FRAME_WIDTH, FRAME_HEIGHT};
    FillRect(library_state.frame_dc, &all, brush);
    DeleteObject(brush);
}

} // namespace

using StartupTest = StartedLibrary;
using FreshStartupTest = FreshLibrary;

TEST_F(StartupTest, CreatesBothWindowsWithTheirTitlesSizesAndPlaces) {
    const LibraryState &s = library_state;
    ASSERT_TRUE(IsWindow(s.graphics_window));
    ASSERT_TRUE(IsWindow(s.text_window));
    EXPECT_EQ(window_text(s.graphics_window), "KELPA Graphics");
    EXPECT_EQ(window_text(s.text_window), "KELPA Text");
    expect_rect(window_rect(s.graphics_window), 0, 0, 601, 540);
    expect_rect(window_rect(s.text_window), 0, 550, 601, 768 / 4);
    EXPECT_TRUE(IsWindowVisible(s.graphics_window));
    EXPECT_TRUE(IsWindowVisible(s.text_window));
    EXPECT_NE(s.window_dc, nullptr);
    EXPECT_NE(s.frame_dc, nullptr);
    EXPECT_NE(s.frame_bitmap, nullptr);
    EXPECT_EQ(s.animating, 0);
    EXPECT_EQ(s.step_pending, 0);
    EXPECT_EQ(win32::live_counts().timers, 1);
}

TEST_F(StartupTest, RegistersBothClassesUnderTheirNames) {
    // A second registration of an existing class fails.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = library_state.instance;
    wc.lpszClassName = "DrawWndClass";
    EXPECT_EQ(RegisterClassA(&wc), 0);
    wc.lpszClassName = "TextWndClass";
    EXPECT_EQ(RegisterClassA(&wc), 0);
}

TEST_F(StartupTest, OriginIsTheCentreOfTheClientArea) {
    RECT client = {};
    GetClientRect(library_state.graphics_window, &client);
    EXPECT_EQ(library_state.origin_x, client.right / 2);
    EXPECT_EQ(library_state.origin_y, client.bottom / 2);
    // The headless display's frame: caption, menu bar and borders.
    EXPECT_EQ(library_state.origin_x, 300);
    EXPECT_EQ(library_state.origin_y, 260);
}

TEST_F(FreshStartupTest, TextWindowIsAQuarterOfTheScreenHigh) {
    headless::set_screen_size(1280, 1023);
    kelpa_startup();
    expect_rect(window_rect(library_state.text_window), 0, 550, 601, 1023 / 4);
}

TEST_F(FreshStartupTest, APreviousInstanceRegistersNothingAndStillCreatesBothWindows) {
    // The previous instance registered the classes; this one finds them in place.
    static int tag;
    library_state.instance = reinterpret_cast<HINSTANCE>(&tag);
    library_state.prev_instance = reinterpret_cast<HINSTANCE>(&tag);
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = graphics_window_proc;
    wc.hInstance = library_state.instance;
    wc.lpszClassName = "DrawWndClass";
    ASSERT_NE(RegisterClassA(&wc), 0);
    wc.lpfnWndProc = text_window_proc;
    wc.lpszClassName = "TextWndClass";
    ASSERT_NE(RegisterClassA(&wc), 0);

    const int objects_before = win32::live_counts().gdi_objects;
    const int bitmaps_and_brushes_of_a_start = 1; // the frame bitmap; no class brush
    EXPECT_EQ(kelpa_startup(), 1);
    EXPECT_TRUE(IsWindow(library_state.graphics_window));
    EXPECT_TRUE(IsWindow(library_state.text_window));
    EXPECT_NE(library_state.run_menu, nullptr);
    EXPECT_EQ(win32::live_counts().gdi_objects - objects_before, bitmaps_and_brushes_of_a_start);
}

TEST_F(StartupTest, PaintRedrawsTheWholeClientAreaFromTheFrameBuffer) {
    ASSERT_TRUE(dispatch_pending());
    const int x = library_state.origin_x, y = library_state.origin_y;
    fill_frame(RGB(0, 0, 255));
    present_frame();
    EXPECT_EQ(headless::pixel(library_state.graphics_window, x, y), RGB(0, 0, 255));

    // Drawn but not presented: only a paint message brings it to the screen, dirty or not.
    fill_frame(RGB(0, 128, 0));
    library_state.frame_dirty = 1;
    EXPECT_EQ(headless::pixel(library_state.graphics_window, x, y), RGB(0, 0, 255));
    RECT corner = {0, 0, 2, 2};
    InvalidateRect(library_state.graphics_window, &corner, FALSE);
    ASSERT_TRUE(dispatch_pending());
    EXPECT_EQ(headless::pixel(library_state.graphics_window, x, y), RGB(0, 128, 0));
    EXPECT_EQ(library_state.frame_dirty, 0);

    fill_frame(RGB(255, 0, 0));
    InvalidateRect(library_state.graphics_window, nullptr, FALSE);
    ASSERT_TRUE(dispatch_pending());
    EXPECT_EQ(headless::pixel(library_state.graphics_window, 0, 0), RGB(255, 0, 0));
}

TEST_F(StartupTest, TheFirstDispatchedMessagePresentsTheFrame) {
    fill_frame(RGB(255, 255, 0));
    library_state.frame_dirty = 1;
    PostMessageA(library_state.graphics_window, WM_NULL, 0, 0);
    pump_message();
    EXPECT_EQ(library_state.frame_dirty, 0);
    EXPECT_EQ(headless::pixel(library_state.graphics_window, 10, 10), RGB(255, 255, 0));
}

// The close box, and the host destroying a window (its window manager, or the display server
// going away), end a window alike.
struct WindowEnd {
    const char *name;
    void (*end)(HWND);
};
void PrintTo(const WindowEnd &e, std::ostream *os) {
    *os << e.name;
}
class WindowEndTest : public StartedLibrary, public ::testing::WithParamInterface<WindowEnd> {};

TEST_P(WindowEndTest, EndingTheGraphicsWindowEndsTheRun) {
    kelpa_set_run_mode(RUN_ANIMATE);
    GetParam().end(library_state.graphics_window);
    int x = -1, y = -1;
    char key = 'z';
    EXPECT_EQ(kelpa_next_event(x, y, key), KELPA_QUIT);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(key, 0);
    EXPECT_FALSE(IsWindow(library_state.graphics_window));
    EXPECT_TRUE(IsWindow(library_state.text_window)); // stays until the process ends
    EXPECT_EQ(win32::live_counts().timers, 0);
}

TEST_P(WindowEndTest, EndingTheTextWindowLeavesTheProgramRunning) {
    kelpa_set_run_mode(RUN_ANIMATE);
    GetParam().end(library_state.text_window);
    int x, y;
    char key;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(kelpa_next_event(x, y, key), KELPA_PERIODIC);
    EXPECT_FALSE(IsWindow(library_state.text_window));
    // Logging, showing and repainting a window that is gone have no effect.
    kelpa_log("still here\n");
    EXPECT_EQ(kelpa_set_logging(1), 1);
    EXPECT_EQ(kelpa_next_event(x, y, key), KELPA_PERIODIC);
    EXPECT_EQ(log_lines().back(), "still here\n");
}

INSTANTIATE_TEST_SUITE_P(Ends, WindowEndTest,
                         ::testing::Values(WindowEnd{"CloseBox", headless::close},
                                           WindowEnd{"DestroyedByTheHost", headless::host_destroy}),
                         [](const ::testing::TestParamInfo<WindowEnd> &info) { return info.param.name; });

TEST_F(StartupTest, AHostFrameKeepsTheOuterSizeAndTheOriginFollowsTheClientArea) {
    // A window manager's title bar of 20 pixels and borders of 1.
    HWND graphics = library_state.graphics_window;
    headless::host_frame(graphics, 1, 20, 1, 1);
    expect_rect(window_rect(graphics), 0, 0, 601, 540);
    RECT client = {};
    GetClientRect(graphics, &client);
    EXPECT_EQ(client.right, 599);
    EXPECT_EQ(client.bottom, 540 - 21 - 20); // and the menu bar
    EXPECT_EQ(library_state.origin_x, 299);
    EXPECT_EQ(library_state.origin_y, 249);
    headless::click(graphics, 299 + 10, 249 - 20);
    int x, y;
    char key;
    EXPECT_EQ(kelpa_next_event(x, y, key), KELPA_MOUSE);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
}

TEST_F(StartupTest, ShowLogWindowShowsAndHides) {
    kelpa_show_log_window(0);
    EXPECT_FALSE(IsWindowVisible(library_state.text_window));
    EXPECT_EQ(kelpa_show_log_window(1), 0); // it was hidden
    EXPECT_TRUE(IsWindowVisible(library_state.text_window));
}

TEST_F(StartupTest, ShutdownReleasesTheWindowContextAndClosesTheScript) {
    const int dcs = win32::live_counts().dcs;
    EXPECT_EQ(kelpa_shutdown(), 1);
    EXPECT_EQ(win32::live_counts().dcs, dcs - 1);
    EXPECT_EQ(library_state.script_file, nullptr);
}
