// Input injected through the headless display: where it falls among posted messages, how
// clicks are packed, the close box, and a resize from the host (bounded, and one whose
// surface cannot be had).
#include "../win32/win32_test_support.h"

#include "input.h"
#include "win32_internal.h"
#include "win32_surface.h"
#include "win32_audit.h"
#include "win32_headless.h"

namespace {

class HeadlessInput : public Win32Test {
  protected:
    void SetUp() override {
        headless::reset();
        Win32Test::SetUp();
        watched.insert(watched.end(), {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_KEYDOWN, WM_KEYUP});
    }
    void TearDown() override {
        Win32Test::TearDown();
        headless::reset();
    }
    const Received &last(UINT message) {
        for (auto it = received.rbegin(); it != received.rend(); ++it)
            if (it->message == message)
                return *it;
        static const Received none{};
        ADD_FAILURE() << "no " << message_name(message) << " received";
        return none;
    }
};

// A translated WM_CHAR is posted, so it comes before the key-up that is still queued input.
TEST_F(HeadlessInput, InputComesAfterPostedMessagesAndInOrder) {
    HWND h = create(true);
    headless::click(h, 5, 6);
    PostMessageA(h, WM_USER + 1, 0, 0);
    headless::key(h, 'A');
    PostMessageA(h, WM_USER + 2, 0, 0);
    PostQuitMessage(0);
    EXPECT_EQ(sequence(pump()), sequence({WM_USER + 1, WM_USER + 2, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN,
                                          WM_CHAR, WM_KEYUP, WM_QUIT}));
}

TEST_F(HeadlessInput, ClicksArePackedInClientCoordinates) {
    HWND h = create(true);
    headless::click(h, 10, 20);
    pump();
    EXPECT_EQ(last(WM_LBUTTONDOWN).lparam, MAKELPARAM(10, 20));
    EXPECT_EQ(last(WM_LBUTTONDOWN).wparam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(last(WM_LBUTTONUP).wparam, 0u);

    // Left of and above the client area: 16-bit two's complement, as MAKELPARAM packs it.
    headless::mouse_move(h, -3, -4);
    pump();
    LPARAM l = last(WM_MOUSEMOVE).lparam;
    EXPECT_EQ(static_cast<short>(LOWORD(l)), -3);
    EXPECT_EQ(static_cast<short>(HIWORD(l)), -4);
}

TEST_F(HeadlessInput, TheMenuBarShiftsClientCoordinates) {
    HWND h = create(true);
    SetMenu(h, CreateMenu());
    settle(h);
    headless::click(h, 7, 8);                            // client coordinates
    win32::input_mouse_button(h, WM_LBUTTONDOWN, 3, 25); // screen-surface coordinates
    win32::input_mouse_button(h, WM_LBUTTONDOWN, 3, 5);  // on the bar itself
    EXPECT_EQ(sequence(pump()), sequence({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN}));
    EXPECT_EQ(last(WM_LBUTTONDOWN).lparam, MAKELPARAM(3, 25 - 20));
    EXPECT_EQ(received[0].lparam, MAKELPARAM(7, 8));
}

TEST_F(HeadlessInput, TheCloseBoxDestroysThroughDefaultHandling) {
    HWND h = create(true);
    headless::close(h);
    EXPECT_TRUE(IsWindow(h)) << "nothing happens before the message loop runs";
    pump();
    EXPECT_EQ(sequence(take_received(h)), sequence({WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(HeadlessInput, InputForADestroyedWindowIsDropped) {
    HWND a = create(true);
    HWND b = create(true);
    headless::click(a, 1, 1);
    headless::key(b, 'B');
    DestroyWindow(a);
    headless::click(a, 1, 1);
    received.clear();
    EXPECT_EQ(sequence(pump()), sequence({WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
}

TEST_F(HeadlessInput, AHostResizeReportsTheNewClientSize) {
    HWND h = create(true);
    win32::input_resized(h, 300, 210);
    pump();
    EXPECT_EQ(last(WM_SIZE).lparam, MAKELPARAM(300, 210));
    EXPECT_EQ(count_received(WM_PAINT), 1);
    RECT rc;
    GetClientRect(h, &rc);
    EXPECT_EQ(rc.right, 300);
    EXPECT_EQ(rc.bottom, 210);
}

// Another client may size a host window far past the screen; the window stays within its
// largest tracking size (the procedure's word, asked at every resize), and storage for a
// size left behind is given back.
TEST_F(HeadlessInput, AHostResizeIsHeldToTheTrackingSizes) {
    HWND h = create(true);
    headless::host_frame(h, 1, 20, 1, 1);
    const int max_w = GetSystemMetrics(SM_CXMAXTRACK), max_h = GetSystemMetrics(SM_CYMAXTRACK);
    win32::input_resized(h, 32000, 32000);
    pump();
    RECT outer;
    GetWindowRect(h, &outer);
    EXPECT_EQ(outer.right - outer.left, max_w);
    EXPECT_EQ(outer.bottom - outer.top, max_h);
    EXPECT_EQ(last(WM_SIZE).lparam, MAKELPARAM(max_w - 2, max_h - 21));

    handler = [](HWND, UINT msg, WPARAM, LPARAM l, LRESULT *) {
        if (msg == WM_GETMINMAXINFO)
            reinterpret_cast<MINMAXINFO *>(l)->ptMaxTrackSize = POINT{400, 300};
        return false;
    };
    win32::input_resized(h, 500, 500);
    pump();
    EXPECT_EQ(last(WM_SIZE).lparam, MAKELPARAM(400 - 2, 300 - 21));
    const win32::Surface *screen = win32::window_screen(h, nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->pixels.capacity(), size_t{398} * 279) << "storage of just the new size";
}

// Out of memory for a new surface, a window the host grows keeps its size and picture, and
// a window cannot be created; everything else goes on.
TEST_F(HeadlessInput, AWindowSurfaceThatCannotBeHadLeavesTheWindowAsItWas) {
    HWND h = create(true);
    HDC dc = GetDC(h);
    RECT box{5, 5, 10, 10};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &box, red);
    DeleteObject(red);
    ReleaseDC(h, dc);
    RECT before, after;
    GetClientRect(h, &before);

    win32::fail_next_window_surface();
    win32::input_resized(h, 400, 300);
    pump();
    EXPECT_EQ(count_received(WM_SIZE), 0);
    GetClientRect(h, &after);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_EQ(headless::pixel(h, 7, 7), RGB(255, 0, 0));

    win32::fail_next_window_surface();
    EXPECT_FALSE(create());
    EXPECT_EQ(win32::live_counts().windows, 1);

    win32::input_resized(h, 400, 300);
    pump();
    EXPECT_EQ(last(WM_SIZE).lparam, MAKELPARAM(400, 300));
}

} // namespace
