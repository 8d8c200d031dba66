// Message order as a window procedure sees it: creation and destruction sequences, and the
// retrieval order of posted messages, WM_QUIT, WM_PAINT and WM_TIMER, one table per scenario.
#include "win32_test_support.h"

namespace {

using MessageOrder = Win32Test;

TEST_F(MessageOrder, CreationSendsCreateThenTheFirstShowSendsSize) {
    HWND h = create();
    ASSERT_TRUE(h);
    std::vector<UINT> created = take_received(h);
    bool sized_at_creation = std::count(created.begin(), created.end(), WM_SIZE) > 0;
    created.erase(std::remove(created.begin(), created.end(), WM_SIZE), created.end());
    EXPECT_EQ(sequence(created), sequence({WM_NCCREATE, WM_CREATE}));
    // We also size a window while it is created, so a program knows its client area before
    // the window is shown.
    EXPECT_REAL_PLATFORM_ONLY(!sized_at_creation);

    LPARAM size_lparam = 0;
    handler = [&](HWND, UINT msg, WPARAM, LPARAM l, LRESULT *) {
        if (msg == WM_SIZE)
            size_lparam = l;
        return false;
    };
    ShowWindow(h, SW_SHOW);
    EXPECT_EQ(count_received(WM_SIZE), 1);
    RECT rc;
    GetClientRect(h, &rc);
    EXPECT_EQ(LOWORD(size_lparam), rc.right);
    EXPECT_EQ(HIWORD(size_lparam), rc.bottom);
    received.clear();
    ShowWindow(h, SW_HIDE);
    ShowWindow(h, SW_SHOW);
    EXPECT_EQ(count_received(WM_SIZE), 0) << "only the first show";
}

TEST_F(MessageOrder, CreateSeesTheCreateStruct) {
    int seen_cx = 0;
    handler = [&](HWND, UINT msg, WPARAM, LPARAM l, LRESULT *) {
        if (msg == WM_CREATE)
            seen_cx = reinterpret_cast<CREATESTRUCTA *>(l)->cx;
        return false;
    };
    create();
    EXPECT_EQ(seen_cx, 200);
}

TEST_F(MessageOrder, DestroyWindowSendsDestroyThenNcDestroy) {
    HWND h = create();
    received.clear();
    bool valid_during_destroy = false;
    handler = [&](HWND w, UINT msg, WPARAM, LPARAM, LRESULT *) {
        if (msg == WM_DESTROY)
            valid_during_destroy = IsWindow(w) != FALSE;
        return false;
    };
    EXPECT_TRUE(DestroyWindow(h));
    EXPECT_EQ(sequence(take_received(h)), sequence({WM_DESTROY, WM_NCDESTROY}));
    EXPECT_TRUE(valid_during_destroy);
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(MessageOrder, CloseThroughDefaultHandlingDestroys) {
    HWND h = create();
    received.clear();
    SendMessageA(h, WM_CLOSE, 0, 0);
    EXPECT_EQ(sequence(take_received(h)), sequence({WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(h));

    HWND h2 = create();
    received.clear();
    SendMessageA(h2, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(sequence(take_received(h2)), sequence({WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(h2));
}

TEST_F(MessageOrder, PostedBeforePaintBeforeTimer) {
    HWND h = create(true);
    SetTimer(h, 1, 10, nullptr);
    InvalidateRect(h, nullptr, FALSE);
    PostMessageA(h, WM_USER + 1, 0, 0);
    PostMessageA(h, WM_USER + 2, 0, 0);
    Sleep(50);
    EXPECT_EQ(sequence(pump()), sequence({WM_USER + 1, WM_USER + 2, WM_PAINT, WM_TIMER}));
    KillTimer(h, 1);
}

TEST_F(MessageOrder, QuitAfterPostedButBeforePaintAndTimer) {
    HWND h = create(true);
    SetTimer(h, 1, 10, nullptr);
    InvalidateRect(h, nullptr, FALSE);
    PostQuitMessage(3);
    PostMessageA(h, WM_USER, 0, 0);
    Sleep(50);

    MSG m;
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), 0);
    EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(m.wParam, 3u);
    // The quit is retrieved once; paint and timer come after it.
    EXPECT_EQ(sequence(pump()), sequence({WM_PAINT, WM_TIMER}));
    KillTimer(h, 1);
}

TEST_F(MessageOrder, PeekNoRemoveLeavesTheMessage) {
    HWND h = create();
    PostMessageA(h, WM_USER + 3, 7, 0);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 3));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 3));
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_EQ(m.hwnd, h);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_USER, WM_USER + 3, PM_REMOVE));
}

TEST_F(MessageOrder, WindowFilterTakesOnlyThatWindowsMessages) {
    HWND a = create();
    HWND b = create();
    PostMessageA(a, WM_USER + 1, 0, 0);
    PostMessageA(b, WM_USER + 2, 0, 0);
    MSG m;
    ASSERT_TRUE(GetMessageA(&m, b, 0, 0));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 1));
}

TEST_F(MessageOrder, ABusyProgramFindsOneTimerMessage) {
    HWND h = create();
    received.clear();
    SetTimer(h, 5, 10, nullptr);
    Sleep(200);
    EXPECT_EQ(sequence(pump()), sequence({WM_TIMER}));
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].wparam, 5u);
    EXPECT_TRUE(KillTimer(h, 5));
    EXPECT_FALSE(KillTimer(h, 5));
}

TEST_F(MessageOrder, KilledTimerSendsNothing) {
    HWND h = create();
    SetTimer(h, 1, 10, nullptr);
    Sleep(30);
    KillTimer(h, 1);
    EXPECT_EQ(sequence(pump()), "");
}

TEST_F(MessageOrder, ResettingATimerStartsItsPeriodAgain) {
    HWND h = create();
    SetTimer(h, 1, 100, nullptr);
    Sleep(60);
    SetTimer(h, 1, 100, nullptr);
    Sleep(60);
    EXPECT_EQ(sequence(pump()), "");
    Sleep(60);
    EXPECT_EQ(sequence(pump()), sequence({WM_TIMER}));
    KillTimer(h, 1);
}

TEST_F(MessageOrder, TranslateTurnsAPostedKeyDownIntoACharForItsWindow) {
    HWND a = create();
    HWND b = create();
    PostMessageA(b, WM_KEYDOWN, 'Q', 1 | (0x10 << 16));
    MSG m;
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_TRUE(TranslateMessage(&m));
    DispatchMessageA(&m);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(m.hwnd, b);
    EXPECT_EQ(m.wParam, static_cast<WPARAM>('q'));
    (void)a;
}

} // namespace
