// The menu bar through USER32 itself: SetMenu and DrawMenuBar paint it, and a press on it
// reaches tracking as WM_NCLBUTTONDOWN through the window's DefWindowProcA. Skipped while
// USER32 does not make those calls yet.
#include "menu_bar_fixture.h"

class MenuBarThroughUser32 : public MenuBarWindow {
  public:
    void SetUp() override {
        MenuBarWindow::SetUp();
        // A second window, left to USER32 alone: nobody calls paint_menu_bar for it.
        own = CreateWindowExA(0, "MenuBarTest", "Own", WS_CAPTION, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                              nullptr);
        HMENU menu = CreateMenu();
        HMENU popup = CreatePopupMenu();
        AppendMenuA(popup, MF_STRING, ID_HALT, "&Halt animation\tCtrl+H");
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "&Run");
        SetMenu(own, menu);
        DrawMenuBar(own);
        ShowWindow(own, SW_SHOW);
        drain();
    }
    COLORREF own_at(int x, int y) {
        RECT client;
        const win32::Surface *s = win32::window_screen(own, &client);
        return s && s->contains(x, y) ? win32::colorref_from_pixel(s->row(y)[x]) : CLR_INVALID;
    }
    HWND own = nullptr;
};

TEST_F(MenuBarThroughUser32, SetMenuPaintsTheBarAndAPressOpensIt) {
    if (own_at(150, 5) != menu_face)
        GTEST_SKIP() << "USER32 does not paint the menu bar on SetMenu/DrawMenuBar yet";
    bool opened = false;
    std::vector<win32::MenuPopupRow> rows = win32::menu_popup_layout(own, 0).rows;
    ASSERT_EQ(rows.size(), 1u);
    POINT halt = centre(rows[0].rect);
    headless::on_idle([&] {
        if (!opened && win32::menu_tracking()) {
            opened = true;
            win32::input_mouse_button(own, WM_LBUTTONDOWN, halt.x, halt.y);
            win32::input_mouse_button(own, WM_LBUTTONUP, halt.x, halt.y);
        } else {
            PostQuitMessage(0); // nothing opened: end the loop below
        }
    });
    win32::input_mouse_button(own, WM_LBUTTONDOWN, 10, 10);
    win32::input_mouse_button(own, WM_LBUTTONUP, 10, 10);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0)) {
        if (m.message == WM_COMMAND) {
            commands.push_back(LOWORD(m.wParam));
            break;
        }
        DispatchMessageA(&m);
    }
    if (!opened)
        GTEST_SKIP() << "USER32 does not hand menu bar presses to tracking yet";
    EXPECT_EQ(commands, std::vector<UINT>{ID_HALT});
}
