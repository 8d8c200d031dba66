// What a test does as the user of the headless display: clicks, keys and the close box in
// client coordinates, and reading back what a window shows. Input goes through the same
// input API (display/input.h) as a real display's, so it meets the same message ordering.
#include "display_scale.h"
#include "headless_screen.h"
#include "input.h"
#include "surface_png.h"
#include "win32_headless.h"
#include "win32_internal.h"

#include <cctype>

namespace headless {

namespace {

// Client coordinates to the screen-surface coordinates the input API takes.
bool to_screen(HWND hwnd, int *x, int *y) {
    RECT client;
    if (!win32::window_screen(hwnd, &client))
        return false;
    *x += client.left;
    *y += client.top;
    return true;
}

} // namespace

void click(HWND hwnd, int x, int y) {
    if (!to_screen(hwnd, &x, &y))
        return;
    win32::input_mouse_button(hwnd, WM_LBUTTONDOWN, x, y);
    win32::input_mouse_button(hwnd, WM_LBUTTONUP, x, y);
}

void mouse_move(HWND hwnd, int x, int y) {
    if (to_screen(hwnd, &x, &y))
        win32::input_mouse_move(hwnd, x, y);
}

void key(HWND hwnd, int vk, int ch) {
    key_down(hwnd, vk, ch);
    key_up(hwnd, vk);
}

void key_down(HWND hwnd, int vk, int ch) {
    win32::input_key(hwnd, vk, true, ch);
}

void key_up(HWND hwnd, int vk) {
    win32::input_key(hwnd, vk, false, 0);
}

void type(HWND hwnd, const std::string &text) {
    for (char c : text) {
        int ch = static_cast<unsigned char>(c);
        if (ch < 128 && std::isalpha(ch))
            key(hwnd, std::toupper(ch), ch);
        else if (ch < 128 && std::isdigit(ch))
            key(hwnd, ch, ch);
        else if (ch == ' ')
            key(hwnd, VK_SPACE, ch);
        else if (ch == '\n' || ch == '\r')
            key(hwnd, VK_RETURN, '\r');
        else
            win32::input_char(hwnd, ch);
    }
}

void close(HWND hwnd) {
    win32::input_close(hwnd);
}

void host_destroy(HWND hwnd) {
    win32::input_destroyed(hwnd);
}

void host_frame(HWND hwnd, int left, int top, int right, int bottom) {
    const int k = win32::headless_scale();
    win32::input_frame(hwnd, win32::unscaled_frame(left, k), win32::unscaled_frame(top, k),
                       win32::unscaled_frame(right, k), win32::unscaled_frame(bottom, k));
}

void screen_click(HWND hwnd, int x, int y) {
    const int k = win32::headless_scale();
    win32::input_mouse_button(hwnd, WM_LBUTTONDOWN, win32::unscaled(x, k), win32::unscaled(y, k));
    win32::input_mouse_button(hwnd, WM_LBUTTONUP, win32::unscaled(x, k), win32::unscaled(y, k));
}

void screen_mouse_move(HWND hwnd, int x, int y) {
    const int k = win32::headless_scale();
    win32::input_mouse_move(hwnd, win32::unscaled(x, k), win32::unscaled(y, k));
}

void screen_resize(HWND hwnd, int width, int height) {
    const int k = win32::headless_scale();
    win32::input_resized(hwnd, width / k, height / k);
}

COLORREF pixel(HWND hwnd, int x, int y) {
    RECT client;
    const win32::Surface *s = win32::window_screen(hwnd, &client);
    if (!s || x < 0 || y < 0 || x >= client.right - client.left || y >= client.bottom - client.top)
        return CLR_INVALID;
    if (!s->contains(client.left + x, client.top + y))
        return CLR_INVALID;
    return win32::colorref_from_pixel(s->row(client.top + y)[client.left + x]);
}

bool save_png(HWND hwnd, const std::string &path) {
    const win32::Surface *s = win32::headless_shown(hwnd);
    return s && win32::write_png(*s, path.c_str());
}

Shown shown(HWND hwnd) {
    Shown out;
    if (const win32::Surface *s = win32::headless_shown(hwnd)) {
        out.width = s->width;
        out.height = s->height;
        out.rgb = s->pixels;
    }
    return out;
}

} // namespace headless
