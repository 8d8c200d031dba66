// What the headless display shows, for its test controls: the scale, and each window's
// picture at that scale.
#pragma once

#include "win32_surface.h"

#include <windows.h>

namespace win32 {

int headless_scale();
// The window's surface as the screen shows it (at scale 1 the surface itself), drawing not
// yet copied to it copied first; null for no window.
const Surface *headless_shown(HWND hwnd);

} // namespace win32
