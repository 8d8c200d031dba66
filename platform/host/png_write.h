// Writing a picture out as a PNG file (8-bit RGB), for screenshots and test dumps.
// The file is either written whole or reported as failed; the picture is only read.
#pragma once

#include <cstdint>

namespace win32 {

// Fills row[0 .. width) with row y of `picture` as 0x00RRGGBB pixels; asked for y = 0, 1, ...
using PngRows = void (*)(const void *picture, int y, uint32_t *row);

// False when the file cannot be written or the picture is empty.
bool write_png(int width, int height, PngRows rows, const void *picture, const char *path);

} // namespace win32
