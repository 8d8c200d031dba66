// What the SDL2 display's files share: the host window behind each top-level HWND, and the
// event translation. Every HWND in the table has exactly one SDL window, destroyed with it
// (one that the host destroyed is marked lost and left alone until then); pixels reach the
// host only through present() and are shown at the next flush.
#pragma once

#include "win32_surface.h"

#include <SDL.h>
#include <windows.h>

#include <vector>

namespace win32::sdl2 {

// The desktop's scale, read once at start-up (display_scale.h): host windows, their frames and
// host input are in host pixels, scale of them to each pixel of the subset's screen surfaces.
extern int scale;

struct HostWindow {
    HWND hwnd = nullptr;
    SDL_Window *window = nullptr;
    std::vector<SDL_Rect> dirty; // what changed since the last flush, window pixels
    unsigned long host_id = 0;   // the X11 window as of the last pump; 0 on other drivers
    // The host destroyed it: waiting for the subset to follow, no SDL call touches it.
    bool lost = false;
    RECT frame{0, 0, 0, 0}; // widths of the host's frame, host pixels, as last seen
    int max_width = 0;      // the largest host surface the subset takes (0: not told yet)
    int max_height = 0;
};

// sdl2_windows.cpp
HostWindow *find_window(HWND hwnd);
HostWindow *find_window_by_id(Uint32 sdl_window_id);
void window_created(HWND hwnd, const char *title, int x, int y, int width, int height, bool resizable);
void window_destroyed(HWND hwnd);
void window_shown(HWND hwnd, bool visible);
void window_title(HWND hwnd, const char *title);
void window_bounds(HWND hwnd, int max_width, int max_height);
void present(HWND hwnd, const Surface &screen, const RECT &rect);
// Copies the window's whole screen surface again (after an expose or a resize).
void refresh_window(HostWindow &w);
// The host destroyed the window: the subset hears of it, SDL no longer touches it.
void lose_window(HostWindow &w);
HostWindow *find_window_by_host_id(unsigned long id);
// Looks up each window's X window again (SDL may have replaced it since the last pump).
void refresh_host_ids();
// Takes the host's frame of the window, if it changed, as part of the window's outer size.
void follow_frame(HWND hwnd);
// Destroys every host window (at exit).
void destroy_host_windows();
// Every window, for the pump (the table may change while they are handled).
std::vector<HWND> host_windows();
// Shows every change presented since the last flush.
void flush_presents();

// sdl2_input.cpp
// Hands every waiting host event to the input API, in arrival order.
void pump_events();
// No pump is owed to input that SDL is still settling.
bool pump_settled();

// sdl2_text.cpp: the ANSI code page of the subset's texts is Windows-1252.
// The Windows-1252 byte for a Unicode code point; '?' when it has none (as the ANSI
// conversion of a character outside the code page gives).
int cp1252_from_codepoint(uint32_t cp);
// Decodes the UTF-8 sequence at *text, advancing it; 0 at the end, U+FFFD for a bad byte.
uint32_t next_codepoint(const char *&text);
// A Windows-1252 string as UTF-8 (window titles).
void utf8_from_cp1252(const char *text, char *out, size_t out_size);

// sdl2_keys.cpp: the virtual-key code of a host key; 0 for keys with none.
int virtual_key(SDL_Keycode sym, SDL_Scancode scancode);

} // namespace win32::sdl2
