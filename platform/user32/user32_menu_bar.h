// The menu bar as the user sees it: drawn into the top rows of a window's screen surface,
// its pop-ups drawn over the client area while the mouse tracks them. Drawing goes through
// GDI on the window's screen DC, so every display shows the same pixels.
#pragma once

#include <windows.h>

#include <vector>

namespace win32 {

// A press in the menu bar arrives as WM_NCLBUTTONDOWN with HTMENU, which DefWindowProcA hands
// to menu tracking. Unlike the real message, its lParam holds screen-surface x and y.

// Where things are, in screen-surface pixels. Items are named by their position in the bar
// or pop-up menu.
struct MenuBarItem {
    RECT rect;
    int index;
};
struct MenuPopupRow {
    RECT rect;
    int index;
    bool selectable; // a string item that is neither grayed nor disabled
};
struct MenuPopupLayout {
    RECT frame{0, 0, 0, 0};
    std::vector<MenuPopupRow> rows;
};

std::vector<MenuBarItem> menu_bar_layout(HWND hwnd);
// The pop-up of bar item `index`, as it opens below it; no rows when that item is not a pop-up.
MenuPopupLayout menu_popup_layout(HWND hwnd, int index);

// Draws hwnd's menu bar (nothing for a window without one). USER32 calls it whenever the bar
// may look different: SetMenu, DrawMenuBar, a new surface size.
void paint_menu_bar(HWND hwnd);

// A left-button press at (x, y) of hwnd's screen surface. Inside the menu bar it runs menu
// tracking to the end (a modal loop, as on the real platform: the program's own loop waits
// meanwhile while timers and paints are still dispatched) and returns true; a chosen item
// reaches the window as a posted WM_COMMAND with its id. Elsewhere it does nothing and
// returns false. Call it while a message is being dispatched (DefWindowProcA), never while
// input is arriving from a display.
bool menu_bar_mouse(HWND hwnd, UINT msg, int x, int y);

// True while a pop-up is open (tracking is under way).
bool menu_tracking();

} // namespace win32
