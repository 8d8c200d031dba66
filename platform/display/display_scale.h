// Whole-number scaling of what a display shows: at scale k every pixel of a window's screen
// surface is shown as a k x k square of host pixels, and host input is divided back, so the
// program sees its own sizes and coordinates at any scale. Shared by the displays that scale.
#pragma once

#include "win32_surface.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace win32 {

// The scale of a desktop that publishes its font resolution (X11's Xft.dpi): dpi / 96
// rounded to the nearest whole number, at least 1 (1 for a value that is no number) and at
// most 16, past which no window would fit a screen.
int scale_from_dpi(double dpi);

// The surface pixel whose square holds host coordinate v (floor division: a pointer left of
// or above the window, as during a capture, stays outside it).
inline int unscaled(int v, int k) {
    return v >= 0 ? v / k : -((-v + k - 1) / k);
}

// A host frame's width in surface pixels: the fewest that cover it. The frame keeps its own
// size on screen, so the window's outer size there is up to k - 1 pixels a side short of k
// times the program's.
inline int unscaled_frame(int v, int k) {
    return v > 0 ? (v + k - 1) / k : 0;
}

// Copies rect of src, k times as large, into host pixels dst (0x00RRGGBB, pitch pixels a
// row): surface pixel (x, y) fills the square from (k x, k y). The rect must lie inside src
// and its square inside dst.
void scale_copy(const Surface &src, const RECT &rect, uint32_t *dst, size_t pitch, int k);

} // namespace win32
