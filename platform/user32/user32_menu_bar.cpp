// USER32's menu bar on screen: layout, painting and mouse tracking of a window's menu bar and
// its pop-ups, drawn with GDI into the window's screen surface in the classic look.
// A pop-up exists only while tracking runs; afterwards the area it covered is invalidated,
// so the program repaints it and no pop-up pixels outlive the tracking.
#include "user32_menu_bar.h"

#include "user32_menu.h"
#include "user32_window.h"
#include "win32_internal.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace win32 {

namespace {

const COLORREF menu_face = RGB(212, 208, 200);
const COLORREF menu_text = RGB(0, 0, 0);
const COLORREF gray_text = RGB(128, 128, 128);
const COLORREF highlight = RGB(10, 36, 106);
const COLORREF highlight_text = RGB(255, 255, 255);
const COLORREF light_edge = RGB(255, 255, 255);
const COLORREF shadow_edge = RGB(128, 128, 128);
const COLORREF dark_edge = RGB(64, 64, 64);

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
Tracking tracking;

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

Menu *bar_menu(HWND hwnd, Window **window = nullptr) {
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

// ---- tracking ----

struct Hit {
    int bar = -1; // bar item under the point
    int row = -1; // pop-up item under the point
    bool in_popup = false;
    bool selectable = false;
};

Hit hit_test(HWND hwnd, int x, int y) {
    Hit hit;
    Window *w = nullptr;
    Menu *bar = bar_menu(hwnd, &w);
    if (!bar)
        return hit;
    MenuDc m(hwnd);
    if (!m.dc)
        return hit;
    if (y >= 0 && y < w->client.top)
        for (const MenuBarItem &b : bar_layout(m, *bar, *w))
            if (x >= b.rect.left && x < b.rect.right)
                hit.bar = b.index;
    if (tracking.open >= 0) {
        MenuPopupLayout layout = popup_layout(m, *bar, *w, tracking.open);
        const RECT &f = layout.frame;
        hit.in_popup = !layout.rows.empty() && x >= f.left && x < f.right && y >= f.top && y < f.bottom;
        for (const MenuPopupRow &r : layout.rows)
            if (x >= r.rect.left && x < r.rect.right && y >= r.rect.top && y < r.rect.bottom) {
                hit.row = r.index;
                hit.selectable = r.selectable;
            }
    }
    return hit;
}

RECT open_popup_frame(HWND hwnd) {
    Window *w = nullptr;
    Menu *bar = bar_menu(hwnd, &w);
    if (!bar || tracking.open < 0)
        return RECT{0, 0, 0, 0};
    MenuDc m(hwnd);
    return m.dc ? popup_layout(m, *bar, *w, tracking.open).frame : RECT{0, 0, 0, 0};
}

const MenuItem *item_of(HWND hwnd, int bar_index, int row) {
    Menu *bar = bar_menu(hwnd);
    if (!bar || bar_index < 0 || bar_index >= static_cast<int>(bar->items.size()))
        return nullptr;
    const MenuItem &b = bar->items[static_cast<size_t>(bar_index)];
    if (row < 0)
        return &b;
    const Menu *popup = find_menu(b.popup);
    if (!popup || row >= static_cast<int>(popup->items.size()))
        return nullptr;
    return &popup->items[static_cast<size_t>(row)];
}

bool selectable(const MenuItem *item) {
    return item && !(item->flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)) && !item->popup;
}

void choose(const MenuItem *item) {
    tracking.done = true;
    if (selectable(item)) {
        tracking.chosen = true;
        tracking.command = static_cast<UINT>(item->id);
    }
}

// Closes the pop-up on screen, then opens bar item `index` (if it has a pop-up).
void open_item(HWND hwnd, int index) {
    RECT old = open_popup_frame(hwnd);
    tracking.open = index;
    tracking.hot = -1;
    if (Window *w = find_window(hwnd)) {
        RECT client_rect{old.left - w->client.left, old.top - w->client.top, old.right - w->client.left,
                         old.bottom - w->client.top};
        if (old.right > old.left)
            InvalidateRect(hwnd, &client_rect, TRUE);
    }
    redraw(hwnd);
}

void mouse(HWND hwnd, UINT msg, int x, int y) {
    Hit hit = hit_test(hwnd, x, y);
    bool press = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_NCLBUTTONDOWN;
    if (msg == WM_MOUSEMOVE) {
        if (hit.bar >= 0 && hit.bar != tracking.open) {
            open_item(hwnd, hit.bar);
            return;
        }
        int hot = hit.selectable ? hit.row : -1;
        if (hot != tracking.hot) {
            tracking.hot = hot;
            redraw(hwnd);
        }
        return;
    }
    if (press) {
        if (hit.bar >= 0 && hit.bar == tracking.open)
            tracking.done = true; // the open item again: close
        else if (hit.bar >= 0)
            open_item(hwnd, hit.bar);
        else if (!hit.in_popup)
            tracking.done = true; // anywhere else: cancel, and the press is used up
        return;
    }
    // A release chooses: the press may have been on the bar, the release on the item.
    if (msg == WM_LBUTTONUP && hit.row >= 0 && hit.selectable)
        choose(item_of(hwnd, tracking.open, hit.row));
}

void move_hot(HWND hwnd, int step) {
    const MenuItem *bar_item = item_of(hwnd, tracking.open, -1);
    const Menu *popup = bar_item ? find_menu(bar_item->popup) : nullptr;
    if (!popup || popup->items.empty())
        return;
    int n = static_cast<int>(popup->items.size());
    int at = tracking.hot;
    for (int i = 0; i < n; ++i) {
        at = at < 0 ? (step > 0 ? 0 : n - 1) : (at + step + n) % n;
        if (selectable(&popup->items[static_cast<size_t>(at)])) {
            tracking.hot = at;
            redraw(hwnd);
            return;
        }
    }
}

// A letter chooses the item whose underlined character it is.
void access_key(HWND hwnd, int vk) {
    const MenuItem *bar_item = item_of(hwnd, tracking.open, -1);
    const Menu *popup = bar_item ? find_menu(bar_item->popup) : nullptr;
    if (!popup)
        return;
    for (const MenuItem &item : popup->items) {
        ItemText t = parse_item_text(item.text);
        if (t.access >= 0 &&
            std::toupper(static_cast<unsigned char>(t.label[static_cast<size_t>(t.access)])) == vk &&
            selectable(&item)) {
            choose(&item);
            return;
        }
    }
}

void key(HWND hwnd, int vk) {
    switch (vk) {
    case VK_ESCAPE:
    case VK_MENU: tracking.done = true; break;
    case VK_UP: move_hot(hwnd, -1); break;
    case VK_DOWN: move_hot(hwnd, +1); break;
    case VK_RETURN:
        if (tracking.hot >= 0)
            choose(item_of(hwnd, tracking.open, tracking.hot));
        break;
    default:
        if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
            access_key(hwnd, vk);
        break;
    }
}

bool is_mouse(UINT msg) {
    return msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_RBUTTONDOWN ||
           msg == WM_RBUTTONUP || msg == WM_NCLBUTTONDOWN;
}

// Handles one message of the modal loop; false when it is for the program to dispatch.
bool track_message(HWND hwnd, const MSG &m) {
    if (is_mouse(m.message)) {
        if (m.hwnd != hwnd) {
            if (m.message == WM_LBUTTONDOWN || m.message == WM_RBUTTONDOWN)
                tracking.done = true; // a press in another window closes the menu
            return true;
        }
        int x = static_cast<short>(LOWORD(m.lParam)), y = static_cast<short>(HIWORD(m.lParam));
        if (m.message != WM_NCLBUTTONDOWN) {
            // Client coordinates to screen-surface ones.
            if (Window *w = find_window(hwnd)) {
                x += w->client.left;
                y += w->client.top;
            }
        }
        mouse(hwnd, m.message, x, y);
        return true;
    }
    if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) {
        key(hwnd, static_cast<int>(m.wParam));
        return true;
    }
    if (m.message == WM_CHAR || m.message == WM_SYSCHAR)
        return true;
    // Key releases still reach the program, so modifier state it tracks stays true.
    if (m.message == WM_SYSCOMMAND)
        tracking.done = true;
    return false;
}

void track(HWND hwnd, int index) {
    tracking = Tracking{};
    tracking.active = true;
    tracking.hwnd = hwnd;
    tracking.open = index;
    redraw(hwnd);
    RECT last_frame = open_popup_frame(hwnd);
    MSG m;
    while (!tracking.done) {
        BOOL got = GetMessageA(&m, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(m.wParam)); // the program's loop must still see it
            break;
        }
        if (got < 0 || !IsWindow(hwnd) || !bar_menu(hwnd))
            break;
        if (!track_message(hwnd, m)) {
            DispatchMessageA(&m);
            if (!IsWindow(hwnd) || !bar_menu(hwnd))
                break;
            // The program may have painted over the pop-up.
            if (!tracking.done)
                redraw(hwnd);
        }
        RECT frame = open_popup_frame(hwnd);
        if (frame.right > frame.left)
            last_frame = frame;
    }
    Tracking ended = tracking;
    tracking = Tracking{};
    if (IsWindow(hwnd)) {
        redraw(hwnd);
        if (Window *w = find_window(hwnd)) {
            const RECT &r = last_frame;
            RECT client_rect{r.left - w->client.left, r.top - w->client.top, r.right - w->client.left,
                             r.bottom - w->client.top};
            if (r.right > r.left)
                InvalidateRect(hwnd, &client_rect, TRUE);
        }
        if (ended.chosen)
            PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(ended.command, 0), 0);
    }
}

} // namespace

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

void paint_menu_bar(HWND hwnd) {
    redraw(hwnd);
}

bool menu_tracking() {
    return tracking.active;
}

bool menu_bar_mouse(HWND hwnd, UINT msg, int x, int y) {
    if (msg != WM_LBUTTONDOWN && msg != WM_NCLBUTTONDOWN)
        return false;
    Window *w = nullptr;
    if (!bar_menu(hwnd, &w) || y < 0 || y >= w->client.top)
        return false;
    if (tracking.active)
        return true; // one menu at a time; the running loop sees this press itself
    int index = -1;
    for (const MenuBarItem &b : menu_bar_layout(hwnd))
        if (x >= b.rect.left && x < b.rect.right)
            index = b.index;
    const MenuItem *item = item_of(hwnd, index, -1);
    if (!item)
        return true;
    if (item->popup) {
        if (!(item->flags & (MF_GRAYED | MF_DISABLED)))
            track(hwnd, index);
    } else if (selectable(item)) {
        // A command on the bar itself acts at once.
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(static_cast<UINT>(item->id), 0), 0);
    }
    return true;
}

} // namespace win32
