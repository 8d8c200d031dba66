// The resource audit on the headless display: live counts of what a program holds, back to
// zero after a reset, injected allocation failures, and bad handles refused.
#include "win32_audit.h"
#include "win32_headless.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

class Audit : public ::testing::Test {
  protected:
    void SetUp() override { headless::reset(); }
    void TearDown() override { headless::reset(); }
};

LRESULT CALLBACK plain_proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcA(h, m, w, l);
}

TEST_F(Audit, LiveCountsFollowTheProgramAndResetClearsThem) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = plain_proc;
    wc.lpszClassName = "AuditClass";
    RegisterClassA(&wc);
    HWND h = CreateWindowExA(0, "AuditClass", "a", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr,
                             nullptr, nullptr);
    SetTimer(h, 1, 50, nullptr);
    HMENU bar = CreateMenu();
    HMENU popup = CreatePopupMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "&Run");
    SetMenu(h, bar);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 10);
    HDC dc = GetDC(h);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));

    win32::LiveCounts c = win32::live_counts();
    EXPECT_EQ(c.windows, 1);
    EXPECT_EQ(c.timers, 1);
    EXPECT_EQ(c.menus, 2);
    EXPECT_EQ(c.memory_blocks, 1);
    EXPECT_EQ(c.dcs, 1);
    EXPECT_EQ(c.gdi_objects, 1);

    GlobalFree(mem);
    ReleaseDC(h, dc);
    DeleteObject(brush);
    DestroyWindow(h); // takes its timer and its menus along
    EXPECT_EQ(win32::live_counts(), win32::LiveCounts{});

    CreateWindowExA(0, "AuditClass", "b", 0, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    GlobalAlloc(GMEM_FIXED, 4);
    CreateMenu();
    headless::reset();
    EXPECT_EQ(win32::live_counts(), win32::LiveCounts{});
    EXPECT_FALSE(CreateWindowExA(0, "AuditClass", "c", 0, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr))
        << "classes are gone with the process";
}

TEST_F(Audit, AnInjectedFailureIsTakenOnceAfterItsSkips) {
    win32::fail_next_memory_block(1);
    HGLOBAL a = GlobalAlloc(GMEM_MOVEABLE, 8);
    HGLOBAL b = GlobalAlloc(GMEM_MOVEABLE, 8);
    HGLOBAL c = GlobalAlloc(GMEM_MOVEABLE, 8);
    EXPECT_TRUE(a);
    EXPECT_FALSE(b);
    EXPECT_TRUE(c);
    EXPECT_EQ(win32::live_counts().memory_blocks, 2);

    win32::fail_next_memory_block();
    headless::reset();
    EXPECT_TRUE(GlobalAlloc(GMEM_FIXED, 8)) << "reset disarms";
}

TEST_F(Audit, BadMemoryHandlesAreRefused) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 8);
    ASSERT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalFree(h), h) << "failure hands the handle back";
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GlobalSize(h), 0u);
    HGLOBAL made_up = reinterpret_cast<HGLOBAL>(static_cast<uintptr_t>(0x1234));
    EXPECT_EQ(GlobalLock(made_up), nullptr);
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
    EXPECT_FALSE(GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(-1)));

    HGLOBAL fresh = GlobalAlloc(GMEM_MOVEABLE, 4);
    EXPECT_FALSE(GlobalUnlock(fresh)) << "never locked";
    GlobalFree(fresh);
}

} // namespace
