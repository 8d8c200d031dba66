// Input from the displays (display/input.h) into the thread's queue, and what keys type.
// Input messages carry what the real platform packs into them at the moment the input
// happens (key lParam bits, client coordinates); key state changes only on retrieval.
#include "input.h"

#include "display.h"
#include "user32_queue.h"
#include "user32_window.h"
#include "user32_menu_bar.h"

#include <cctype>

namespace win32 {

namespace {

// Set-1 scan codes of a US keyboard, which the real platform reports in key lParams.
int scan_code(int vk) {
    static const unsigned char letters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                              0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                              0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    if (vk >= 'A' && vk <= 'Z')
        return letters[vk - 'A'];
    if (vk >= '1' && vk <= '9')
        return 0x02 + (vk - '1');
    switch (vk) {
    case '0': return 0x0B;
    case VK_ESCAPE: return 0x01;
    case VK_BACK: return 0x0E;
    case VK_TAB: return 0x0F;
    case VK_RETURN: return 0x1C;
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL: return 0x1D;
    case VK_SHIFT:
    case VK_LSHIFT: return 0x2A;
    case VK_RSHIFT: return 0x36;
    case VK_MENU: return 0x38;
    case VK_SPACE: return 0x39;
    case VK_UP: return 0x48;
    case VK_LEFT: return 0x4B;
    case VK_RIGHT: return 0x4D;
    case VK_DOWN: return 0x50;
    case VK_DELETE: return 0x53;
    default: return 0;
    }
}

bool extended_key(int vk) {
    return vk == VK_UP || vk == VK_DOWN || vk == VK_LEFT || vk == VK_RIGHT || vk == VK_DELETE ||
           vk == VK_RCONTROL;
}

// Left and right modifier keys also move the combined key's state, as GetKeyState shows.
int combined_key(int vk) {
    if (vk == VK_LSHIFT || vk == VK_RSHIFT)
        return VK_SHIFT;
    if (vk == VK_LCONTROL || vk == VK_RCONTROL)
        return VK_CONTROL;
    return vk;
}

void push(const InputEvent &e) {
    queue().input.push_back(e);
    ++queue().activity;
}

MSG input_msg(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    MSG m = stamped_msg(hwnd, message, wparam, lparam);
    m.pt = queue().cursor;
    return m;
}

void mouse_event(HWND hwnd, UINT message, int x, int y) {
    Window *w = find_window(hwnd);
    if (!w)
        return;
    MessageQueue &q = queue();
    q.cursor = POINT{w->x + w->frame.left + x, w->y + w->frame.top + y};
    if (message == WM_LBUTTONDOWN)
        q.button_held = true;
    else if (message == WM_LBUTTONUP)
        q.button_held = false;
    // The menu bar is not client area: clicks there belong to menu tracking, not the program.
    if (y < w->client.top && message != WM_MOUSEMOVE && message != WM_LBUTTONUP) {
        if (message == WM_LBUTTONDOWN) {
            InputEvent e;
            e.msg = input_msg(hwnd, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(x, y));
            push(e);
        }
        return;
    }
    int cx = x - w->client.left, cy = y - w->client.top;
    WPARAM keys = q.button_held ? MK_LBUTTON : 0;
    if (message == WM_LBUTTONDOWN)
        keys |= MK_LBUTTON;
    InputEvent e;
    e.msg = input_msg(hwnd, message, keys, MAKELPARAM(cx, cy));
    push(e);
}

} // namespace

void input_mouse_button(HWND hwnd, UINT message, int x, int y) {
    mouse_event(hwnd, message, x, y);
}

void input_mouse_move(HWND hwnd, int x, int y) {
    mouse_event(hwnd, WM_MOUSEMOVE, x, y);
}

void input_key(HWND hwnd, int vk, bool down, int ch) {
    if (!find_window(hwnd) || vk <= 0 || vk > 255)
        return;
    MessageQueue &q = queue();
    // lParam: repeat count 1, scan code in bits 16-23, extended flag in bit 24, the key's
    // previous state in bit 30, and bit 31 set for a release.
    DWORD lparam = 1u | (static_cast<DWORD>(scan_code(vk)) << 16);
    if (extended_key(vk))
        lparam |= 1u << 24;
    if (!down || q.key_held[vk])
        lparam |= 1u << 30;
    if (!down)
        lparam |= 1u << 31;
    q.key_held[vk] = down;
    InputEvent e;
    e.msg =
        input_msg(hwnd, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(vk), static_cast<LPARAM>(lparam));
    e.ch = ch;
    push(e);
}

void input_char(HWND hwnd, int ch) {
    if (!find_window(hwnd) || ch <= 0)
        return;
    InputEvent e;
    e.msg = input_msg(hwnd, WM_CHAR, static_cast<WPARAM>(ch), 1);
    push(e);
}

void input_close(HWND hwnd) {
    if (!find_window(hwnd))
        return;
    // The close box reaches the program as the system command it stands for, so the default
    // window procedure turns it into WM_CLOSE and the window is destroyed.
    InputEvent e;
    e.kind = InputKind::close;
    e.msg = input_msg(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    push(e);
}

void input_destroyed(HWND hwnd) {
    if (!find_window(hwnd))
        return;
    InputEvent e;
    e.kind = InputKind::destroyed;
    e.msg = input_msg(hwnd, WM_NULL, 0, 0);
    push(e);
}

void input_frame(HWND hwnd, int left, int top, int right, int bottom) {
    set_host_frame(hwnd, RECT{left, top, right, bottom});
}

void input_resized(HWND hwnd, int width, int height) {
    if (!find_window(hwnd))
        return;
    InputEvent e;
    e.kind = InputKind::resize;
    e.msg = input_msg(hwnd, WM_NULL, 0, 0);
    e.width = width;
    e.height = height;
    push(e);
}

bool input_waiting() {
    return !queue().input.empty();
}

uint64_t input_activity() {
    return queue().activity;
}

void retrieve_key(const InputEvent &e) {
    MessageQueue &q = queue();
    int vk = static_cast<int>(e.msg.wParam & 0xFF);
    int keys[2] = {vk, combined_key(vk)};
    for (int k : keys) {
        if (e.msg.message == WM_KEYDOWN) {
            // The toggle bit flips on each press that is not an auto-repeat.
            if (!(q.key_state[k] & 0x80))
                q.key_state[k] ^= 0x01;
            q.key_state[k] |= 0x80;
        } else {
            q.key_state[k] &= static_cast<BYTE>(~0x80);
        }
    }
    if (e.msg.message == WM_KEYDOWN)
        q.key_char[vk] = e.ch;
}

int translated_char(int vk) {
    MessageQueue &q = queue();
    if (vk <= 0 || vk > 255)
        return 0;
    bool ctrl = (q.key_state[VK_CONTROL] & 0x80) != 0;
    bool shift = (q.key_state[VK_SHIFT] & 0x80) != 0;
    // Ctrl+letter types the control character 1..26 whatever the layout says.
    if (ctrl && vk >= 'A' && vk <= 'Z')
        return vk - 'A' + 1;
    int given = q.key_char[vk];
    if (given > 0)
        return given;
    if (given < 0 || ctrl)
        return 0;
    if (vk >= 'A' && vk <= 'Z')
        return shift ? vk : std::tolower(vk);
    if (vk >= '0' && vk <= '9')
        return shift ? ")!@#$%^&*("[vk - '0'] : vk;
    switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return '\b';
    case VK_TAB: return '\t';
    case VK_ESCAPE: return 0x1B;
    default: return 0;
    }
}

} // namespace win32
