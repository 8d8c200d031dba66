// The headless display: virtual time, the idle hook and the abort instead of a hang, screen
// size and frame metrics, and reading back what a window shows.
#include "../win32/win32_test_support.h"

#include "win32_headless.h"

#include <cstdio>
#include <fstream>

namespace {

class HeadlessDisplay : public Win32Test {
  protected:
    void SetUp() override {
        headless::reset();
        Win32Test::SetUp();
    }
    void TearDown() override {
        Win32Test::TearDown();
        headless::reset();
    }
};

TEST_F(HeadlessDisplay, VirtualTimeMovesOnlyWhenAskedOrWaitedFor) {
    EXPECT_EQ(GetTickCount(), 0u);
    Sleep(120);
    EXPECT_EQ(headless::now(), 120u);
    headless::advance(30);
    EXPECT_EQ(GetTickCount(), 150u);

    HWND h = create();
    SetTimer(h, 2, 50, nullptr);
    MSG m;
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(m.time, 200u) << "the wait jumped to the timer's due time";
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.time, 250u);
    // Busy for two and a half periods: one WM_TIMER, and the next keeps the timer's phase.
    headless::advance(125);
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.time, 375u);
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.time, 400u);
}

TEST_F(HeadlessDisplay, TheIdleHookActsWhileTheProgramWaits) {
    HWND h = create(true);
    SetTimer(h, 1, 1000, nullptr);
    int calls = 0;
    headless::on_idle([&] {
        if (++calls == 1)
            PostMessageA(h, WM_USER, 0, 0);
    });
    MSG m;
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(headless::now(), 0u);
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER)) << "a hook that does nothing lets the clock jump";
    EXPECT_EQ(headless::now(), 1000u);
    EXPECT_EQ(calls, 2);
}

TEST_F(HeadlessDisplay, AWaitThatCouldNeverEndAborts) {
    EXPECT_DEATH(
        {
            MSG m;
            GetMessageA(&m, nullptr, 0, 0);
        },
        "GetMessageA would wait forever");
}

TEST_F(HeadlessDisplay, ScreenSizeAndFrameMetrics) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);

    // A window given its menu bar while it is created: the creation's WM_SIZE has the
    // final client size.
    LPARAM size = 0;
    handler = [&](HWND w, UINT msg, WPARAM, LPARAM l, LRESULT *) {
        if (msg == WM_CREATE)
            SetMenu(w, CreateMenu());
        if (msg == WM_SIZE)
            size = l;
        return false;
    };
    HWND graphics = CreateWindowExA(0, class_name, "g", WS_CAPTION | WS_SYSMENU, 0, 0, 601, 540, nullptr,
                                    nullptr, nullptr, nullptr);
    made.push_back(graphics);
    RECT rc;
    GetClientRect(graphics, &rc);
    EXPECT_EQ(rc.right, 601);
    EXPECT_EQ(rc.bottom, 520);
    EXPECT_EQ(size, MAKELPARAM(601, 520));
    EXPECT_EQ(count_received(WM_SIZE), 1);
    handler = nullptr;

    HWND text = CreateWindowExA(0, class_name, "t", WS_OVERLAPPEDWINDOW, 0, 550, 601,
                                GetSystemMetrics(SM_CYSCREEN) / 4, nullptr, nullptr, nullptr, nullptr);
    made.push_back(text);
    GetClientRect(text, &rc);
    EXPECT_EQ(rc.right, 601);
    EXPECT_EQ(rc.bottom, 192);

    headless::set_screen_size(800, 600);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    headless::reset();
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
}

TEST_F(HeadlessDisplay, ReadsBackWhatTheWindowShows) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hbrBackground = CreateSolidBrush(RGB(200, 10, 30));
    wc.lpszClassName = "RedClass";
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND h = CreateWindowExA(0, "RedClass", "red", WS_OVERLAPPEDWINDOW, 0, 0, 40, 30, nullptr, nullptr,
                             nullptr, nullptr);
    made.push_back(h);
    SetMenu(h, CreateMenu());
    ShowWindow(h, SW_SHOW);
    pump(); // WM_PAINT: the default handling erases with the class brush

    EXPECT_EQ(headless::pixel(h, 0, 0), RGB(200, 10, 30));
    EXPECT_EQ(headless::pixel(h, 39, 9), RGB(200, 10, 30));
    EXPECT_EQ(headless::pixel(h, 40, 0), CLR_INVALID);
    EXPECT_EQ(headless::pixel(h, 0, 10), CLR_INVALID) << "client area is 40 x 10 under the bar";
    EXPECT_EQ(headless::pixel(h, -1, 0), CLR_INVALID);

    std::string path = ::testing::TempDir() + "headless_readback.png";
    ASSERT_TRUE(headless::save_png(h, path));
    std::ifstream in(path, std::ios::binary);
    char sig[4] = {};
    in.read(sig, 4);
    EXPECT_EQ(std::string(sig + 1, 3), "PNG");
    std::remove(path.c_str());
    DestroyWindow(h);
    EXPECT_FALSE(headless::save_png(h, path));
    EXPECT_EQ(headless::pixel(h, 0, 0), CLR_INVALID);
    DeleteObject(wc.hbrBackground);
}

} // namespace
