// What SDL2 leaves out on X11: a window that someone else destroyed, the errors that the
// server then reports about it, and the loss of the whole connection (Xlib's default handlers
// end the process for both); whether a window manager runs; waiting on the connection.
// Only SDL types here: the X11 headers stay inside sdl2_x11.cpp.
#pragma once

#include <SDL.h>

namespace win32::sdl2::x11 {

// After SDL_Init: on SDL's X11 driver, installs the error handlers and asks SDL for raw X
// events (SDL_SYSWMEVENT). False on every other driver, where the rest does nothing.
bool start();
// The X window behind an SDL window now, remembered so that errors about it are expected;
// 0 off X11. SDL replaces a window's X window when it first gives it a renderer.
unsigned long window_id(SDL_Window *window);
// The X window that a raw X event reports destroyed; 0 for every other event.
unsigned long destroyed_window(const SDL_SysWMmsg *msg);
// One X window that an error named as unknown to the server since the last call; 0 when none.
unsigned long take_failed_window();
// Errors have named windows that take_failed_window has not yet given out.
bool failed_windows();
// The connection to the display server broke; from then on no SDL call may reach X.
bool connection_lost();
// Takes in the replies to every request made so far, so that errors about windows destroyed
// by now reach our handler (SDL puts Xlib's default handler back when it quits).
void sync();
// The desktop's scale: the Xft.dpi resource of the display's resource database (what
// desktops set for their scaling, and xrdb loads) as display_scale.h rounds it; 1 without
// one, and off X11.
int desktop_scale();
// A window manager that frames windows and reports the frames (EWMH) runs on the display.
bool window_manager_running();
// Whether a pump could find anything: the connection is readable or Xlib holds events
// (true off X11). Requests made since the last flush stay unsent until the next wait.
bool input_waiting();
// Waits until the connection or extra_fd (when >= 0) is readable, or timeout_ms passes (-1:
// no limit). Returns at once if Xlib already holds events. False when the time ran out with
// nothing come in.
bool wait(int timeout_ms, int extra_fd);
// The same wait for a caller that has not called Xlib since the last wait ran out of time:
// Xlib then holds no events and no unsent requests, and only the connection needs watching.
bool wait_untouched(int timeout_ms, int extra_fd);

} // namespace win32::sdl2::x11
