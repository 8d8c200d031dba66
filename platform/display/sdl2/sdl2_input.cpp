// Host events to the subset's input API. A key press and the text it types arrive from SDL
// as two events (SDL_KEYDOWN, then SDL_TEXTINPUT); they are handed on as one key-down that
// carries its character, so translation sees e-acute as 233 on the key that typed it.
// Events are taken from SDL in one batch per pump, which keeps such a pair together. After
// each batch come the changes the host made without an SDL event: windows it destroyed, the
// lost connection, new window frames.
#include "sdl2_display.h"
#include "sdl2_x11.h"

#include "display_scale.h"
#include "win32_internal.h"
#include "input.h"

#include <algorithm>
#include <vector>

namespace win32::sdl2 {

namespace {

std::vector<SDL_Event> batch;

void send_text(HWND hwnd, const char *text) {
    while (uint32_t cp = next_codepoint(text))
        input_char(hwnd, cp1252_from_codepoint(cp));
}

// Whether SDL will type this key's character as text: printable keys without Ctrl. SDL drops
// the control characters that Ctrl+letter makes, so those are left to key translation.
bool types_text(const SDL_Keysym &key) {
    if (key.mod & KMOD_CTRL)
        return false;
    return key.sym >= SDLK_SPACE && key.sym != SDLK_DELETE && (key.sym & SDLK_SCANCODE_MASK) == 0;
}

void key_down(const SDL_KeyboardEvent &key, const SDL_Event *next, size_t &skip) {
    HostWindow *w = find_window_by_id(key.windowID);
    if (!w)
        return;
    const char *text = nullptr;
    if (next && next->type == SDL_TEXTINPUT && next->text.windowID == key.windowID) {
        text = next->text.text;
        skip = 1;
    }
    int vk = virtual_key(key.keysym.sym, key.keysym.scancode);
    if (vk == 0) {
        if (text)
            send_text(w->hwnd, text);
        return;
    }
    int ch = 0;
    if (text) {
        uint32_t cp = next_codepoint(text);
        ch = cp ? cp1252_from_codepoint(cp) : -1;
    } else if (types_text(key.keysym) && SDL_IsTextInputActive()) {
        // An input method may deliver the text later; it then comes as input_char.
        ch = -1;
    }
    input_key(w->hwnd, vk, true, ch);
    if (text)
        send_text(w->hwnd, text);
}

UINT button_message(Uint8 button, bool down) {
    switch (button) {
    case SDL_BUTTON_LEFT: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case SDL_BUTTON_RIGHT: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    default: return 0;
    }
}

void window_event(const SDL_WindowEvent &e) {
    HostWindow *w = find_window_by_id(e.windowID);
    if (!w)
        return;
    switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE: input_close(w->hwnd); break;
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
        // A size past the bounds (another client resized the window, and no window manager
        // held it to them) is taken back at once, before SDL gives the window a surface of
        // that size.
        int width = e.data1, height = e.data2;
        if (w->max_width > 0 && (width > w->max_width || height > w->max_height)) {
            width = std::min(width, w->max_width);
            height = std::min(height, w->max_height);
            SDL_SetWindowSize(w->window, width, height);
        }
        // Only a size that differs from the surface's is news: the host also reports the
        // size a window was created with. The subset's surface takes the whole squares.
        RECT client;
        const Surface *screen = window_screen(w->hwnd, &client);
        width /= scale;
        height /= scale;
        if (screen && (screen->width != width || screen->height != height))
            input_resized(w->hwnd, width, height);
        // The resize ran window procedures, which may have changed the window table.
        if (HostWindow *again = find_window_by_id(e.windowID))
            refresh_window(*again);
        break;
    }
    case SDL_WINDOWEVENT_EXPOSED: refresh_window(*w); break;
    default: break;
    }
}

void handle(const SDL_Event &e, const SDL_Event *next, size_t &skip) {
    switch (e.type) {
    case SDL_KEYDOWN: key_down(e.key, next, skip); break;
    case SDL_KEYUP: {
        HostWindow *w = find_window_by_id(e.key.windowID);
        int vk = virtual_key(e.key.keysym.sym, e.key.keysym.scancode);
        if (w && vk)
            input_key(w->hwnd, vk, false, 0);
        break;
    }
    case SDL_TEXTINPUT: {
        if (HostWindow *w = find_window_by_id(e.text.windowID))
            send_text(w->hwnd, e.text.text);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        HostWindow *w = find_window_by_id(e.button.windowID);
        UINT msg = button_message(e.button.button, e.type == SDL_MOUSEBUTTONDOWN);
        if (w && msg)
            input_mouse_button(w->hwnd, msg, unscaled(e.button.x, scale), unscaled(e.button.y, scale));
        break;
    }
    case SDL_MOUSEMOTION: {
        if (HostWindow *w = find_window_by_id(e.motion.windowID))
            input_mouse_move(w->hwnd, unscaled(e.motion.x, scale), unscaled(e.motion.y, scale));
        break;
    }
    case SDL_WINDOWEVENT: window_event(e.window); break;
    case SDL_SYSWMEVENT:
        if (HostWindow *w = find_window_by_host_id(x11::destroyed_window(e.syswm.msg)))
            lose_window(*w);
        break;
    // SDL_QUIT follows the close of the last window; the close itself is what counts.
    default: break;
    }
}

// What the host did to the windows besides events: destroyed one (the server's errors name
// it), lost the connection (all are gone), or framed one.
void host_changes() {
    while (unsigned long id = x11::take_failed_window())
        if (HostWindow *w = find_window_by_host_id(id))
            lose_window(*w);
    for (HWND hwnd : host_windows()) {
        if (HostWindow *w = find_window(hwnd); w && x11::connection_lost())
            lose_window(*w);
        follow_frame(hwnd);
    }
}

// SDL still pumps for a while after input, since it settles some of it later (a focus change
// reaches the program some 200 ms after the host reports it).
uint32_t pump_until = 0;

} // namespace

bool pump_settled() {
    return static_cast<int32_t>(pump_until - SDL_GetTicks()) <= 0;
}

void pump_events() {
    if (x11::connection_lost()) {
        host_changes();
        return;
    }
    // Each SDL pump reads the connection several times over; the timer's twenty wake-ups a
    // second mostly find nothing there, and a readiness check is one system call.
    const uint32_t now = SDL_GetTicks();
    if (x11::input_waiting()) {
        pump_until = now + 500;
        SDL_PumpEvents();
    } else if (static_cast<int32_t>(pump_until - now) > 0) {
        SDL_PumpEvents();
    } else if (!x11::failed_windows() && !SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) {
        return; // nothing came in, so no window or frame can have changed
    }
    refresh_host_ids();
    batch.clear();
    SDL_Event chunk[64];
    for (;;) {
        int n = SDL_PeepEvents(chunk, 64, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
        if (n <= 0)
            break;
        batch.insert(batch.end(), chunk, chunk + n);
    }
    for (size_t i = 0; i < batch.size(); ++i) {
        size_t skip = 0;
        handle(batch[i], i + 1 < batch.size() ? &batch[i + 1] : nullptr, skip);
        i += skip;
    }
    host_changes();
}

} // namespace win32::sdl2
