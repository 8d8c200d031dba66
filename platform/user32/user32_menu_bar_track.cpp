// USER32's menu bar tracked: a press in the bar opens its pop-up and runs a modal loop that
// follows the mouse and the keys until an item is chosen or the menu is left.
// A pop-up exists only while tracking runs; afterwards the area it covered is invalidated,
// so the program repaints it and no pop-up pixels outlive the tracking.
#include "user32_menu_bar_parts.h"

#include <cctype>

namespace win32 {

namespace menu_bar {

Tracking tracking;

} // namespace menu_bar

namespace {

using namespace menu_bar;

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

using namespace menu_bar;

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
