// Start-up and shut-down of the library, its two windows and the off-screen frame buffer.
// Invariant: every drawing goes to frame_dc; the window only ever receives whole copies of
// the frame buffer (present_frame), so frame buffer and client area share one pixel grid.
#include "kelpa_private.h"

LibraryState library_state;
MessageLog message_log;

namespace {

void register_window_classes() {
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = graphics_window_proc;
    wc.hInstance = library_state.instance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    // Colour 1 of the colour table; the brush belongs to both classes for the whole run.
    wc.hbrBackground = CreateSolidBrush(RGB(255, 255, 255));
    // No menu resource of this name exists, so neither window gets a menu from its class.
    wc.lpszMenuName = "generic";
    wc.lpszClassName = "DrawWndClass";
    RegisterClassA(&wc);
    wc.lpfnWndProc = text_window_proc;
    wc.lpszClassName = "TextWndClass";
    RegisterClassA(&wc);
}

// The origin is the centre of the client area, which the caption, menu bar and borders make
// smaller than the frame buffer; the frame buffer's right and bottom margins stay hidden.
void update_origin(HWND hwnd) {
    RECT client = {};
    GetClientRect(hwnd, &client);
    library_state.origin_x = client.left + (client.right - client.left) / 2;
    library_state.origin_y = client.top + (client.bottom - client.top) / 2;
}

void paint_graphics_window(HWND hwnd) {
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    // The copy goes to window_dc, not to the paint context, so the whole client area is
    // redrawn whatever part of it was invalid.
    present_frame();
    EndPaint(hwnd, &ps);
}

} // namespace

int kelpa_startup() {
    LibraryState &s = library_state;
    if (!s.prev_instance)
        register_window_classes();
    const int screen_height = GetSystemMetrics(SM_CYSCREEN);
    s.animating = 0;
    s.step_pending = 0;

    // Creation delivers WM_CREATE (the menu bar) and the first WM_SIZE (the origin) at once.
    s.graphics_window = CreateWindowExA(0, "DrawWndClass", "KELPA Graphics", WS_CAPTION | WS_SYSMENU, 0, 0,
                                        FRAME_WIDTH, FRAME_HEIGHT, nullptr, nullptr, s.instance, nullptr);
    s.text_window = CreateWindowExA(0, "TextWndClass", "KELPA Text", WS_OVERLAPPEDWINDOW, 0, 550, FRAME_WIDTH,
                                    screen_height / 4, nullptr, nullptr, s.instance, nullptr);

    s.window_dc = GetDC(s.graphics_window);
    s.frame_bitmap = CreateCompatibleBitmap(s.window_dc, FRAME_WIDTH, FRAME_HEIGHT);
    s.frame_dc = CreateCompatibleDC(s.window_dc);
    SelectObject(s.frame_dc, s.frame_bitmap);

    ShowWindow(s.text_window, s.show_mode);
    ShowWindow(s.graphics_window, s.show_mode);
    // No callback: the ticks arrive as WM_TIMER messages through the pump.
    SetTimer(s.graphics_window, TICK_TIMER_ID, TICK_PERIOD_MS, nullptr);
    return 1;
}

int kelpa_shutdown() {
    ReleaseDC(library_state.graphics_window, library_state.window_dc);
    library_state.window_dc = nullptr;
    // However the program came to end (a quit event over a counted tick, a signal), the
    // periodic events counted since the last line are not lost.
    if (library_state.recording)
        script_write_pending_run();
    script_close();
    return 1;
}

int kelpa_show_log_window(int show) {
    return ShowWindow(library_state.text_window, show ? SW_SHOW : SW_HIDE);
}

void present_frame() {
    BitBlt(library_state.window_dc, 0, 0, FRAME_WIDTH, FRAME_HEIGHT, library_state.frame_dc, 0, 0, SRCCOPY);
    library_state.frame_dirty = 0;
}

LRESULT CALLBACK graphics_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    LibraryState &s = library_state;
    switch (msg) {
    case WM_CREATE: build_run_menu(hwnd); return 0;
    case WM_DESTROY:
        KillTimer(hwnd, TICK_TIMER_ID);
        PostQuitMessage(0);
        return 0;
    case WM_SIZE: update_origin(hwnd); return 0;
    case WM_PAINT: paint_graphics_window(hwnd); return 0;
    // Key messages never reach the default handling (no F10 menu activation, no beeps).
    case WM_KEYDOWN: track_key_down(wparam); return 0;
    case WM_KEYUP: track_key_up(wparam); return 0;
    case WM_CHAR:
        // While Ctrl is held the characters are the control codes of Ctrl+letter commands.
        if (s.ctrl_down != 1) {
            s.pending_kind = KELPA_KBD;
            s.event_key = static_cast<char>(wparam & 0xff);
        }
        return 0;
    case WM_COMMAND: run_command(LOWORD(wparam)); return 0;
    case WM_TIMER: s.tick_seen = 1; return 0;
    case WM_LBUTTONDOWN: {
        // The position is two unsigned 16-bit client coordinates.
        const int cx = LOWORD(lparam);
        const int cy = HIWORD(lparam);
        s.pending_kind = KELPA_MOUSE;
        s.event_x = cx - s.origin_x;
        s.event_y = s.origin_y - cy;
        return 0;
    }
    default: return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

LRESULT CALLBACK text_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_PAINT: paint_text_window(hwnd); return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: forward_key_message(msg, wparam, lparam); return 0;
    default: return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}
