// Choosing from the menu bar with the mouse and the keyboard: what posts WM_COMMAND, what
// closes the pop-up without a command, and what the modal loop lets through meanwhile.
#include "menu_bar_fixture.h"

TEST_F(MenuBarWindow, ClickingAnItemPostsItsCommand) {
    POINT halt = centre(row(1));
    when_idle({[&] { click(halt.x, halt.y); }});
    EXPECT_TRUE(open_run());
    EXPECT_FALSE(win32::menu_tracking());
    drain();
    EXPECT_EQ(commands, std::vector<UINT>{ID_HALT});
}

TEST_F(MenuBarWindow, PressOnTheBarDragAndReleaseOnAnItemChooses) {
    POINT animate = centre(row(0));
    when_idle({[&] {
        win32::input_mouse_move(hwnd, animate.x, animate.y);
        release(animate.x, animate.y);
    }});
    open_run();
    drain();
    EXPECT_EQ(commands, std::vector<UINT>{ID_ANIMATE});
}

TEST_F(MenuBarWindow, GrayedLinesAndSeparatorsCannotBeChosen) {
    POINT info = centre(row(5)), separator = centre(row(2));
    bool open_after = false;
    when_idle({[&] { click(info.x, info.y); }, [&] { click(separator.x, separator.y); },
               [&] {
                   open_after = win32::menu_tracking();
                   click(500, 400); // outside the pop-up: cancel
               }});
    open_run();
    drain();
    EXPECT_TRUE(open_after);
    EXPECT_TRUE(commands.empty());
}

TEST_F(MenuBarWindow, ClosingWithoutChoosing) {
    struct Case {
        const char *how;
        std::function<void(MenuBarWindow &)> act;
    };
    const Case cases[] = {
        {"escape", [](MenuBarWindow &t) { t.key(VK_ESCAPE); }},
        {"click in the client area", [](MenuBarWindow &t) { t.click(450, 300); }},
        {"the open item again",
         [](MenuBarWindow &t) {
             POINT p = t.centre(t.bar_item(0));
             t.bar_press(p.x, p.y);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.how);
        when_idle({[&] { c.act(*this); }});
        open_run();
        drain();
        EXPECT_FALSE(win32::menu_tracking());
        EXPECT_TRUE(commands.empty());
    }
}

TEST_F(MenuBarWindow, KeyboardChoosesByArrowsAndAccessLetters) {
    when_idle({[&] {
        key(VK_DOWN);
        key(VK_DOWN);
        key(VK_RETURN);
    }});
    open_run();
    drain();
    when_idle({[&] { key('L'); }});
    open_run();
    drain();
    EXPECT_EQ(commands, (std::vector<UINT>{ID_HALT, ID_LOGGING}));
}

TEST_F(MenuBarWindow, MovingAlongTheBarSwitchesPopUps) {
    RECT help = bar_item(1);
    POINT on_help = centre(help);
    when_idle({[&] {
        win32::input_mouse_move(hwnd, on_help.x, on_help.y);
        key(VK_DOWN);
        key(VK_RETURN);
    }});
    open_run();
    drain();
    EXPECT_EQ(commands, std::vector<UINT>{ID_ABOUT});
}

TEST_F(MenuBarWindow, PressesOutsideTheBarAreNotMenuBusiness) {
    EXPECT_FALSE(win32::menu_bar_mouse(hwnd, WM_LBUTTONDOWN, 300, 200));
    // On the bar but right of every item: used up, nothing opens.
    EXPECT_TRUE(win32::menu_bar_mouse(hwnd, WM_LBUTTONDOWN, 590, 10));
    drain();
    EXPECT_TRUE(commands.empty());
}

TEST_F(MenuBarWindow, PaintsAreDispatchedWhileTheMenuIsOpenAndThePopUpStaysOnTop) {
    SetTimer(hwnd, 7, 50, nullptr); // wakes the loop without input
    win32::MenuPopupLayout layout = win32::menu_popup_layout(hwnd, 0);
    POINT in_popup{layout.frame.left + 40, layout.frame.bottom - 6};
    COLORREF outside_after = 0, popup_after = 0;
    when_idle({[&] {
                   HDC dc = GetDC(hwnd);
                   HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
                   RECT all{0, 0, 601, 520};
                   FillRect(dc, &all, red);
                   DeleteObject(red);
                   ReleaseDC(hwnd, dc);
                   InvalidateRect(hwnd, nullptr, TRUE);
               },
               [&] {
                   outside_after = at(500, 400);
                   popup_after = at(in_popup.x, in_popup.y);
                   key(VK_ESCAPE);
               }});
    open_run();
    EXPECT_EQ(outside_after, white); // the window's paint ran (its erase) inside the loop
    EXPECT_EQ(popup_after, menu_face);
}

TEST_F(MenuBarWindow, QuitDuringTrackingEndsItAndStaysForTheProgram) {
    when_idle({[&] { PostQuitMessage(3); }});
    open_run();
    EXPECT_FALSE(win32::menu_tracking());
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(m.wParam, 3u);
}

TEST_F(MenuBarWindow, CloseBoxWhileTheMenuIsOpen) {
    when_idle({[&] { headless::close(hwnd); }});
    open_run();
    EXPECT_FALSE(win32::menu_tracking());
    EXPECT_FALSE(IsWindow(hwnd));
}
