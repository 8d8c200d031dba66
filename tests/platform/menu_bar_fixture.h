// A window with a two-item menu bar on the headless display, for the menu bar's tests:
// "&Run" (the library's kind of pop-up: shortcuts, separators, a check mark, a grayed line)
// and "&Help". Reads pixels of the whole screen surface, menu bar included.
#pragma once

#include "input.h"
#include "user32_menu_bar.h"
#include "win32_internal.h"
#include "win32_surface.h"
#include "win32_audit.h"
#include "win32_headless.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

constexpr COLORREF menu_face = RGB(212, 208, 200);
constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF black = RGB(0, 0, 0);
constexpr COLORREF gray = RGB(128, 128, 128);

enum : UINT { ID_ANIMATE = 1, ID_HALT = 2, ID_LOGGING = 4, ID_INFO = 9, ID_ABOUT = 10 };

class MenuBarWindow : public ::testing::Test {
  public:
    void SetUp() override {
        headless::reset();
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hbrBackground = CreateSolidBrush(RGB(255, 255, 255));
        wc.lpszClassName = "MenuBarTest";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(0, "MenuBarTest", "Menu", WS_CAPTION | WS_SYSMENU, 0, 0, 601, 540, nullptr,
                               nullptr, nullptr, nullptr);
        ASSERT_NE(hwnd, nullptr);
        run = CreatePopupMenu();
        AppendMenuA(run, MF_STRING, ID_ANIMATE, "&Animate\tCtrl+A");
        AppendMenuA(run, MF_STRING, ID_HALT, "&Halt animation\tCtrl+H");
        AppendMenuA(run, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(run, MF_STRING | MF_CHECKED, ID_LOGGING, "&Logging\tCtrl+L");
        AppendMenuA(run, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(run, MF_STRING | MF_GRAYED, ID_INFO, "KELPA v2.2xx April 2000");
        HMENU help = CreatePopupMenu();
        AppendMenuA(help, MF_STRING, ID_ABOUT, "&About");
        bar = CreateMenu();
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(run), "&Run");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
        SetMenu(hwnd, bar);
        ShowWindow(hwnd, SW_SHOW);
        win32::paint_menu_bar(hwnd);
        drain();
    }

    // Dispatches what is queued (paints included) without waiting.
    void drain() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            if (m.message != WM_COMMAND)
                DispatchMessageA(&m);
            else
                commands.push_back(LOWORD(m.wParam));
    }

    // The colour at (x, y) of the window's screen surface, as a COLORREF.
    COLORREF at(int x, int y) {
        RECT client;
        const win32::Surface *s = win32::window_screen(hwnd, &client);
        if (!s || !s->contains(x, y))
            return CLR_INVALID;
        return win32::colorref_from_pixel(s->row(y)[x]);
    }
    int count_in(const RECT &r, COLORREF color) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += at(x, y) == color;
        return n;
    }

    // Each time the modal loop would wait, the next step plays (user input, mostly).
    void when_idle(std::vector<std::function<void()>> steps) {
        auto list = std::make_shared<std::vector<std::function<void()>>>(std::move(steps));
        auto next = std::make_shared<size_t>(0);
        headless::on_idle([list, next, this] {
            if (*next < list->size())
                (*list)[(*next)++]();
            else
                win32::input_key(hwnd, VK_ESCAPE, true, 0); // never hang: cancel the menu
        });
    }

    // Screen-surface input, as a display gives it.
    void press(int x, int y) { win32::input_mouse_button(hwnd, WM_LBUTTONDOWN, x, y); }
    void release(int x, int y) { win32::input_mouse_button(hwnd, WM_LBUTTONUP, x, y); }
    void click(int x, int y) {
        press(x, y);
        release(x, y);
    }
    // A press on the menu bar, as USER32 queues it for the window (DefWindowProcA tracks it).
    void bar_press(int x, int y) { PostMessageA(hwnd, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(x, y)); }
    void key(int vk) {
        win32::input_key(hwnd, vk, true, 0);
        win32::input_key(hwnd, vk, false, 0);
    }

    POINT centre(const RECT &r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    RECT bar_item(int index) { return win32::menu_bar_layout(hwnd).at(static_cast<size_t>(index)).rect; }
    RECT row(int index) {
        for (const win32::MenuPopupRow &r : win32::menu_popup_layout(hwnd, 0).rows)
            if (r.index == index)
                return r.rect;
        ADD_FAILURE() << "no row " << index;
        return RECT{0, 0, 0, 0};
    }
    // Opens "Run" with a click on it and returns once tracking has ended.
    bool open_run() {
        POINT p = centre(bar_item(0));
        return win32::menu_bar_mouse(hwnd, WM_LBUTTONDOWN, p.x, p.y);
    }

    HWND hwnd = nullptr;
    HMENU bar = nullptr;
    HMENU run = nullptr;
    std::vector<UINT> commands; // WM_COMMAND ids drain() found
};
