// Menu records of the USER32 subset: what AppendMenuA built, for the menu functions and for
// the code that draws a menu bar and tracks the mouse in it. A record exists exactly while
// its HMENU is valid; pop-up items refer to their sub-menu by handle.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace win32 {

struct MenuItem {
    UINT flags = 0;   // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_POPUP, MF_SEPARATOR
    UINT_PTR id = 0;  // command id; for a pop-up item the sub-menu's handle
    std::string text; // with its '&' mnemonic markers
    HMENU popup = nullptr;
};

struct Menu {
    HMENU handle = nullptr;
    bool is_popup = false;
    std::vector<MenuItem> items;
};

// The live menu for a handle, or null.
Menu *find_menu(HMENU menu);

} // namespace win32
