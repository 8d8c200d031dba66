// USER32's menu bar laid out: where the bar's items and an open pop-up's rows lie on the
// window's screen surface, measured with the menu font on a screen DC.
#include "user32_menu_bar_parts.h"

namespace win32 {

namespace menu_bar {

ItemText parse_item_text(const std::string &text) {
    ItemText out;
    size_t tab = text.find('\t');
    std::string raw = text.substr(0, tab);
    if (tab != std::string::npos)
        out.shortcut = text.substr(tab + 1);
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '&' && i + 1 < raw.size()) {
            ++i;
            if (raw[i] != '&' && out.access < 0)
                out.access = static_cast<int>(out.label.size());
        }
        out.label += raw[i];
    }
    return out;
}

Menu *bar_menu(HWND hwnd, Window **window) {
    Window *w = find_window(hwnd);
    if (window)
        *window = w;
    if (!w || !w->menu || w->client.top <= 0)
        return nullptr;
    return find_menu(w->menu);
}

std::vector<MenuBarItem> bar_layout(const MenuDc &m, const Menu &menu, const Window &w) {
    std::vector<MenuBarItem> items;
    int x = 0;
    for (size_t i = 0; i < menu.items.size(); ++i) {
        const MenuItem &item = menu.items[i];
        if (item.flags & MF_SEPARATOR)
            continue;
        int width = m.width(parse_item_text(item.text).label) + 2 * bar_padding;
        items.push_back(MenuBarItem{RECT{x, 0, x + width, w.client.top}, static_cast<int>(i)});
        x += width;
    }
    return items;
}

MenuPopupLayout popup_layout(const MenuDc &m, const Menu &bar, const Window &w, int index) {
    MenuPopupLayout out;
    if (index < 0 || index >= static_cast<int>(bar.items.size()))
        return out;
    const Menu *popup = find_menu(bar.items[static_cast<size_t>(index)].popup);
    if (!popup)
        return out;
    int left = 0;
    for (const MenuBarItem &b : bar_layout(m, bar, w))
        if (b.index == index)
            left = b.rect.left;
    int label_w = 0, shortcut_w = 0, y = w.client.top + border;
    for (size_t i = 0; i < popup->items.size(); ++i) {
        const MenuItem &item = popup->items[i];
        bool separator = (item.flags & MF_SEPARATOR) != 0;
        int h = separator ? separator_height : m.row_height();
        bool selectable = !separator && !(item.flags & (MF_GRAYED | MF_DISABLED)) && !item.popup;
        out.rows.push_back(MenuPopupRow{RECT{0, y, 0, y + h}, static_cast<int>(i), selectable});
        y += h;
        if (!separator) {
            ItemText t = parse_item_text(item.text);
            label_w = std::max(label_w, m.width(t.label));
            shortcut_w = std::max(shortcut_w, m.width(t.shortcut));
        }
    }
    int width = border + check_column + label_w + (shortcut_w ? shortcut_gap + shortcut_w : 0) +
                right_margin + border;
    // Kept inside the surface where it fits, as the real platform keeps pop-ups on the screen.
    if (left + width > w.screen.width)
        left = std::max(0, w.screen.width - width);
    out.frame = RECT{left, w.client.top, left + width, y + border};
    for (MenuPopupRow &r : out.rows) {
        r.rect.left = left + border;
        r.rect.right = left + width - border;
    }
    return out;
}

} // namespace menu_bar

using namespace menu_bar;

std::vector<MenuBarItem> menu_bar_layout(HWND hwnd) {
    Window *w = nullptr;
    Menu *bar = bar_menu(hwnd, &w);
    if (!bar)
        return {};
    MenuDc m(hwnd);
    return m.dc ? bar_layout(m, *bar, *w) : std::vector<MenuBarItem>{};
}

MenuPopupLayout menu_popup_layout(HWND hwnd, int index) {
    Window *w = nullptr;
    Menu *bar = bar_menu(hwnd, &w);
    if (!bar)
        return {};
    MenuDc m(hwnd);
    return m.dc ? popup_layout(m, *bar, *w, index) : MenuPopupLayout{};
}

} // namespace win32
