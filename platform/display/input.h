// How displays hand user input to the subset. Everything posted here joins the thread's
// input queue in arrival order; message order, key translation and menu tracking are the
// subset's business, not the display's. Coordinates are screen-surface pixels of the window
// (the menu bar, where there is one, starts at row 0; a host frame lies outside the surface).
#pragma once

#include <windows.h>

#include <cstdint>

namespace win32 {

void input_mouse_button(HWND hwnd, UINT message, int x, int y); // WM_LBUTTONDOWN, WM_LBUTTONUP, ...
void input_mouse_move(HWND hwnd, int x, int y);
// A key went down or up. ch is what it types: > 0 that character (already shifted),
// 0 derive it from the key code and shift state, -1 nothing (the display sends the
// text separately with input_char).
void input_key(HWND hwnd, int vk, bool down, int ch);
void input_char(HWND hwnd, int ch); // text that came without a key (input methods)
void input_close(HWND hwnd);        // the host's close button
// The host destroyed the window (its window manager, or the display server going away):
// it is destroyed as DestroyWindow does, when this input's turn comes.
void input_destroyed(HWND hwnd);
void input_resized(HWND hwnd, int width, int height); // surface size chosen by the user
// The host draws a frame of these widths around the window's surface. The outer size stays
// what the program asked for, so the surface and the client area shrink by the frame; the
// program hears of it (WM_SIZE, WM_MOVE) at once, inside this call.
void input_frame(HWND hwnd, int left, int top, int right, int bottom);
bool input_waiting();
// Moves whenever something may have made a message ready: a wait can tell it was not idle.
uint64_t input_activity();

} // namespace win32
