// What the subset's modules (USER32, GDI32, KERNEL32, the audit) ask of each other.
// Nothing here is Win32 API; the Win32 entry points themselves are declared in <windows.h>.
#pragma once

#include <windows.h>

namespace win32 {

struct Surface; // gdi32/dibdrv/win32_surface.h

// ---- USER32, for GDI32 ----

// The screen surface of a top-level window and, in *client, its client area within that
// surface. Null when hwnd names no window (never created, or destroyed).
// A deferred erase is written first, unless keep_fill (see cover_window_fill).
Surface *window_screen(HWND hwnd, RECT *client, bool keep_fill = false);
// Fills rect (screen coordinates) of hwnd's screen with pixel when the screen is next
// reached: the erase BeginPaint asks for.
void defer_window_fill(HWND hwnd, const RECT &rect, uint32_t pixel);
// A copy from another surface is about to write every pixel of area: a deferred fill inside
// it is dropped (its rectangle returned), any other written now (an empty rectangle).
RECT cover_window_fill(HWND hwnd, const RECT &area, bool from_elsewhere);
// Pixels of a window's screen changed inside rect (screen-surface coordinates).
void window_screen_changed(HWND hwnd, const RECT &rect);

// ---- GDI32, for USER32 ----

// A device context that draws into hwnd's client area (GetDC, BeginPaint).
HDC create_window_dc(HWND hwnd);
// Ends a DC from create_window_dc; FALSE when hdc is not one for hwnd.
BOOL release_window_dc(HWND hwnd, HDC hdc);
// WM_ERASEBKGND's fill of hwnd's client area with brush, deferred when hdc is a plain DC of
// hwnd and brush a solid colour (true); false leaves the fill to the caller.
bool defer_erase(HDC hdc, HWND hwnd, HBRUSH brush);
// A DC that draws into the whole screen surface of hwnd, menu bar included (menu painting).
HDC create_screen_dc(HWND hwnd);

// ---- resets, one per module, called by reset_subset() ----
void reset_user32();
void reset_gdi32();
void reset_kernel32();
void reset_audit();
void reset_subset();

// ---- live objects, for the audit ----
int live_windows();
int live_timers();
int live_menus();
int live_gdi_objects(); // pens, brushes, fonts, bitmaps; stock objects not counted
int live_dcs();
int live_memory_blocks();

// ---- injected failures (see win32_audit.h) ----
enum class Allocation { memory_block, gdi_object, dc, window_surface };
// True once for each failure a test asked for: the caller then fails as if out of memory.
bool take_injected_failure(Allocation what);
// Set by withhold_fonts(): the font cache then loads nothing.
bool fonts_withheld();

} // namespace win32
