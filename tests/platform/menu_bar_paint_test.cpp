// The menu bar and its pop-up as drawn into the screen surface: layout, the access letter's
// underline, right-aligned shortcuts, check marks and grayed lines.
#include "menu_bar_fixture.h"

#include <algorithm>

namespace {

// Leftmost and rightmost columns holding `color` in r; -1, -1 when there is none.
std::pair<int, int> columns_of(MenuBarWindow &t, const RECT &r, COLORREF color) {
    int lo = -1, hi = -1;
    for (int x = r.left; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y)
            if (t.at(x, y) == color) {
                lo = lo < 0 ? x : lo;
                hi = x;
                break;
            }
    return {lo, hi};
}

} // namespace

TEST_F(MenuBarWindow, BarItemsSitSideBySideAcrossTheTopTwentyRows) {
    auto items = win32::menu_bar_layout(hwnd);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].rect.left, 0);
    EXPECT_EQ(items[1].rect.left, items[0].rect.right);
    EXPECT_EQ(items[0].rect.top, 0);
    EXPECT_EQ(items[0].rect.bottom, 20);
    EXPECT_GT(items[0].rect.right, 20);

    // The bar's face spans the whole width; the client area below it is untouched.
    EXPECT_EQ(at(0, 0), menu_face);
    EXPECT_EQ(at(600, 19), menu_face);
    EXPECT_EQ(count_in(RECT{0, 20, 601, 21}, white), 601);
    EXPECT_GT(count_in(items[0].rect, black), 10);
}

TEST_F(MenuBarWindow, OnlyTheAccessLetterIsUnderlined) {
    RECT item = bar_item(0);
    // The underline is the lowest row of black in the item; it covers "R" and stops there,
    // while the letters above it run on to "u" and "n".
    int lowest = -1;
    for (int y = item.top; y < item.bottom; ++y)
        if (count_in(RECT{item.left, y, item.right, y + 1}, black) > 0)
            lowest = y;
    ASSERT_GT(lowest, 0);
    auto underline = columns_of(*this, RECT{item.left, lowest, item.right, lowest + 1}, black);
    auto letters = columns_of(*this, RECT{item.left, item.top, item.right, lowest - 1}, black);
    EXPECT_GE(underline.second - underline.first, 3);
    EXPECT_LT(underline.second, letters.second - 6);
    EXPECT_LE(std::abs(underline.first - letters.first), 2); // the glyph's side bearing
}

TEST_F(MenuBarWindow, AWindowWithoutAMenuGetsNoBar) {
    HWND plain = CreateWindowExA(0, "MenuBarTest", "Plain", WS_CAPTION, 0, 0, 200, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    ShowWindow(plain, SW_SHOW);
    drain();
    win32::paint_menu_bar(plain);
    RECT client;
    const win32::Surface *s = win32::window_screen(plain, &client);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(win32::colorref_from_pixel(s->row(5)[5]), white);
    EXPECT_TRUE(win32::menu_bar_layout(plain).empty());
}

TEST_F(MenuBarWindow, PopUpShowsChecksShortcutsAndGrayedLinesWhileOpen) {
    struct Seen {
        int check_logging = 0, check_animate = 0, gray_info = 0, black_info = 0;
        int right_a = 0, right_h = 0, label_right_h = 0;
        COLORREF frame_corner = 0;
    } seen;
    win32::MenuPopupLayout layout = win32::menu_popup_layout(hwnd, 0);
    ASSERT_EQ(layout.rows.size(), 6u);
    EXPECT_EQ(layout.frame.top, 20);
    EXPECT_EQ(layout.frame.left, 0);
    when_idle({[&] {
        auto check_column = [&](int index) {
            RECT r = row(index);
            return count_in(RECT{r.left, r.top, r.left + 18, r.bottom}, black);
        };
        seen.check_logging = check_column(3);
        seen.check_animate = check_column(0);
        RECT info = row(5);
        seen.gray_info = count_in(info, gray);
        seen.black_info = count_in(info, black);
        RECT a = row(0), h = row(1);
        seen.right_a = columns_of(*this, a, black).second;
        seen.right_h = columns_of(*this, h, black).second;
        // "Halt animation" ends well left of its shortcut.
        seen.label_right_h = columns_of(*this, RECT{h.left, h.top, h.left + 110, h.bottom}, black).second;
        seen.frame_corner = at(layout.frame.right - 1, layout.frame.bottom - 1);
        key(VK_ESCAPE);
    }});
    EXPECT_TRUE(open_run());
    EXPECT_GT(seen.check_logging, 8);
    EXPECT_EQ(seen.check_animate, 0);
    EXPECT_GT(seen.gray_info, 20);
    EXPECT_EQ(seen.black_info, 0);
    EXPECT_LE(std::abs(seen.right_a - seen.right_h), 1); // shortcuts end at one right edge
    EXPECT_GT(seen.right_h, seen.label_right_h + 20);
    EXPECT_EQ(seen.frame_corner, RGB(64, 64, 64));
}

TEST_F(MenuBarWindow, ClosingThePopUpHandsItsAreaBackToTheWindow) {
    win32::MenuPopupLayout layout = win32::menu_popup_layout(hwnd, 0);
    COLORREF during = 0;
    POINT inside{layout.frame.left + 40, layout.frame.bottom - 6};
    when_idle({[&] {
        during = at(inside.x, inside.y);
        key(VK_ESCAPE);
    }});
    open_run();
    EXPECT_EQ(during, menu_face);
    drain(); // the window repaints (erases) what the pop-up covered
    EXPECT_EQ(at(inside.x, inside.y), white);
    EXPECT_EQ(at(300, 10), menu_face);
}

TEST_F(MenuBarWindow, PaintingAndTrackingLeaveNoObjectsBehind) {
    win32::LiveCounts before = win32::live_counts();
    win32::paint_menu_bar(hwnd);
    POINT halt = centre(row(1));
    when_idle({[&] { click(halt.x, halt.y); }});
    open_run();
    drain();
    EXPECT_EQ(win32::live_counts(), before);
}
