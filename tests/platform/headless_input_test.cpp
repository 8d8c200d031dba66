// Input injected through the headless display: where it falls among posted messages, how
// clicks are packed, the close box, and a resize from the host.
#include "../win32/win32_test_support.h"

#include "../../platform/display/input.h"
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

} // namespace
