// Writing a surface out as a PNG file (8-bit RGB), for screenshots and test dumps.
// The file is either written whole or reported as failed; a surface is never changed.
#pragma once

#include "win32_surface.h"

namespace win32 {

// False when the file cannot be written or the surface is empty.
bool write_png(const Surface &s, const char *path);

} // namespace win32
