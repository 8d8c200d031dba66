// USER32 menus as data: creation, items, check marks and states, and a window's menu bar.
// Items are found by position, or by command id through pop-ups depth first, the way the
// real platform searches a menu bar's sub-menus.
#include "user32_menu.h"

#include "user32_window.h"
#include "user32_menu_bar.h"
#include "win32_handles.h"
#include "win32_internal.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace win32 {

namespace {

std::map<uintptr_t, Menu> menus;

constexpr UINT state_flags = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR;

MenuItem *find_by_command(Menu &m, UINT id, int depth) {
    if (depth > 16) // a pop-up that contains itself would otherwise recurse forever
        return nullptr;
    for (MenuItem &item : m.items) {
        if (item.popup) {
            if (Menu *sub = find_menu(item.popup))
                if (MenuItem *found = find_by_command(*sub, id, depth + 1))
                    return found;
        } else if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

MenuItem *find_item(HMENU menu, UINT id, UINT flags) {
    Menu *m = find_menu(menu);
    if (!m)
        return nullptr;
    if (flags & MF_BYPOSITION)
        return id < m->items.size() ? &m->items[id] : nullptr;
    return find_by_command(*m, id, 0);
}

HMENU create_menu(bool popup) {
    HMENU h = new_handle<HMENU>();
    Menu m;
    m.handle = h;
    m.is_popup = popup;
    menus[handle_key(h)] = m;
    return h;
}

} // namespace

Menu *find_menu(HMENU menu) {
    auto it = menus.find(handle_key(menu));
    return it == menus.end() ? nullptr : &it->second;
}

void destroy_menu_tree(HMENU menu) {
    auto it = menus.find(handle_key(menu));
    if (it == menus.end())
        return;
    std::vector<HMENU> subs;
    for (const MenuItem &item : it->second.items)
        if (item.popup)
            subs.push_back(item.popup);
    menus.erase(it);
    for (HMENU sub : subs)
        destroy_menu_tree(sub);
}

int live_menus() {
    return static_cast<int>(menus.size());
}

void reset_menus() {
    menus.clear();
}

} // namespace win32

using namespace win32;

// USER32 CreateMenu: an empty menu bar.
HMENU WINAPI CreateMenu(void) {
    return create_menu(false);
}

// USER32 CreatePopupMenu: an empty pop-up menu.
HMENU WINAPI CreatePopupMenu(void) {
    return create_menu(true);
}

// USER32 DestroyMenu: destroys the menu and, recursively, its pop-ups.
BOOL WINAPI DestroyMenu(HMENU menu) {
    if (!find_menu(menu))
        return FALSE;
    destroy_menu_tree(menu);
    for (Window *w : all_windows())
        if (w->menu == menu) {
            w->menu = nullptr;
            layout_client(*w);
        }
    return TRUE;
}

// USER32 AppendMenuA: adds a string, separator or pop-up item (MF_POPUP: id is the sub-menu)
// at the end, with its MF_CHECKED, MF_GRAYED and MF_DISABLED state.
BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text) {
    Menu *m = find_menu(menu);
    if (!m)
        return FALSE;
    MenuItem item;
    item.flags = flags & state_flags;
    item.id = id;
    if (flags & MF_POPUP) {
        item.popup = reinterpret_cast<HMENU>(id);
        if (!find_menu(item.popup) || item.popup == menu)
            return FALSE;
    }
    if (!(flags & MF_SEPARATOR) && text)
        item.text = text;
    m->items.push_back(item);
    return TRUE;
}

// USER32 SetMenu: gives the window a menu bar (null removes it). The client area loses the
// bar's height, and a window past creation hears of it through WM_SIZE.
BOOL WINAPI SetMenu(HWND hwnd, HMENU menu) {
    Window *w = find_window(hwnd);
    if (!w || (menu && !find_menu(menu)))
        return FALSE;
    w->menu = menu;
    layout_client(*w);
    return TRUE;
}

// USER32 GetMenu.
HMENU WINAPI GetMenu(HWND hwnd) {
    Window *w = find_window(hwnd);
    return w && find_menu(w->menu) ? w->menu : nullptr;
}

// USER32 DrawMenuBar: the bar is redrawn with the window; TRUE for a window.
BOOL WINAPI DrawMenuBar(HWND hwnd) {
    if (!find_window(hwnd))
        return FALSE;
    paint_menu_bar(hwnd);
    return TRUE;
}

// USER32 CheckMenuItem: sets or clears MF_CHECKED; returns the previous check state
// (MF_CHECKED or MF_UNCHECKED), or (DWORD)-1 when there is no such item.
DWORD WINAPI CheckMenuItem(HMENU menu, UINT id, UINT flags) {
    MenuItem *item = find_item(menu, id, flags);
    if (!item)
        return static_cast<DWORD>(-1);
    DWORD previous = item->flags & MF_CHECKED;
    item->flags = (item->flags & ~static_cast<UINT>(MF_CHECKED)) | (flags & MF_CHECKED);
    return previous;
}

// USER32 EnableMenuItem: sets MF_ENABLED, MF_GRAYED or MF_DISABLED; returns the previous of
// those states, or -1 when there is no such item.
BOOL WINAPI EnableMenuItem(HMENU menu, UINT id, UINT flags) {
    MenuItem *item = find_item(menu, id, flags);
    if (!item)
        return -1;
    UINT mask = MF_GRAYED | MF_DISABLED;
    BOOL previous = static_cast<BOOL>(item->flags & mask);
    item->flags = (item->flags & ~mask) | (flags & mask);
    return previous;
}

// USER32 GetMenuState: the item's flags; for a pop-up item the sub-menu's item count in the
// high byte. (UINT)-1 when there is no such item.
UINT WINAPI GetMenuState(HMENU menu, UINT id, UINT flags) {
    MenuItem *item = find_item(menu, id, flags);
    if (!item)
        return static_cast<UINT>(-1);
    if (item->popup) {
        Menu *sub = find_menu(item->popup);
        UINT count = sub ? static_cast<UINT>(sub->items.size()) : 0;
        return (count << 8) | (item->flags & 0xFF);
    }
    return item->flags;
}

// USER32 GetMenuItemCount: -1 for an invalid menu.
int WINAPI GetMenuItemCount(HMENU menu) {
    Menu *m = find_menu(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

// USER32 GetMenuItemID: the command id at pos; (UINT)-1 for a pop-up item or no item.
UINT WINAPI GetMenuItemID(HMENU menu, int pos) {
    Menu *m = find_menu(menu);
    if (!m || pos < 0 || static_cast<size_t>(pos) >= m->items.size() || m->items[pos].popup)
        return static_cast<UINT>(-1);
    return static_cast<UINT>(m->items[pos].id);
}

// USER32 GetSubMenu: the pop-up at pos, or null.
HMENU WINAPI GetSubMenu(HMENU menu, int pos) {
    Menu *m = find_menu(menu);
    if (!m || pos < 0 || static_cast<size_t>(pos) >= m->items.size())
        return nullptr;
    return find_menu(m->items[pos].popup) ? m->items[pos].popup : nullptr;
}

// USER32 GetMenuStringA: copies the item's text (at most size - 1 characters and a NUL) and
// returns the number copied; with no buffer, returns the text's length. 0 for no item.
int WINAPI GetMenuStringA(HMENU menu, UINT id, LPSTR buffer, int size, UINT flags) {
    MenuItem *item = find_item(menu, id, flags);
    if (!item) {
        if (buffer && size > 0)
            buffer[0] = '\0';
        return 0;
    }
    if (!buffer || size <= 0)
        return static_cast<int>(item->text.size());
    size_t n = std::min(item->text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, item->text.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}
