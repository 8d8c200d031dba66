// USER32's menu bar painted in the classic look: the bar in the top rows of the window's screen
// surface and, while tracking runs, the open pop-up over the client area, drawn with GDI.
#include "user32_menu_bar_parts.h"

namespace win32 {

namespace menu_bar {

namespace {

const COLORREF menu_face = RGB(212, 208, 200);
const COLORREF menu_text = RGB(0, 0, 0);
const COLORREF gray_text = RGB(128, 128, 128);
const COLORREF highlight = RGB(10, 36, 106);
const COLORREF highlight_text = RGB(255, 255, 255);
const COLORREF light_edge = RGB(255, 255, 255);
const COLORREF shadow_edge = RGB(128, 128, 128);
const COLORREF dark_edge = RGB(64, 64, 64);

void fill(HDC dc, const RECT &r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush)
        return;
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// A line from (x0, y0) up to, not including, (x1, y1).
void line(HDC dc, int x0, int y0, int x1, int y1, COLORREF color) {
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    if (!pen)
        return;
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void text(const MenuDc &m, int x, int y, const std::string &s, int access, COLORREF color) {
    if (s.empty())
        return;
    SetTextColor(m.dc, color);
    TextOutA(m.dc, x, y, s.data(), static_cast<int>(s.size()));
    if (access >= 0 && access < static_cast<int>(s.size())) {
        int from = x + m.width(s.substr(0, static_cast<size_t>(access)));
        int to = x + m.width(s.substr(0, static_cast<size_t>(access) + 1));
        int under = y + m.tm.tmAscent + 1;
        line(m.dc, from, under, to, under, color);
    }
}

// Grayed text as the classic look engraves it: a white copy one pixel down and right.
void grayed_text(const MenuDc &m, int x, int y, const std::string &s, int access) {
    text(m, x + 1, y + 1, s, access, light_edge);
    text(m, x, y, s, access, gray_text);
}

// A tick three pixels thick, 7 wide, centred on (cx, cy).
void check_mark(HDC dc, int cx, int cy, COLORREF color) {
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    if (!pen)
        return;
    HGDIOBJ old = SelectObject(dc, pen);
    for (int i = 0; i < 3; ++i) {
        MoveToEx(dc, cx - 3, cy - 1 + i, nullptr);
        LineTo(dc, cx - 1, cy + 1 + i);
        LineTo(dc, cx + 4, cy - 4 + i);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

void paint_bar(const MenuDc &m, const Menu &menu, const Window &w) {
    fill(m.dc, RECT{0, 0, w.screen.width, w.client.top}, menu_face);
    int text_y = (w.client.top - static_cast<int>(m.tm.tmHeight)) / 2;
    for (const MenuBarItem &b : bar_layout(m, menu, w)) {
        const MenuItem &item = menu.items[static_cast<size_t>(b.index)];
        ItemText t = parse_item_text(item.text);
        bool open = tracking.active && tracking.hwnd == w.hwnd && tracking.open == b.index;
        if (open) {
            // Pressed in: shadow above and left, light below and right.
            line(m.dc, b.rect.left, b.rect.top, b.rect.right, b.rect.top, shadow_edge);
            line(m.dc, b.rect.left, b.rect.top, b.rect.left, b.rect.bottom, shadow_edge);
            line(m.dc, b.rect.left, b.rect.bottom - 1, b.rect.right, b.rect.bottom - 1, light_edge);
            line(m.dc, b.rect.right - 1, b.rect.top, b.rect.right - 1, b.rect.bottom, light_edge);
        }
        int x = b.rect.left + bar_padding + (open ? 1 : 0);
        int y = text_y + (open ? 1 : 0);
        if (item.flags & (MF_GRAYED | MF_DISABLED))
            grayed_text(m, x, y, t.label, t.access);
        else
            text(m, x, y, t.label, t.access, menu_text);
    }
}

void paint_popup(const MenuDc &m, const Menu &bar, const Window &w) {
    MenuPopupLayout layout = popup_layout(m, bar, w, tracking.open);
    const Menu *popup = find_menu(bar.items[static_cast<size_t>(tracking.open)].popup);
    if (!popup || layout.rows.empty())
        return;
    const RECT &f = layout.frame;
    fill(m.dc, f, menu_face);
    // Raised frame: outer light face and dark edge, inner white and shadow.
    line(m.dc, f.left, f.top, f.right - 1, f.top, menu_face);
    line(m.dc, f.left, f.top, f.left, f.bottom - 1, menu_face);
    line(m.dc, f.left + 1, f.top + 1, f.right - 2, f.top + 1, light_edge);
    line(m.dc, f.left + 1, f.top + 1, f.left + 1, f.bottom - 2, light_edge);
    line(m.dc, f.left + 1, f.bottom - 2, f.right - 1, f.bottom - 2, shadow_edge);
    line(m.dc, f.right - 2, f.top + 1, f.right - 2, f.bottom - 1, shadow_edge);
    line(m.dc, f.left, f.bottom - 1, f.right, f.bottom - 1, dark_edge);
    line(m.dc, f.right - 1, f.top, f.right - 1, f.bottom, dark_edge);

    for (const MenuPopupRow &row : layout.rows) {
        const MenuItem &item = popup->items[static_cast<size_t>(row.index)];
        const RECT &r = row.rect;
        if (item.flags & MF_SEPARATOR) {
            int mid = (r.top + r.bottom) / 2;
            line(m.dc, r.left + 1, mid - 1, r.right - 1, mid - 1, shadow_edge);
            line(m.dc, r.left + 1, mid, r.right - 1, mid, light_edge);
            continue;
        }
        ItemText t = parse_item_text(item.text);
        bool hot = row.selectable && row.index == tracking.hot;
        bool grayed = (item.flags & (MF_GRAYED | MF_DISABLED)) != 0;
        if (hot)
            fill(m.dc, r, highlight);
        COLORREF color = hot ? highlight_text : menu_text;
        int y = r.top + (r.bottom - r.top - static_cast<int>(m.tm.tmHeight)) / 2;
        int label_x = r.left + check_column;
        int shortcut_x = r.right - right_margin - m.width(t.shortcut);
        if (item.flags & MF_CHECKED)
            check_mark(m.dc, r.left + check_column / 2, (r.top + r.bottom) / 2, grayed ? gray_text : color);
        if (grayed) {
            grayed_text(m, label_x, y, t.label, t.access);
            grayed_text(m, shortcut_x, y, t.shortcut, -1);
        } else {
            text(m, label_x, y, t.label, t.access, color);
            text(m, shortcut_x, y, t.shortcut, -1, color);
        }
    }
}

} // namespace

void redraw(HWND hwnd) {
    Window *w = nullptr;
    Menu *bar = bar_menu(hwnd, &w);
    if (!bar)
        return;
    MenuDc m(hwnd);
    if (!m.dc)
        return;
    paint_bar(m, *bar, *w);
    if (tracking.active && tracking.hwnd == hwnd && tracking.open >= 0 &&
        tracking.open < static_cast<int>(bar->items.size()))
        paint_popup(m, *bar, *w);
}

} // namespace menu_bar

void paint_menu_bar(HWND hwnd) {
    menu_bar::redraw(hwnd);
}

} // namespace win32
