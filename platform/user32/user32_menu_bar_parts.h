// What the three parts of USER32's menu bar share: its layout (user32_menu_bar_layout.cpp),
// its painting (user32_menu_bar_paint.cpp) and its mouse and keyboard tracking
// (user32_menu_bar_track.cpp). Nothing here is for the rest of USER32: see user32_menu_bar.h.
#pragma once

#include "user32_menu.h"
#include "user32_menu_bar.h"
#include "user32_window.h"

#include "win32_internal.h"

#include <algorithm>
#include <string>

namespace win32::menu_bar {

constexpr int bar_padding = 7;   // each side of a bar item's text
constexpr int border = 3;        // pop-up frame
constexpr int check_column = 18; // left of the labels, where check marks go
constexpr int shortcut_gap = 24; // between the longest label and the longest shortcut
constexpr int right_margin = 14; // right of the shortcuts (the real platform's sub-menu arrow column)
constexpr int separator_height = 9;

// What one item shows: the label without its '&' markers, the underlined character's index
// in it ("&&" stands for a plain '&'), and the part after the tab.
struct ItemText {
    std::string label;
    int access = -1;
    std::string shortcut;
};

ItemText parse_item_text(const std::string &text);

// The one tracking that can run at a time (one thread, one modal loop).
struct Tracking {
    bool active = false;
    HWND hwnd = nullptr;
    int open = -1; // bar item whose pop-up is shown
    int hot = -1;  // pop-up item under the mouse or chosen by the arrow keys
    bool done = false;
    bool chosen = false;
    UINT command = 0;
};
extern Tracking tracking;

// A screen DC with the menu font selected; released by its destructor.
struct MenuDc {
    HWND hwnd;
    HDC dc;
    TEXTMETRICA tm{};
    explicit MenuDc(HWND h) : hwnd(h), dc(create_screen_dc(h)) {
        if (!dc)
            return;
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        GetTextMetricsA(dc, &tm);
    }
    ~MenuDc() {
        if (dc)
            release_window_dc(hwnd, dc);
    }
    MenuDc(const MenuDc &) = delete;
    MenuDc &operator=(const MenuDc &) = delete;
    int width(const std::string &s) const {
        SIZE size{0, 0};
        if (!s.empty())
            GetTextExtentPoint32A(dc, s.data(), static_cast<int>(s.size()), &size);
        return size.cx;
    }
    int row_height() const { return std::max(static_cast<int>(tm.tmHeight) + 6, 18); }
};

// The menu of hwnd's bar and, in *window, its window; null when it shows no bar.
Menu *bar_menu(HWND hwnd, Window **window = nullptr);
std::vector<MenuBarItem> bar_layout(const MenuDc &m, const Menu &menu, const Window &w);
MenuPopupLayout popup_layout(const MenuDc &m, const Menu &bar, const Window &w, int index);

// Draws the bar and, while tracking runs on hwnd, its open pop-up.
void redraw(HWND hwnd);

} // namespace win32::menu_bar
