// Windows and classes: registration, rectangles, titles, visibility, metrics, and calls on
// windows that are gone, which must fail quietly.
#include "win32_test_support.h"

#include <cstring>

namespace {

using Windows = Win32Test;

TEST_F(Windows, ClassNamesAreUniqueWithoutRegardToCase) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "WINDOWSTESTCLASS";
    EXPECT_NE(RegisterClassA(&wc), 0);
    wc.lpszClassName = "WindowsTestClass";
    EXPECT_EQ(RegisterClassA(&wc), 0);
    HWND h = CreateWindowExA(0, "windowstestclass", "x", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr,
                             nullptr, nullptr);
    made.push_back(h);
    EXPECT_TRUE(IsWindow(h));
    EXPECT_FALSE(CreateWindowExA(0, "NoSuchClass", "x", 0, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(Windows, CreateReturningMinusOneFailsCreation) {
    handler = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT *result) {
        if (msg != WM_CREATE)
            return false;
        *result = -1;
        return true;
    };
    HWND h = create();
    EXPECT_FALSE(h);
    EXPECT_EQ(sequence(take_received()), sequence({WM_NCCREATE, WM_CREATE, WM_NCDESTROY}));
}

TEST_F(Windows, AWindowDestroyedWhileItIsCreatedOrDispatchedIsGone) {
    handler = [](HWND w, UINT msg, WPARAM, LPARAM, LRESULT *) {
        if (msg == WM_CREATE)
            DestroyWindow(w);
        return false;
    };
    EXPECT_FALSE(create());
    EXPECT_EQ(count_received(WM_DESTROY), 1);

    handler = nullptr;
    HWND h = create(true);
    ASSERT_TRUE(h);
    handler = [](HWND w, UINT msg, WPARAM, LPARAM, LRESULT *) {
        if (msg == WM_USER)
            DestroyWindow(w);
        return false;
    };
    PostMessageA(h, WM_USER, 0, 0);
    PostMessageA(h, WM_USER + 1, 0, 0);
    InvalidateRect(h, nullptr, TRUE);
    EXPECT_EQ(sequence(pump()), sequence({WM_USER}));
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(Windows, RectanglesTitleAndVisibility) {
    HWND h = create();
    RECT outer, client;
    ASSERT_TRUE(GetWindowRect(h, &outer));
    ASSERT_TRUE(GetClientRect(h, &client));
    EXPECT_EQ(outer.left, 10);
    EXPECT_EQ(outer.top, 20);
    EXPECT_EQ(outer.right - outer.left, 200);
    EXPECT_EQ(outer.bottom - outer.top, 150);
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_LE(client.right, 200);
    EXPECT_LE(client.bottom, 150);
    // The host draws caption and borders outside our window surface.
    EXPECT_REAL_PLATFORM_ONLY(client.bottom < 150);

    char title[16];
    EXPECT_EQ(GetWindowTextA(h, title, sizeof title), 4);
    EXPECT_STREQ(title, "test");
    EXPECT_TRUE(SetWindowTextA(h, "a longer title"));
    EXPECT_EQ(GetWindowTextA(h, title, 5), 4) << "cut to fit, with its NUL";
    EXPECT_STREQ(title, "a lo");

    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_FALSE(ShowWindow(h, SW_SHOWNORMAL));
    EXPECT_TRUE(ShowWindow(h, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(h));
}

TEST_F(Windows, SystemResources) {
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
    EXPECT_TRUE(LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_TRUE(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), LoadCursorA(nullptr, IDC_ARROW));
}

// A top-level window asks its tracking sizes before anything else and is created within them,
// whether or not it has a sizing border; its procedure may narrow them.
TEST_F(Windows, TopLevelWindowsAreCreatedWithinTheTrackingSizes) {
    const LONG max_w = GetSystemMetrics(SM_CXMAXTRACK), max_h = GetSystemMetrics(SM_CYMAXTRACK);
    EXPECT_GT(max_w, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GT(max_h, GetSystemMetrics(SM_CYSCREEN));
    watched.push_back(WM_GETMINMAXINFO);
    POINT offered{0, 0};
    const struct {
        DWORD style;
        POINT limit; // what the procedure leaves as the largest tracking size; 0: the default
        LONG width, height;
    } cases[] = {
        {WS_OVERLAPPEDWINDOW, {0, 0}, max_w, max_h},
        {WS_CAPTION | WS_SYSMENU, {0, 0}, max_w, max_h},
        {WS_OVERLAPPEDWINDOW, {300, 200}, 300, 200},
    };
    for (const auto &c : cases) {
        handler = [&](HWND, UINT msg, WPARAM, LPARAM l, LRESULT *) {
            if (msg == WM_GETMINMAXINFO) {
                auto *mm = reinterpret_cast<MINMAXINFO *>(l);
                offered = mm->ptMaxTrackSize;
                if (c.limit.x)
                    mm->ptMaxTrackSize = c.limit;
            }
            return false;
        };
        HWND h = CreateWindowExA(0, class_name, "big", c.style, 0, 0, 32000, 32000, nullptr, nullptr, nullptr,
                                 nullptr);
        made.push_back(h);
        RECT outer{};
        ASSERT_TRUE(GetWindowRect(h, &outer));
        EXPECT_EQ(outer.right - outer.left, c.width) << std::hex << c.style;
        EXPECT_EQ(outer.bottom - outer.top, c.height) << std::hex << c.style;
        EXPECT_EQ(offered.x, max_w);
        EXPECT_EQ(offered.y, max_h);
        std::vector<UINT> heard = take_received(h);
        heard.resize(std::min<size_t>(heard.size(), 2));
        EXPECT_EQ(sequence(heard), sequence({WM_GETMINMAXINFO, WM_NCCREATE}));
        handler = nullptr;
        DestroyWindow(h);
    }
}

TEST_F(Windows, CallsOnADestroyedWindowFailQuietly) {
    HWND h = create(true);
    SetTimer(h, 1, 10, nullptr);
    ASSERT_TRUE(DestroyWindow(h));
    received.clear();

    RECT rc{1, 2, 3, 4};
    char text[8] = "unset";
    MSG m;
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_FALSE(DestroyWindow(h));
    EXPECT_FALSE(ShowWindow(h, SW_SHOW));
    EXPECT_FALSE(GetClientRect(h, &rc));
    EXPECT_FALSE(GetWindowRect(h, &rc));
    EXPECT_FALSE(SetWindowTextA(h, "x"));
    EXPECT_EQ(GetWindowTextA(h, text, sizeof text), 0);
    EXPECT_FALSE(PostMessageA(h, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageA(h, WM_USER, 0, 0), 0);
    EXPECT_FALSE(InvalidateRect(h, nullptr, TRUE));
    EXPECT_FALSE(ValidateRect(h, nullptr));
    EXPECT_FALSE(SetTimer(h, 2, 10, nullptr));
    EXPECT_FALSE(KillTimer(h, 1)) << "destruction killed it";
    EXPECT_FALSE(GetMenu(h));
    EXPECT_FALSE(GetDC(h));
    EXPECT_EQ(GetMessageA(&m, h, 0, 0), -1);
    Sleep(30);
    EXPECT_EQ(sequence(pump()), "") << "no timer, paint or posted message survives the window";
    EXPECT_TRUE(received.empty());
}

TEST_F(Windows, DestructionFlushesTheWindowsPostedMessages) {
    HWND a = create();
    HWND b = create();
    PostMessageA(a, WM_USER + 1, 0, 0);
    PostMessageA(b, WM_USER + 2, 0, 0);
    DestroyWindow(a);
    EXPECT_EQ(sequence(pump()), sequence({WM_USER + 2}));
}

TEST_F(Windows, MenuBarTakesClientHeight) {
    HWND h = create();
    RECT before, after;
    GetClientRect(h, &before);
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_STRING, 100, "&File");
    received.clear();
    ASSERT_TRUE(SetMenu(h, bar));
    EXPECT_EQ(GetMenu(h), bar);
    GetClientRect(h, &after);
    EXPECT_EQ(after.right, before.right);
    EXPECT_LT(after.bottom, before.bottom);
    EXPECT_EQ(count_received(WM_SIZE), 1);
    DestroyWindow(h);
    EXPECT_FALSE(DestroyMenu(bar)) << "the window's menu goes with it";
}

} // namespace
